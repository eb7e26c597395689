// Stage 8: chooses the wave equation from the materials along the transport line, lays the wave
// grid over it, and checks that the grid divides the cells and that the time step is stable.

#include "checker/comprova_state.h"
#include "checker/wavegrid.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace comprova {

namespace {

// Single-precision constants of the rules.
constexpr double kHbar = 1.0545900502710371e-34;         // J s
constexpr double kSqrt2 = 1.4142135381698608;            //
constexpr double kTolerance = 0.0010000000474974513;     // 0.001
constexpr double kSchrodingerMin = 0.004000000189989805; // 0.004
constexpr double kSchrodingerMax = 0.5;
constexpr double kDiracMin = 0.009999999776482582; // 0.01
constexpr double kDiracMax = 0.9999989867210388;   // 0.999999
// The heaviest mass the effective-mass rule starts from (kg).
constexpr double kMassStart = 9.109136121414667e-27;
// The simulator counts wave cells in 32-bit integers.
constexpr std::int64_t kMaxCells = 2147483647;

const MaterialEntry *cellMaterial(State &st, const Cell *c) {
    return c ? st.material(c->material) : nullptr;
}

double valleyMass(const MaterialEntry *m) {
    return m ? m->parabolic[0].mass_x : 0.0;
}

double fermiVelocity(const MaterialEntry *m) {
    return m ? m->linear[0].values[0] : 0.0;
}

// Wave cells added at each end along x: X1 + X2 unless record 46 leaves them out, plus the
// extension when record 38 switches it on.
bool extraCellsAlongX(const Settings &s, std::int64_t &extra) {
    const bool keep = s.extension_switch2 != 1; // record 46: 1 leaves X1 and X2 out
    const bool extend = s.extension_switch == 1;
    std::int32_t n = 0;
    if (keep && !extend)
        flooracuracy(s.x1 + s.x2, s.dxscho, n);
    else if (keep && extend)
        flooracuracy(s.extension + s.x1 + s.x2, s.dxscho, n);
    else if (extend)
        flooracuracy(s.extension, s.dxscho, n);
    extra = std::max<std::int64_t>(n, 0);
    return noError();
}

// Whether a number of wave cells can be counted in the simulator's integers; 3031 otherwise, with
// the length they cover and the step, as for any other count that leaves that range.
bool fitsCount(std::int64_t cells, double step) {
    if (cells <= kMaxCells)
        return true;
    message(3031, 0, 0, toFloat(static_cast<double>(cells) * step), toFloat(step));
    return false;
}

// Counts the wave cells of the cells n = first .. last along one axis, cellOf(n) giving the cell
// (or nullptr to skip it) and widthOf its width; message 9001 names the volum of the first cell
// that the step does not divide.
template <class CellOf, class WidthOf>
bool countWaveCells(std::int64_t first, std::int64_t last, double step, CellOf cellOf,
                    WidthOf widthOf, std::int64_t &total) {
    total = 0;
    for (std::int64_t n = first; n <= last; ++n) {
        const Cell *c = cellOf(n);
        if (!c)
            continue;
        const double width = widthOf(*c);
        const std::int64_t cells = waveCellsOf(width, step);
        if (cells == -1) {
            message(9001, static_cast<std::int32_t>(n), c->volum, toFloat(step), toFloat(width));
            return false;
        }
        if (cells == -2) {
            message(3031, 0, 0, toFloat(width), toFloat(step));
            return false;
        }
        if (!fitsCount(total + cells, step))
            return false;
        total += cells;
    }
    return true;
}

} // namespace

WaveGrid &waveGrid() {
    static WaveGrid grid;
    return grid;
}

std::int64_t waveCellsOf(double width, double step) {
    const double q = width / step;
    const double n = std::floor(q + 0.5);
    if (!(n >= 1.0) || !(std::fabs(n - q) <= kTolerance))
        return -1;
    if (n > static_cast<double>(kMaxCells))
        return -2;
    return static_cast<std::int64_t>(n);
}

TransportLine transportLine() {
    const State &st = state();
    TransportLine line;
    if (st.box_i2 < st.box_i1 || st.box_j2 < st.box_j1 || st.box_k2 < st.box_k1)
        return line;
    line.valid = true;
    line.j = st.box_j1;
    line.k = st.box_k1;
    line.cells = st.Mx + 1;
    return line;
}

void traduccio_variables_quanticas_dispositiu() {
    State &st = state();
    Settings &s = st.s;
    WaveGrid &w = waveGrid();
    w = WaveGrid();

    const TransportLine line = transportLine();
    if (!line.valid) {
        message(9004);
        return;
    }
    const auto lineCell = [&](std::int64_t i) { return st.cellAt(i, line.j, line.k); };

    // 1. The solver follows the dispersion of every material along the line.
    bool parabolic = true, linear = true;
    for (std::int64_t i = 0; i < line.cells; ++i) {
        const MaterialEntry *m = cellMaterial(st, lineCell(i));
        const int kind = m ? m->kind : 0;
        parabolic = parabolic && kind == 1;
        linear = linear && kind == 2;
    }
    if (!parabolic && !linear) {
        message(9010);
        return;
    }
    w.solver = parabolic ? 1 : 2;
    s.wave_solver = w.solver;

    // 2. What the Dirac solver cannot do. CONFY and CONFZ are the stored, inverted flags.
    if (w.solver == 2) {
        if (s.superposition == 1) {
            message(9013);
            return;
        }
        if (s.conf_y == 0 || s.conf_z == 1) {
            message(9015);
            return;
        }
    }

    // 3. Room for the injected packets before and after the device.
    // Written as "not at least" so that an unreadable (NaN) length fails too.
    if (!(s.x1 >= 3.5 * s.dispersio_x)) {
        message(9006, 0, 0, toFloat(s.x1), toFloat(s.dispersio_x));
        return;
    }
    if (!(s.x2 >= 3.5 * s.dispersio_x)) {
        message(9007, 0, 0, toFloat(s.x2), toFloat(s.dispersio_x));
        return;
    }

    // 4. Extension cells.
    if (!extraCellsAlongX(s, w.extra_x))
        return;
    if (s.extension_switch == 1) {
        std::int32_t n = 0;
        flooracuracy(s.extension, s.dyscho, n);
        if (!noError())
            return;
        w.extra_z = std::max<std::int32_t>(n, 0);
    }

    // 5. Every cell of the line is a whole number of steps DXSCHO.
    std::int64_t lineCells = 0;
    if (!countWaveCells(
            0, line.cells - 1, s.dxscho, lineCell, [](const Cell &c) { return c.dx; }, lineCells))
        return;
    w.cells_x = lineCells + 2 * w.extra_x;
    if (!fitsCount(w.cells_x, s.dxscho))
        return;
    w.x0 = (st.cx.empty() ? 0.0 : st.cx[0]) - static_cast<double>(w.extra_x) * s.dxscho;

    // 6. The Dirac grid also divides the cells of the channel across, along z.
    if (w.solver == 2) {
        const auto columnCell = [&](std::int64_t k) -> const Cell * {
            const Cell *c = st.cellAt(st.box_i1, line.j, k);
            return c && c->cell_type == 0 ? c : nullptr;
        };
        std::int64_t across = 0;
        if (!countWaveCells(
                st.box_k1, st.box_k2, s.dyscho, columnCell, [](const Cell &c) { return c.dz; },
                across))
            return;
        w.cells_z = across + 2 * w.extra_z;
        if (!fitsCount(w.cells_z, s.dyscho))
            return;
        const Cell *first = st.cellAt(st.box_i1, line.j, st.box_k1);
        w.z0 = (first ? first->z : 0.0) - static_cast<double>(w.extra_z) * s.dyscho;
    }

    // Wave cells are laid over the line cell by cell, after extra_x extension cells, which take the
    // material of the nearer end of the line; so the rules below visit line cells, not wave cells,
    // and no table of the wave grid is kept.
    const auto ownsWaveCells = [&](const Cell *c) { return c && waveCellsOf(c->dx, s.dxscho) > 0; };
    const auto firstWaveCellOwner = [&]() -> const Cell * {
        if (w.cells_x <= 0)
            return nullptr;
        if (w.extra_x > 0)
            return lineCell(0);
        for (std::int64_t i = 0; i < line.cells; ++i)
            if (ownsWaveCells(lineCell(i)))
                return lineCell(i);
        return nullptr;
    };

    // 7. The reservoirs on the wave grid.
    const auto waveIndex = [&](double x) {
        const double q = std::floor((x - w.x0) / s.dxscho + 0.5);
        if (!(q >= 0))
            return std::int64_t(0);
        return q >= static_cast<double>(w.cells_x) ? w.cells_x : static_cast<std::int64_t>(q);
    };
    for (Reservoir &r : st.reservoir) {
        r.wave1 = std::min(waveIndex(r.x1), std::max<std::int64_t>(w.cells_x - 1, 0));
        r.wave2 = std::max(waveIndex(r.x2) - 1, r.wave1);
    }

    // 8. The Dirac grid must hold the injected packet across.
    if (w.solver == 2) {
        const double width = static_cast<double>(w.cells_z) * s.dyscho - 2.0 * s.extension;
        if (!(width >= 6.0 * s.dispersio_z)) {
            message(9017, 0, 0, toFloat(width), toFloat(s.dispersio_z));
            return;
        }
    }

    // 9. Stability of the time step.
    if (s.superposition != 1) {
        if (w.solver == 1) {
            w.mass = kMassStart;
            const auto consider = [&](const Cell *c) {
                w.mass = std::min(w.mass, valleyMass(cellMaterial(st, c)));
            };
            if (w.extra_x > 0) {
                consider(lineCell(0));
                consider(lineCell(line.cells - 1));
            }
            for (std::int64_t i = 0; i < line.cells; ++i)
                if (ownsWaveCells(lineCell(i)))
                    consider(lineCell(i));
            const double denominator = s.dxscho * s.dxscho * w.mass;
            const double ratio = s.dtscho * kHbar / denominator;
            if (!(denominator > 0) || !(ratio >= kSchrodingerMin && ratio <= kSchrodingerMax)) {
                message(9002, 0, 0, toFloat(s.dtscho), toFloat(s.dxscho));
                return;
            }
        } else {
            w.fermi_velocity = fermiVelocity(cellMaterial(st, firstWaveCellOwner()));
            const double vf = w.fermi_velocity;
            const double step = std::min(s.dxscho / vf, s.dyscho / vf);
            const double ratio = s.dtscho * kSqrt2 / step;
            if (!(vf > 0) || !(step > 0) || !(ratio >= kDiracMin && ratio <= kDiracMax)) {
                message(9016, 0, 0, toFloat(s.dtscho), toFloat(s.dxscho));
                return;
            }
        }
    }

    // 10. Every cell of the line starts on a wave cell.
    for (std::int64_t i = 0; i < line.cells; ++i) {
        const Cell *c = lineCell(i);
        if (!c)
            continue;
        const std::int64_t wave =
            std::min(waveIndex(c->x), std::max<std::int64_t>(w.cells_x - 1, 0));
        const double xw = w.x0 + static_cast<double>(wave) * s.dxscho;
        if (!(std::fabs(xw - c->x) <= kTolerance * s.dxscho)) {
            message(9003, static_cast<std::int32_t>(wave), static_cast<std::int32_t>(i),
                    toFloat(xw), toFloat(c->x));
            return;
        }
    }
}

} // namespace comprova
