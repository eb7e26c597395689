#include "view/camera.h"

#include <GL/glu.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <locale.h>

namespace {

// The position file is written and read with printf/scanf formats. The program runs with the
// user's locale (the GUI toolkit sets it), so switch this thread to the "C" locale while the file
// is formatted: a position saved under one locale must read back under any other.
class CLocaleScope {
public:
    CLocaleScope() : cLocale(newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr))) {
        if (cLocale) {
            previous = uselocale(cLocale);
        }
    }
    ~CLocaleScope() {
        if (cLocale) {
            uselocale(previous);
            freelocale(cLocale);
        }
    }
    CLocaleScope(const CLocaleScope &) = delete;
    CLocaleScope &operator=(const CLocaleScope &) = delete;

private:
    locale_t cLocale;
    locale_t previous = static_cast<locale_t>(nullptr);
};

} // namespace

SphericalCamera::SphericalCamera(double R_, double Phi_, double Theta_,
                                 const double focusPosition_[3], const double up_[3],
                                 double movementSensitivity_, double camera2WorldScalingFactor_)
    : R0(R_), Phi0(Phi_), Theta0(Theta_), movementSensitivity(movementSensitivity_),
      camera2WorldScalingFactor(camera2WorldScalingFactor_) {
    std::copy(focusPosition_, focusPosition_ + 3, focusPosition);
    std::copy(up_, up_ + 3, up);
    Reset();
}

void SphericalCamera::ComputeCameraPosition() {
    cameraPosition[0] = focusPosition[0] + R * std::cos(Phi) * std::cos(Theta);
    cameraPosition[1] = focusPosition[1] + R * std::sin(Theta);
    cameraPosition[2] = focusPosition[2] - R * std::sin(Phi) * std::cos(Theta);
}

void SphericalCamera::Normalize(double v[3]) {
    normaLength007 = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (normaLength007 > 0.0) {
        v[0] /= normaLength007;
        v[1] /= normaLength007;
        v[2] /= normaLength007;
    }
}

void SphericalCamera::ComputeLocalCoordinateSystem() {
    const double sp = std::sin(Phi), cp = std::cos(Phi);
    const double st = std::sin(Theta), ct = std::cos(Theta);

    xAxis[0] = -R * sp * ct;
    xAxis[1] = 0.0;
    xAxis[2] = -R * cp * ct;
    Normalize(xAxis);

    yAxis[0] = -R * cp * st;
    yAxis[1] = R * ct;
    yAxis[2] = R * sp * st;
    Normalize(yAxis);

    for (int i = 0; i < 3; ++i) {
        zAxis[i] = cameraPosition[i] - focusPosition[i];
    }
    Normalize(zAxis);

    xAxis2D[0] = -R * sp;
    xAxis2D[1] = -R * cp;
    xAxis2D[2] = 0.0;
    Normalize(xAxis2D);

    yAxis2D[0] = R * cp;
    yAxis2D[1] = -R * sp;
    yAxis2D[2] = 0.0;
    Normalize(yAxis2D);
}

void SphericalCamera::Recompute() {
    ComputeCameraPosition();
    ComputeLocalCoordinateSystem();
}

void SphericalCamera::MoveRight(double amount) {
    Phi += movementSensitivity * amount;
    Recompute();
}

void SphericalCamera::MoveUp(double amount) {
    Theta = std::clamp(Theta + movementSensitivity * amount, -kMaxElevation, kMaxElevation);
    Recompute();
}

void SphericalCamera::ZoomIn(double amount) {
    R -= movementSensitivity * amount;
    const double minimum = std::fabs(movementSensitivity);
    if (R < minimum) {
        R = minimum;
    }
    Recompute();
}

void SphericalCamera::MoveIn(double amount) {
    for (int i = 0; i < 3; ++i) {
        focusPosition[i] += zAxis[i] * amount;
    }
    Recompute();
}

void SphericalCamera::Look() const {
    gluLookAt(cameraPosition[0], cameraPosition[1], cameraPosition[2], focusPosition[0],
              focusPosition[1], focusPosition[2], up[0], up[1], up[2]);
}

void SphericalCamera::SetPosition(double r, double phi, double theta) {
    R = r;
    Phi = phi;
    Theta = theta;
    Recompute();
}

void SphericalCamera::SetFocusPosition(const double focusPosition_[3]) {
    std::copy(focusPosition_, focusPosition_ + 3, focusPosition);
    Recompute();
}

void SphericalCamera::GetFocusPosition(double focusPosition_[3]) const {
    std::copy(focusPosition, focusPosition + 3, focusPosition_);
}

void SphericalCamera::GetAbsWorldPosition(double &x, double &y, double &z) const {
    x = cameraPosition[0];
    y = cameraPosition[1];
    z = cameraPosition[2];
}

void SphericalCamera::SetOrigin(const double origin_[3]) {
    std::copy(origin_, origin_ + 3, origin);
}

void SphericalCamera::GetLocalAxes(double xAxis_[3], double yAxis_[3], double zAxis_[3]) const {
    std::copy(xAxis, xAxis + 3, xAxis_);
    std::copy(yAxis, yAxis + 3, yAxis_);
    std::copy(zAxis, zAxis + 3, zAxis_);
}

void SphericalCamera::SetDefault() {
    R0 = R;
    Phi0 = Phi;
    Theta0 = Theta;
}

void SphericalCamera::Reset() {
    R = R0;
    Phi = Phi0;
    Theta = Theta0;
    Recompute();
}

void SphericalCamera::PushPosition() {
    savedState.R = R;
    savedState.Phi = Phi;
    savedState.Theta = Theta;
    std::copy(focusPosition, focusPosition + 3, savedState.focusPosition);
}

void SphericalCamera::PopPosition() {
    R = savedState.R;
    Phi = savedState.Phi;
    Theta = savedState.Theta;
    std::copy(savedState.focusPosition, savedState.focusPosition + 3, focusPosition);
    Recompute();
}

bool SphericalCamera::SavePosition(const char *filename) const {
    std::FILE *file = std::fopen(filename, "w");
    if (!file) {
        return false;
    }
    int written;
    {
        CLocaleScope cLocale;
        written = std::fprintf(file, "%G %G %G\n", R, Phi, Theta);
    }
    const bool closed = std::fclose(file) == 0;
    return written > 0 && closed;
}

bool SphericalCamera::LoadPosition(const char *filename) {
    std::FILE *file = std::fopen(filename, "r");
    if (!file) {
        std::printf("Warning: file %s does not exist. Camera position not modified.\n", filename);
        std::fflush(stdout);
        Recompute();
        return false;
    }
    double values[3] = {0.0, 0.0, 0.0};
    int read;
    {
        CLocaleScope cLocale;
        read = std::fscanf(file, "%lf %lf %lf", &values[0], &values[1], &values[2]);
    }
    std::fclose(file);
    // A damaged file must not leave the camera half-loaded or at a NaN position.
    const bool valid =
        read == 3 && std::all_of(values, values + 3, [](double v) { return std::isfinite(v); });
    if (valid) {
        R = values[0];
        Phi = values[1];
        Theta = values[2];
    } else {
        std::printf("Warning: file %s is not a camera position. Camera position not modified.\n",
                    filename);
        std::fflush(stdout);
    }
    Recompute();
    return valid;
}

void SphericalCamera::GetStereoPosition(double earSeparation, double &leftEarX, double &leftEarY,
                                        double &leftEarZ, double &rightEarX, double &rightEarY,
                                        double &rightEarZ) const {
    const double half = earSeparation * 0.5;
    leftEarX = cameraPosition[0] - xAxis[0] * half;
    leftEarY = cameraPosition[1] - xAxis[1] * half;
    leftEarZ = cameraPosition[2] - xAxis[2] * half;
    rightEarX = cameraPosition[0] + xAxis[0] * half;
    rightEarY = cameraPosition[1] + xAxis[1] * half;
    rightEarZ = cameraPosition[2] + xAxis[2] * half;
}

void SphericalCamera::DetermineCameraParameters(double centerX, double centerY, double centerZ,
                                                double modelRadius, double *focusX, double *focusY,
                                                double *focusZ, double *cameraRadius, double *zNear,
                                                double *zFar) const {
    *focusX = centerX;
    *focusY = centerY;
    *focusZ = centerZ;
    *cameraRadius = 3.0 * modelRadius;
    *zNear = *cameraRadius * 0.01;
    *zFar = *cameraRadius * 100.0;
}

void SphericalCamera::Get2DAxes(double xAxis2D_[2], double yAxis2D_[2]) const {
    xAxis2D_[0] = xAxis2D[0];
    xAxis2D_[1] = xAxis2D[1];
    yAxis2D_[0] = yAxis2D[0];
    yAxis2D_[1] = yAxis2D[1];
}

void SphericalCamera::CameraVector2WorldVector2D(const double c[3], double w[3]) const {
    CameraVector2WorldVector2D(c[0], c[1], c[2], w);
}

void SphericalCamera::CameraVector2WorldVector2D(double c0, double c1, double c2,
                                                 double w[3]) const {
    const double s = camera2WorldScalingFactor;
    w[0] = s * (xAxis2D[0] * c0 + yAxis2D[0] * c2) + origin[0];
    w[1] = s * c1 + origin[1];
    w[2] = s * (xAxis2D[1] * c0 + yAxis2D[1] * c2) + origin[2];
}

void SphericalCamera::CameraVector2WorldVector_OrientationOnly2D(const double c[3],
                                                                 double w[3]) const {
    CameraVector2WorldVector_OrientationOnly2D(c[0], c[1], c[2], w);
}

void SphericalCamera::CameraVector2WorldVector_OrientationOnly2D(double c0, double c1, double c2,
                                                                 double w[3]) const {
    const double s = camera2WorldScalingFactor;
    w[0] = s * (xAxis2D[0] * c0 + yAxis2D[0] * c2);
    w[1] = s * c1;
    w[2] = s * (xAxis2D[1] * c0 + yAxis2D[1] * c2);
}

void SphericalCamera::CameraVector2WorldVector_OrientationOnly3D(double c0, double c1, double c2,
                                                                 double w[3]) const {
    const double s = camera2WorldScalingFactor;
    for (int i = 0; i < 3; ++i) {
        w[i] = s * (c0 * xAxis[i] + c1 * yAxis[i] + c2 * zAxis[i]);
    }
}

void SphericalCamera::WorldVector2CameraVector_OrientationOnly2D(const double w[3],
                                                                 double c[3]) const {
    WorldVector2CameraVector_OrientationOnly2D(w[0], w[1], w[2], c);
}

void SphericalCamera::WorldVector2CameraVector_OrientationOnly2D(const float w[3],
                                                                 float c[3]) const {
    const float a0 = float(xAxis2D[0]), a1 = float(xAxis2D[1]);
    const float b0 = float(yAxis2D[0]), b1 = float(yAxis2D[1]);
    const float w0 = w[0], w1 = w[1], w2 = w[2];
    c[0] = a0 * w0 + a1 * w2;
    c[1] = w1;
    c[2] = b0 * w0 + b1 * w2;
}

void SphericalCamera::WorldVector2CameraVector_OrientationOnly2D(double w0, double w1, double w2,
                                                                 double c[3]) const {
    c[0] = xAxis2D[0] * w0 + xAxis2D[1] * w2;
    c[1] = w1;
    c[2] = yAxis2D[0] * w0 + yAxis2D[1] * w2;
}

namespace {

// Rotation rule shared by every matrix form: rows 0 and 2 of the camera matrix mix into world rows
// 0 and 2, row 1 is kept. at(row, col) addresses the caller's storage.
template <typename T, typename At>
void rotateRows2D(const T a[2], const T b[2], int columns, At cameraAt, T out[3][4]) {
    for (int j = 0; j < columns; ++j) {
        out[0][j] = a[0] * cameraAt(0, j) + b[0] * cameraAt(2, j);
        out[1][j] = cameraAt(1, j);
        out[2][j] = a[1] * cameraAt(0, j) + b[1] * cameraAt(2, j);
    }
}

} // namespace

void SphericalCamera::CameraRotation2WorldRotation2D(const double C[9], double W[9]) const {
    const double a[2] = {xAxis2D[0], xAxis2D[1]};
    const double b[2] = {yAxis2D[0], yAxis2D[1]};
    double out[3][4];
    rotateRows2D(
        a, b, 3, [C](int r, int c) { return C[r * 3 + c]; }, out);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            W[r * 3 + c] = out[r][c];
        }
    }
}

void SphericalCamera::CameraRotation2WorldRotation2D(const float C[9], float W[9]) const {
    const float a[2] = {float(xAxis2D[0]), float(xAxis2D[1])};
    const float b[2] = {float(yAxis2D[0]), float(yAxis2D[1])};
    float out[3][4];
    rotateRows2D(
        a, b, 3, [C](int r, int c) { return C[r * 3 + c]; }, out);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            W[r * 3 + c] = out[r][c];
        }
    }
}

template <typename T>
void SphericalCamera::transform2D(const T C[16], T W[16], bool columnMajor, bool scaled) const {
    const T a[2] = {T(xAxis2D[0]), T(xAxis2D[1])};
    const T b[2] = {T(yAxis2D[0]), T(yAxis2D[1])};
    const T s = scaled ? T(camera2WorldScalingFactor) : T(1);
    const T o[3] = {T(origin[0]), T(origin[1]), T(origin[2])};
    auto index = [columnMajor](int r, int c) { return columnMajor ? c * 4 + r : r * 4 + c; };

    T out[3][4];
    rotateRows2D(
        a, b, 3, [C, &index](int r, int c) { return C[index(r, c)]; }, out);
    const T t0 = C[index(0, 3)], t1 = C[index(1, 3)], t2 = C[index(2, 3)];
    out[0][3] = s * (a[0] * t0 + b[0] * t2) + o[0];
    out[1][3] = s * t1 + o[1];
    out[2][3] = s * (a[1] * t0 + b[1] * t2) + o[2];

    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            W[index(r, c)] = out[r][c];
        }
    }
    W[index(3, 0)] = T(0);
    W[index(3, 1)] = T(0);
    W[index(3, 2)] = T(0);
    W[index(3, 3)] = T(1);
}

void SphericalCamera::CameraTransform2WorldTransform2D(const double C[16], double W[16]) const {
    transform2D(C, W, false, true);
}

void SphericalCamera::CameraTransform2WorldTransform2D(const float C[16], float W[16]) const {
    transform2D(C, W, false, true);
}

void SphericalCamera::CameraTransform2WorldTransform2D_ColumnMajor(const float C[16],
                                                                   float W[16]) const {
    transform2D(C, W, true, true);
}

void SphericalCamera::CameraTransform2WorldTransform2D_NoScaling_ColumnMajor(const float C[16],
                                                                             float W[16]) const {
    transform2D(C, W, true, false);
}
