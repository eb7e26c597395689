#pragma once
// The wave grid that the quantum stage lays over the transport line, and the particle grid and
// active zone that the particle stage derives from it. Both grids are regular along x (wave cell
// n starts at x0 + n DXSCHO), so they are kept as counts, origins and steps: no table of them is
// stored, and their size does not depend on the unit of the design.

#include <cstdint>

namespace comprova {

// The transport line: the row of cells along x, over the whole device, at the lowest y and z of
// the cells of cell type 0.
struct TransportLine {
    bool valid = false; // false when the design has no cell of cell type 0
    std::int64_t j = 0, k = 0;
    std::int64_t cells = 0; // i runs from 0 to cells - 1
};
TransportLine transportLine();

struct WaveGrid {
    std::int32_t solver = 0;   // 1 effective-mass wave equation, 2 Dirac equation
    std::int64_t extra_x = 0;  // extension cells before and after the device along x
    std::int64_t extra_z = 0;  // extension cells at each side along z (Dirac only)
    std::int64_t cells_x = 0;  // wave cells along x, counted from 0
    std::int64_t cells_z = 0;  // wave cells along z (Dirac only)
    double x0 = 0;             // x of wave cell 0
    double z0 = 0;             // z of wave cell 0 along z (Dirac only)
    double mass = 0;           // smallest effective mass of the wave cells (kg)
    double fermi_velocity = 0; // VF of the first wave cell (m/s, Dirac only)
};
WaveGrid &waveGrid();

// Number of wave cells of a cell of width `width` for the step `step`: the nearest whole number,
// which must be at least 1 and within 0.001 of the quotient. Returns -1 when it is not, and -2
// when the quotient is too large to count (more than 2e9 cells).
std::int64_t waveCellsOf(double width, double step);

struct ParticleGrid {
    std::int64_t cells_x = 0, cells_z = 0;
    std::int64_t active_first = -1, active_last = -1; // the active zone (zona activa) along x
};
ParticleGrid &particleGrid();

} // namespace comprova
