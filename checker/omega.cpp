// Stage 9: the volume for current computation, a box of cells given by general records 206 to
// 211 over which the simulator integrates the current.

#include "checker/omega.h"
#include "checker/comprova_state.h"

#include <algorithm>

namespace comprova {

OmegaVolume &omegaVolume() {
    static OmegaVolume omega;
    return omega;
}

void seleccio_volum_omega() {
    State &st = state();
    const Settings &s = st.s;
    OmegaVolume &o = omegaVolume();
    o = OmegaVolume();

    // The range must lie on the grid (its last cell may be the far end, M + 1).
    const std::int64_t first[3] = {s.omega_x1, s.omega_y1, s.omega_z1};
    const std::int64_t last[3] = {s.omega_x2, s.omega_y2, s.omega_z2};
    const std::int64_t largest[3] = {st.Mx, st.My, st.Mz};
    for (int a = 0; a < 3; ++a) {
        if (first[a] < 0 || last[a] > largest[a] + 1 || last[a] < first[a]) {
            message(3006);
            return;
        }
        o.first[a] = first[a];
        o.last[a] = last[a];
    }

    o.lower[0] = axisEntry(st.cx, first[0]);
    o.upper[0] = axisEntry(st.cx, last[0]);
    o.lower[1] = axisEntry(st.cy, first[1]);
    o.upper[1] = axisEntry(st.cy, last[1]);
    o.lower[2] = axisEntry(st.cz, first[2]);
    o.upper[2] = axisEntry(st.cz, last[2]);

    // Cells of the range, with a face mask for the simulator: bit f - 1 set when the cell lies on
    // face f of the box (1 +x, 2 +y, 3 +z, 4 -x, 5 -y, 6 -z). The far end M + 1 has no cells.
    std::int64_t top[3];
    for (int a = 0; a < 3; ++a)
        top[a] = std::min(last[a], largest[a]);
    const std::int64_t nx = top[0] - first[0] + 1, ny = top[1] - first[1] + 1,
                       nz = top[2] - first[2] + 1;
    if (!allocate(st.mquan,
                  std::max<std::int64_t>(nx, 0) * std::max<std::int64_t>(ny, 0) *
                      std::max<std::int64_t>(nz, 0),
                  kSlotMquan))
        return;

    std::size_t at = 0;
    for (std::int64_t i = first[0]; i <= top[0]; ++i)
        for (std::int64_t j = first[1]; j <= top[1]; ++j)
            for (std::int64_t k = first[2]; k <= top[2]; ++k) {
                const std::int64_t index[3] = {i, j, k};
                int mask = 0;
                for (int a = 0; a < 3; ++a) {
                    if (index[a] == top[a])
                        mask |= 1 << a;
                    if (index[a] == first[a])
                        mask |= 1 << (a + 3);
                }
                st.mquan[at++] = mask;

                const Cell *c = st.cellAt(i, j, k);
                if (!c || c->volum < 1 || c->volum > st.nvol)
                    continue;
                if (o.count < static_cast<int>(o.volums.size()) &&
                    std::find(o.volums.begin(), o.volums.begin() + o.count, c->volum) ==
                        o.volums.begin() + o.count)
                    o.volums[static_cast<std::size_t>(o.count++)] = c->volum;
            }

    // Volums with free electrons widen the box to their own bounds.
    for (int n = 0; n < o.count; ++n) {
        const int v = o.volums[static_cast<std::size_t>(n)];
        const VolumEntry &e = st.volum[static_cast<std::size_t>(v)];
        if (e.kind != 1)
            continue;
        o.lower[0] = std::min(o.lower[0], e.xi);
        o.upper[0] = std::max(o.upper[0], e.xf);
        o.lower[1] = std::min(o.lower[1], e.yi);
        o.upper[1] = std::max(o.upper[1], e.yf);
        o.lower[2] = std::min(o.lower[2], e.zi);
        o.upper[2] = std::max(o.upper[2], e.zf);
        o.electron_volums[static_cast<std::size_t>(o.electron_count++)] = v;
    }
}

} // namespace comprova
