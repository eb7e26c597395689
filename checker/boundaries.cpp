// Stage 5: classifies every volum as internal or external and gives it a cell type from its
// boundary settings.

#include "checker/boundary_records.h"
#include "checker/comprova_state.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace comprova {

namespace {

// 1.001 in single precision: the relative margin by which a face must lie inside the device.
constexpr double kInteriorMargin = 1.0010000000474975;

// A lower face is interior when it lies above the device's lower bound by more than the margin.
// When both coordinates are negative the magnitudes are compared, the margin on the volum's side,
// so that the test keeps its meaning below the origin.
bool lowerFaceInterior(double deviceLower, double volumLower) {
    if (deviceLower < 0 && volumLower < 0)
        return std::fabs(volumLower) * kInteriorMargin < std::fabs(deviceLower);
    return deviceLower * kInteriorMargin < volumLower;
}

bool upperFaceInterior(double volumUpper, double deviceUpper) {
    if (volumUpper < 0 && deviceUpper < 0)
        return std::fabs(deviceUpper) * kInteriorMargin < std::fabs(volumUpper);
    return volumUpper * kInteriorMargin < deviceUpper;
}

// Second type field: which boundary the volum carries (0 none, 1 DC, 2 TRANS, 3 AC, 4 the fourth
// kind, 5 Neumann), for the simulator's benefit.
std::int32_t boundaryKind(int v) {
    if (isOn(V(v, kRecDc)))
        return 1;
    if (isOn(V(v, kRecTrans)))
        return 2;
    if (isOn(V(v, kRecAc)))
        return 3;
    if (isOn(V(v, kRecFloating)))
        return 4;
    if (isOn(V(v, kRecNeumann)))
        return 5;
    return 0;
}

} // namespace

void definicio_de_boundaries(const volum_str *, std::int32_t nvol) {
    State &st = state();
    const int n =
        std::min<std::int64_t>({nvol, st.nvol, static_cast<std::int64_t>(st.volum.size()) - 1});
    if (n < 1)
        return;

    VolumEntry device = st.volum[1];
    for (int v = 2; v <= n; ++v) {
        const VolumEntry &e = st.volum[static_cast<std::size_t>(v)];
        device.xi = std::min(device.xi, e.xi);
        device.yi = std::min(device.yi, e.yi);
        device.zi = std::min(device.zi, e.zi);
        device.xf = std::max(device.xf, e.xf);
        device.yf = std::max(device.yf, e.yf);
        device.zf = std::max(device.zf, e.zf);
    }

    for (int v = 1; v <= n; ++v) {
        VolumEntry &e = st.volum[static_cast<std::size_t>(v)];
        const bool internal =
            lowerFaceInterior(device.xi, e.xi) && lowerFaceInterior(device.yi, e.yi) &&
            lowerFaceInterior(device.zi, e.zi) && upperFaceInterior(e.xf, device.xf) &&
            upperFaceInterior(e.yf, device.yf) && upperFaceInterior(e.zf, device.zf);

        e.cell_type = -1;
        e.type2 = boundaryKind(v);
        if (!internal) {
            if (isOn(V(v, kRecNeumann))) {
                if (e.kind != 0) {
                    message(6001, v);
                    return;
                }
                e.cell_type = 2;
            }
            for (const int rec : {kRecDc, kRecAc, kRecTrans, kRecFloating, kRecNeutrality})
                if (isOn(V(v, rec)))
                    e.cell_type = 3;
        }

        const std::int32_t noBoundary = floorInt(V(v, kRecInternal));
        if (internal && noBoundary == 0) {
            message(6005, v);
            return;
        }
        if (!internal && noBoundary == 1) {
            message(6006, v);
            return;
        }

        if (internal) {
            e.cell_type = e.kind == 1 ? 0 : 1;
            std::int64_t boundaries = 0;
            for (const int rec : {kRecDc, kRecAc, kRecTrans, kRecNeumann, kRecFloating})
                boundaries += floorInt(V(v, rec));
            if (boundaries != 0) {
                message(6007, v);
                return;
            }
        }

        if (e.cell_type == -1) {
            message(6004, v);
            return;
        }
    }
}

} // namespace comprova
