// Stage 7: finds the reservoirs (the contact faces through which electrons enter and leave the
// device), reads their boundary conditions, and checks charge neutrality and the injecting volums.

#include "checker/boundary_records.h"
#include "checker/comprova_state.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace comprova {

namespace {

// Face directions in scan order: +x, +y, +z, -x, -y, -z (numbered 1 to 6).
constexpr int kFaceStep[6][3] = {{1, 0, 0},  {0, 1, 0},  {0, 0, 1},
                                 {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
constexpr int kFacePlusX = 1;
constexpr int kFaceMinusX = 4;

// 0.001 in single precision: the tolerance, in mesh widths, of a bound comparison.
constexpr double kBoundTolerance = 0.0010000000474974513;

int opposite(int face) { // 1-based
    return face <= 3 ? face + 3 : face - 3;
}

// The cell flags of the scan, one per cell of the table.
class CellFlags {
public:
    bool allocateFor(const State &st) {
        return allocate(flags_, static_cast<std::int64_t>(st.malla.size()), 0, char(0));
    }
    bool isSet(const State &st, const Cell *c) const { return flags_[index(st, c)] != 0; }
    void set(const State &st, const Cell *c) { flags_[index(st, c)] = 1; }

private:
    static std::size_t index(const State &st, const Cell *c) {
        return static_cast<std::size_t>(c - st.malla.data());
    }
    std::vector<char> flags_;
};

// Whether cell (i, j, k) opens face `face` (1-based) onto a contact: its marker for the face is 1,
// the neighbour's marker for the opposite face is 2, and the scan has not used the cell yet.
// Returns the neighbour across the face, or nullptr.
Cell *contactNeighbour(State &st, const CellFlags &flags, std::int64_t i, std::int64_t j,
                       std::int64_t k, int face) {
    if (i < 0 || j < 0 || k < 0 || i > st.Mx || j > st.My || k > st.Mz)
        return nullptr;
    Cell *c = st.cellAt(i, j, k);
    if (!c || flags.isSet(st, c) || c->marker(face - 1) != 1)
        return nullptr;
    const int *d = kFaceStep[face - 1];
    Cell *nb = st.cellAt(i + d[0], j + d[1], k + d[2]);
    if (!nb || nb->marker(opposite(face) - 1) != 2)
        return nullptr;
    return nb;
}

struct Range {
    std::int64_t lo[3], hi[3];
};

bool slabOpens(State &st, const CellFlags &flags, const Range &r, int face) {
    for (std::int64_t i = r.lo[0]; i <= r.hi[0]; ++i)
        for (std::int64_t j = r.lo[1]; j <= r.hi[1]; ++j)
            for (std::int64_t k = r.lo[2]; k <= r.hi[2]; ++k)
                if (!contactNeighbour(st, flags, i, j, k, face))
                    return false;
    return true;
}

// Grows the reservoir seeded at `seed` towards increasing indices, along x, then y, then z, as
// long as the whole next slab opens the same face onto a contact.
Range growReservoir(State &st, const CellFlags &flags, const std::int64_t seed[3], int face) {
    Range r{{seed[0], seed[1], seed[2]}, {seed[0], seed[1], seed[2]}};
    const std::int64_t limit[3] = {st.Mx, st.My, st.Mz};
    for (int axis = 0; axis < 3; ++axis) {
        while (r.hi[axis] < limit[axis]) {
            Range next = r;
            next.lo[axis] = next.hi[axis] = r.hi[axis] + 1;
            if (!slabOpens(st, flags, next, face))
                break;
            r.hi[axis] = next.hi[axis];
        }
    }
    return r;
}

// Records the reservoir opened on `face` by the cells of `r`; all contact-side cells must belong
// to one volum (message 8004 otherwise).
bool recordReservoir(State &st, CellFlags &flags, const Range &r, int face) {
    const int *d = kFaceStep[face - 1];
    const Cell *first = st.cellAt(r.lo[0], r.lo[1], r.lo[2]);
    const Cell *last = st.cellAt(r.hi[0], r.hi[1], r.hi[2]);
    const Cell *contact = st.cellAt(r.lo[0] + d[0], r.lo[1] + d[1], r.lo[2] + d[2]);
    for (std::int64_t i = r.lo[0]; i <= r.hi[0]; ++i)
        for (std::int64_t j = r.lo[1]; j <= r.hi[1]; ++j)
            for (std::int64_t k = r.lo[2]; k <= r.hi[2]; ++k) {
                const Cell *other = st.cellAt(i + d[0], j + d[1], k + d[2]);
                if (other && other->volum != contact->volum) {
                    message(8004, contact->volum, other->volum);
                    return false;
                }
                flags.set(st, st.cellAt(i, j, k));
            }

    Reservoir res;
    res.face = face;
    res.volum = contact->volum;
    res.mat1 = contact->mat1;
    res.mat2 = contact->mat2;
    res.i1 = r.lo[0];
    res.i2 = r.hi[0];
    res.j1 = r.lo[1];
    res.j2 = r.hi[1];
    res.k1 = r.lo[2];
    res.k2 = r.hi[2];
    res.x1 = first->x;
    res.y1 = first->y;
    res.z1 = first->z;
    res.x2 = last->x + last->dx;
    res.y2 = last->y + last->dy;
    res.z2 = last->z + last->dz;
    st.reservoir.push_back(res);
    return true;
}

// The box of the cells of cell type 0; stays empty (upper < lower) when there are none.
void recordChannelBox(State &st) {
    st.box_i1 = st.box_j1 = st.box_k1 = 0;
    st.box_i2 = st.box_j2 = st.box_k2 = -1;
    bool any = false;
    for (std::int64_t i = 0; i <= st.Mx; ++i)
        for (std::int64_t j = 0; j <= st.My; ++j)
            for (std::int64_t k = 0; k <= st.Mz; ++k) {
                const Cell *c = st.cellAt(i, j, k);
                if (!c || c->cell_type != 0)
                    continue;
                if (!any) {
                    st.box_i1 = st.box_i2 = i;
                    st.box_j1 = st.box_j2 = j;
                    st.box_k1 = st.box_k2 = k;
                    any = true;
                    continue;
                }
                st.box_i1 = std::min(st.box_i1, i);
                st.box_i2 = std::max(st.box_i2, i);
                st.box_j1 = std::min(st.box_j1, j);
                st.box_j2 = std::max(st.box_j2, j);
                st.box_k1 = std::min(st.box_k1, k);
                st.box_k2 = std::max(st.box_k2, k);
            }
}

// Reservoir number (1-based) of volum v, or 0.
int reservoirOfVolum(const State &st, std::int64_t v) {
    for (std::size_t r = 0; r < st.reservoir.size(); ++r)
        if (st.reservoir[r].volum == v)
            return static_cast<int>(r) + 1;
    return 0;
}

// Whether, on every axis, one bound of volum e lies within its tolerance of a bound of `res`.
bool touchesReservoir(const VolumEntry &e, const Reservoir &res) {
    const struct {
        double lo, hi;
        std::int64_t first, last;
        double rlo, rhi;
    } axes[3] = {{e.xi, e.xf, e.mxi, e.mxf, res.x1, res.x2},
                 {e.yi, e.yf, e.myi, e.myf, res.y1, res.y2},
                 {e.zi, e.zf, e.mzi, e.mzf, res.z1, res.z2}};
    for (const auto &a : axes) {
        const double t =
            kBoundTolerance * (a.hi - a.lo) / static_cast<double>(a.last - a.first + 1);
        bool close = false;
        for (const double b : {a.lo, a.hi})
            for (const double rb : {a.rlo, a.rhi})
                close = close || std::fabs(b - rb) < t;
        if (!close)
            return false;
    }
    return true;
}

// A volum of cell type 3 that is not a contact of the channel must share the transient of the
// reservoir that carries it (message 8005 otherwise).
bool sameTransient(const State &st, int v) {
    if (st.transient_carrier < 1)
        return true;
    const int carrier = st.reservoir[static_cast<std::size_t>(st.transient_carrier - 1)].volum;
    const auto differs = [&](std::initializer_list<int> reals, std::initializer_list<int> ints) {
        for (const int rec : reals)
            if (V(v, rec) != V(carrier, rec))
                return true;
        for (const int rec : ints)
            if (floorInt(V(v, rec)) != floorInt(V(carrier, rec)))
                return true;
        return false;
    };
    const bool transient =
        V(v, kRecTrans) == 1.0 && std::int64_t(floorInt(V(v, 26))) + floorInt(V(v, 27)) != 0;
    const bool ac = V(v, kRecAc) == 1.0 && floorInt(V(v, kRecAcSteps)) != 0;
    if ((transient && differs({23, 24, 25}, {26, 27, 28, 29})) ||
        (ac && differs({32, 33, 34, 35, 37, 38, 39, 40}, {36, 41, 42, 43}))) {
        message(8005, carrier, v);
        return false;
    }
    return true;
}

} // namespace

void seleccio_de_boundaries(Reservoir &res, std::int32_t v) {
    State &st = state();
    const auto at = &res - st.reservoir.data();
    const bool listed = at >= 0 && at < static_cast<std::ptrdiff_t>(st.reservoir.size());
    const auto becomeCarrier = [&](std::int64_t steps) {
        if (listed) {
            st.transient_carrier = static_cast<std::int32_t>(at) + 1;
            st.transient_steps =
                static_cast<std::int32_t>(std::min<std::int64_t>(steps, INT32_MAX));
        }
        if (steps > kMaxTransientSteps) {
            message(3012);
            return false;
        }
        return true;
    };

    if (V(v, kRecDc) == 1.0) {
        res.kind = 1;
        for (std::size_t n = 0; n < res.dc.size(); ++n)
            res.dc[n] = V(v, kRecDcFirst + static_cast<int>(n));
    }
    if (V(v, kRecTrans) == 1.0) {
        res.kind = 2;
        for (std::size_t n = 0; n < 3; ++n)
            res.trans_reals[n] = V(v, kRecTransFirst + static_cast<int>(n));
        for (std::size_t n = 0; n < 4; ++n)
            res.trans_ints[n] = floorInt(V(v, 26 + static_cast<int>(n)));
        const std::int64_t steps = std::int64_t(res.trans_ints[0]) + res.trans_ints[1];
        if (steps > 0 && !becomeCarrier(steps))
            return;
    }
    if (V(v, kRecAc) == 1.0) {
        res.kind = 3;
        const int reals[8] = {32, 33, 34, 35, 37, 38, 39, 40};
        const int ints[4] = {36, kRecAcSteps, 42, 43};
        for (std::size_t n = 0; n < 8; ++n)
            res.ac_reals[n] = V(v, reals[n]);
        for (std::size_t n = 0; n < 4; ++n)
            res.ac_ints[n] = floorInt(V(v, ints[n]));
        if (res.ac_ints[1] > 0 && !becomeCarrier(res.ac_ints[1]))
            return;
    }

    const Settings &s = st.s;
    flooracuracy(V(v, kRecNstopCon), s.dt, res.nstop_con);
    if (noError())
        flooracuracy(V(v, kRecMitjaCon), s.dt * s.ratio, res.mitja_con);
    if (noError())
        flooracuracy(V(v, kRecFiltre), s.dt * s.ratio, res.filtre);
    if (!noError())
        return;
    res.iterneustart = floorInt(V(v, kRecIterneustart));

    std::int64_t kinds = 0;
    for (const int rec : {kRecDc, kRecAc, kRecTrans, kRecFloating})
        kinds += floorInt(V(v, rec));
    if (kinds != 1)
        message(8003);
}

void seleccio_de_contactes(const volum_str *, std::int32_t) {
    State &st = state();
    st.source = st.drain = 0;
    st.transient_carrier = st.transient_steps = 0;
    st.box_i1 = st.box_j1 = st.box_k1 = 0;
    st.box_i2 = st.box_j2 = st.box_k2 = -1;

    CellFlags flags;
    if (!flags.allocateFor(st))
        return;
    // Six records per volum are set aside; a design with more reservoirs grows the list.
    if (!allocate(st.reservoir, std::int64_t(6) * st.nvol, kSlotReservoir))
        return;
    st.reservoir.clear();

    for (std::int64_t i = 0; i <= st.Mx; ++i)
        for (std::int64_t j = 0; j <= st.My; ++j)
            for (std::int64_t k = 0; k <= st.Mz; ++k) {
                const Cell *c = st.cellAt(i, j, k);
                if (!c || !c->anyMarker()) // most cells touch no contact
                    continue;
                for (int face = 1; face <= 6; ++face) {
                    if (!contactNeighbour(st, flags, i, j, k, face))
                        continue;
                    const std::int64_t seed[3] = {i, j, k};
                    const Range r = growReservoir(st, flags, seed, face);
                    if (!recordReservoir(st, flags, r, face))
                        return;
                    const int number = static_cast<int>(st.reservoir.size());
                    if (face == kFaceMinusX) {
                        st.source = number;
                    } else if (face == kFacePlusX) {
                        st.drain = number;
                    } else {
                        message(8002);
                        return;
                    }
                    seleccio_de_boundaries(st.reservoir.back(), st.reservoir.back().volum);
                    if (!noError())
                        return;
                }
            }

    if (st.source == 0) {
        message(8010);
        return;
    }
    if (st.drain == 0) {
        message(8011);
        return;
    }

    const Reservoir &source = st.reservoir[static_cast<std::size_t>(st.source - 1)];
    const Reservoir &drain = st.reservoir[static_cast<std::size_t>(st.drain - 1)];
    const auto linear = [&](const Reservoir &r) {
        const VolumEntry &e = st.volum[static_cast<std::size_t>(r.volum)];
        const MaterialEntry *m = st.material(e.material);
        return m && m->kind == 2;
    };
    if (!linear(source) && !linear(drain) && st.s.accelerated_injection != 1) {
        message(8009);
        return;
    }
    if (st.reservoir.size() != 2) {
        message(8008);
        return;
    }

    const double neutralSource = V(source.volum, kRecNeutrality);
    const double neutralDrain = V(drain.volum, kRecNeutrality);
    if ((neutralSource == 1.0 && neutralDrain == 0.0) ||
        (neutralSource == 0.0 && neutralDrain == 1.0)) {
        message(8006, source.volum, drain.volum);
        return;
    }
    if (neutralSource == 1.0 && neutralDrain == 1.0 && source.iterneustart != drain.iterneustart) {
        message(8007, source.volum, drain.volum);
        return;
    }
    // The simulator takes the neutrality control of the drain's record.
    recordChannelBox(st);

    for (InjectionBlock &block : st.s.injections) {
        if (block.on != 1)
            continue;
        block.reservoir = reservoirOfVolum(st, block.volum);
        if (block.reservoir == 0) {
            message(3011, block.volum);
            return;
        }
    }
    if (st.s.trans2d == 1 && reservoirOfVolum(st, st.s.trans2d_volum) == 0) {
        message(3024, st.s.trans2d_volum);
        return;
    }

    // Every other volum with a contact boundary (a gate, a floating electrode) is a reservoir
    // too; those beside the source or the drain face the same way.
    for (int v = 1; v <= st.nvol; ++v) {
        const VolumEntry &e = st.volum[static_cast<std::size_t>(v)];
        if (e.cell_type != 3 || reservoirOfVolum(st, v) != 0)
            continue;
        Reservoir res;
        res.volum = v;
        if (const MaterialEntry *m = st.material(e.material)) {
            res.mat1 = m->values[0];
            res.mat2 = m->values[1];
        }
        res.i1 = e.mxi;
        res.i2 = e.mxf;
        res.j1 = e.myi;
        res.j2 = e.myf;
        res.k1 = e.mzi;
        res.k2 = e.mzf;
        res.x1 = e.xi;
        res.x2 = e.xf;
        res.y1 = e.yi;
        res.y2 = e.yf;
        res.z1 = e.zi;
        res.z2 = e.zf;
        const Reservoir &src = st.reservoir[static_cast<std::size_t>(st.source - 1)];
        const Reservoir &drn = st.reservoir[static_cast<std::size_t>(st.drain - 1)];
        if (touchesReservoir(e, src))
            res.face = kFaceMinusX;
        else if (touchesReservoir(e, drn))
            res.face = kFacePlusX;
        st.reservoir.push_back(res);

        if (V(v, kRecNeutrality) == 1.0) {
            message(8001, v);
            return;
        }
        if (!sameTransient(st, v))
            return;
        seleccio_de_boundaries(st.reservoir.back(), v);
        if (!noError())
            return;
    }
}

} // namespace comprova
