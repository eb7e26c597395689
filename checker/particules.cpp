// Stage 10: sizes the particle grid over the wave grid (or over the meshes when no wave equation
// is solved) and finds the active zone, the stretch of the grid along x inside the channel.
//
// No rule reads a per-point table of the particle grid, and such a table grows with the wave
// grid (10^9 points for a micrometre device on a nanometre grid), so only the grid's counts and
// the active zone are computed, from the cells of the transport line.

#include "checker/comprova_state.h"
#include "checker/wavegrid.h"

#include <algorithm>

namespace comprova {

ParticleGrid &particleGrid() {
    static ParticleGrid grid;
    return grid;
}

void traduccio_variables_particules() {
    State &st = state();
    const Settings &s = st.s;
    const WaveGrid &w = waveGrid();
    ParticleGrid &p = particleGrid();
    p = ParticleGrid();

    const int solver = s.wave_solver == 1 || s.wave_solver == 2 ? s.wave_solver : 0;
    const TransportLine line = transportLine();

    // The grid along x: the meshes of the transport line, or the wave cells.
    if (solver == 0) {
        p.cells_x = st.Mx + 1;
        p.cells_z = st.Mz + 1;
    } else {
        p.cells_x = w.cells_x;
        p.cells_z = solver == 2 ? w.cells_z : st.Mz + 1;
    }

    // The active zone: the grid positions along x that lie in line cells of cell type 0. Line
    // cell i covers position i on the meshes, or its run of wave cells after the extension.
    const auto markActive = [&](std::int64_t first, std::int64_t count) {
        if (count <= 0)
            return;
        if (p.active_first < 0)
            p.active_first = first;
        p.active_last = first + count - 1;
    };
    std::int64_t at = solver == 0 ? 0 : w.extra_x;
    for (std::int64_t i = 0; line.valid && i < line.cells && at < p.cells_x; ++i) {
        const Cell *c = st.cellAt(i, line.j, line.k);
        std::int64_t n = 1;
        if (solver != 0)
            n = c ? std::max<std::int64_t>(waveCellsOf(c->dx, s.dxscho), 0) : 0;
        n = std::min(n, p.cells_x - at);
        if (c && c->cell_type == 0)
            markActive(at, n);
        at += n;
    }
    if (p.active_first < 0)
        message(9004);
}

} // namespace comprova
