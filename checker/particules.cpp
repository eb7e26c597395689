// Stage 10: sizes the particle grid over the wave grid (or over the meshes when no wave equation
// is solved) and finds the active zone, the stretch of the grid along x inside the channel.

#include "checker/comprova_state.h"
#include "checker/wavegrid.h"

#include <algorithm>
#include <vector>

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

    // The grid along x: the wave cells, or the meshes of the transport line.
    if (solver == 0) {
        p.cells_x = st.Mx + 1;
        p.cells_z = st.Mz + 1;
    } else {
        p.cells_x = w.cells_x;
        p.cells_z = solver == 2 ? w.cells_z : st.Mz + 1;
    }
    const std::int64_t points = p.cells_x * p.cells_z;
    if (!allocate(st.pv, points, kSlotPv) || !allocate(st.dxp, p.cells_x, kSlotDxp) ||
        !allocate(st.dyp, st.My + 1, kSlotDyp) || !allocate(st.dzp, p.cells_z, kSlotDzp) ||
        !allocate(st.cxp, p.cells_x + 1, kSlotCxp) || !allocate(st.cyp, st.My + 2, kSlotCyp) ||
        !allocate(st.czp, p.cells_z + 1, kSlotCzp) || !allocate(st.tpv, points, kSlotTpv, -1.0))
        return;

    // Which cell of the transport line each x position of the grid lies in (-1: none).
    std::vector<std::int64_t> owner(static_cast<std::size_t>(p.cells_x), -1);
    if (solver == 0) {
        for (std::int64_t i = 0; i < p.cells_x; ++i) {
            owner[static_cast<std::size_t>(i)] = i;
            st.cxp[static_cast<std::size_t>(i)] = axisEntry(st.cx, i);
            st.dxp[static_cast<std::size_t>(i)] = axisEntry(st.dx, i);
        }
        st.cxp.back() = axisEntry(st.cx, p.cells_x);
    } else {
        std::int64_t at = w.extra_x;
        for (std::int64_t i = 0; line.valid && i < line.cells; ++i) {
            const Cell *c = st.cellAt(i, line.j, line.k);
            const std::int64_t n = c ? waveCellsOf(c->dx, s.dxscho) : 0;
            for (std::int64_t m = 0; m < n && at < p.cells_x; ++m)
                owner[static_cast<std::size_t>(at++)] = i;
        }
        for (std::int64_t i = 0; i <= p.cells_x; ++i) {
            st.cxp[static_cast<std::size_t>(i)] = w.x0 + static_cast<double>(i) * s.dxscho;
            if (i < p.cells_x)
                st.dxp[static_cast<std::size_t>(i)] = s.dxscho;
        }
    }
    for (std::int64_t j = 0; j <= st.My; ++j) {
        st.cyp[static_cast<std::size_t>(j)] = axisEntry(st.cy, j);
        st.dyp[static_cast<std::size_t>(j)] = axisEntry(st.dy, j);
    }
    st.cyp.back() = axisEntry(st.cy, st.My + 1);
    if (solver == 2) {
        for (std::int64_t k = 0; k <= p.cells_z; ++k) {
            st.czp[static_cast<std::size_t>(k)] = w.z0 + static_cast<double>(k) * s.dyscho;
            if (k < p.cells_z)
                st.dzp[static_cast<std::size_t>(k)] = s.dyscho;
        }
    } else {
        for (std::int64_t k = 0; k < p.cells_z; ++k) {
            st.czp[static_cast<std::size_t>(k)] = axisEntry(st.cz, k);
            st.dzp[static_cast<std::size_t>(k)] = axisEntry(st.dz, k);
        }
        st.czp.back() = axisEntry(st.cz, p.cells_z);
    }

    // Point types: the cell type of the line cell a grid column lies in (-1 outside the device).
    for (std::int64_t i = 0; i < p.cells_x; ++i) {
        const std::int64_t cell = owner[static_cast<std::size_t>(i)];
        const Cell *c = line.valid && cell >= 0 ? st.cellAt(cell, line.j, line.k) : nullptr;
        const double type = c ? c->cell_type : -1;
        for (std::int64_t k = 0; k < p.cells_z; ++k)
            st.tpv[static_cast<std::size_t>(i * p.cells_z + k)] = type;
        if (c && c->cell_type == 0) {
            if (p.active_first < 0)
                p.active_first = i;
            p.active_last = i;
        }
    }
    if (p.active_first < 0)
        message(9004);
}

} // namespace comprova
