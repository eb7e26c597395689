#ifndef KARVENO_VIEW_CAMERA_H
#define KARVENO_VIEW_CAMERA_H

// The viewpoint of the 3D view: a camera on a sphere of radius R around a focus point, placed by an
// azimuth Phi and an elevation Theta (radians, y is up) and always looking at the focus.
//
// The class is plain arithmetic; only Look() touches OpenGL. Every change of R, Phi, Theta or the
// focus recomputes the camera position and then its local frame.
class SphericalCamera {
public:
    // Theta is kept within +-89 degrees by MoveUp so that the look-at never degenerates.
    static constexpr double kMaxElevation = 1.5533430342749535;

    SphericalCamera(double R, double Phi, double Theta, const double focusPosition_[3],
                    const double up_[3], double movementSensitivity_,
                    double camera2WorldScalingFactor_);

    // Movement steps; each amount is multiplied by the movement sensitivity.
    void MoveRight(double amount); // azimuth, unbounded
    void MoveUp(double amount);    // elevation, clamped to +-kMaxElevation
    void ZoomIn(double amount);    // radius, never below |movementSensitivity|
    void MoveIn(double amount);    // slides the focus along the viewing axis

    // Multiplies the current OpenGL matrix by the viewing transformation; load the identity first.
    void Look() const;

    // These apply no limits.
    void SetPosition(double r, double phi, double theta);
    void SetFocusPosition(const double focusPosition_[3]);
    void GetFocusPosition(double focusPosition_[3]) const;
    void GetAbsWorldPosition(double &x, double &y, double &z) const;

    double GetRadius() const { return R; }
    double GetPhi() const { return Phi; }
    double GetTheta() const { return Theta; }
    double GetCamera2WorldScalingFactor() const { return camera2WorldScalingFactor; }
    void SetCamera2WorldScalingFactor(double value) { camera2WorldScalingFactor = value; }
    void SetOrigin(const double origin_[3]);

    // The camera's right, up and backward directions in world coordinates (unit length).
    void GetLocalAxes(double xAxis_[3], double yAxis_[3], double zAxis_[3]) const;

    void SetDefault();
    void Reset();

    // One saved level: a second push overwrites the first.
    void PushPosition();
    void PopPosition();

    // One line "R Phi Theta". The file always uses '.' as decimal separator, whatever the locale.
    // SavePosition returns false when the file cannot be written; LoadPosition returns false and
    // keeps the current position when the file is missing or does not hold three finite numbers.
    bool SavePosition(const char *filename) const;
    bool LoadPosition(const char *filename);

    // Two eyes earSeparation apart, centred on the camera along its right axis.
    void GetStereoPosition(double earSeparation, double &leftEarX, double &leftEarY,
                           double &leftEarZ, double &rightEarX, double &rightEarY,
                           double &rightEarZ) const;

    // Camera set-up that frames a sphere of modelRadius around the centre; changes no member.
    void DetermineCameraParameters(double centerX, double centerY, double centerZ,
                                   double modelRadius, double *focusX, double *focusY,
                                   double *focusZ, double *cameraRadius, double *zNear,
                                   double *zFar) const;

    // Conversions between the camera's horizontal frame and the world. The "2D" forms rotate about
    // the vertical axis only: camera components 0 and 2 map onto world x and z, component 1 onto
    // world y. Matrices are row-major unless the name says otherwise. Input and output may be the
    // same array.
    void Get2DAxes(double xAxis2D_[2], double yAxis2D_[2]) const;
    void CameraVector2WorldVector2D(const double c[3], double w[3]) const;
    void CameraVector2WorldVector2D(double c0, double c1, double c2, double w[3]) const;
    void CameraVector2WorldVector_OrientationOnly2D(const double c[3], double w[3]) const;
    void CameraVector2WorldVector_OrientationOnly2D(double c0, double c1, double c2,
                                                    double w[3]) const;
    void CameraVector2WorldVector_OrientationOnly3D(double c0, double c1, double c2,
                                                    double w[3]) const;
    void WorldVector2CameraVector_OrientationOnly2D(const double w[3], double c[3]) const;
    void WorldVector2CameraVector_OrientationOnly2D(const float w[3], float c[3]) const;
    void WorldVector2CameraVector_OrientationOnly2D(double w0, double w1, double w2,
                                                    double c[3]) const;
    void CameraRotation2WorldRotation2D(const double C[9], double W[9]) const;
    void CameraRotation2WorldRotation2D(const float C[9], float W[9]) const;
    void CameraTransform2WorldTransform2D(const double C[16], double W[16]) const;
    void CameraTransform2WorldTransform2D(const float C[16], float W[16]) const;
    void CameraTransform2WorldTransform2D_ColumnMajor(const float C[16], float W[16]) const;
    void CameraTransform2WorldTransform2D_NoScaling_ColumnMajor(const float C[16],
                                                                float W[16]) const;

private:
    struct State {
        double R = 0.0;
        double Phi = 0.0;
        double Theta = 0.0;
        double focusPosition[3] = {0.0, 0.0, 0.0};
    };

    void ComputeCameraPosition();
    void ComputeLocalCoordinateSystem();
    void Recompute();
    // Divides v by its length (stored in normaLength007); a zero vector stays zero.
    void Normalize(double v[3]);
    template <typename T>
    void transform2D(const T C[16], T W[16], bool columnMajor, bool scaled) const;

    double R0, Phi0, Theta0;
    double focusPosition[3];
    double up[3];
    double cameraPosition[3] = {0.0, 0.0, 0.0};
    double R = 0.0, Phi = 0.0, Theta = 0.0;
    double normaLength007 = 0.0;
    double xAxis[3] = {1.0, 0.0, 0.0};
    double yAxis[3] = {0.0, 1.0, 0.0};
    double zAxis[3] = {0.0, 0.0, 1.0};
    double xAxis2D[3] = {1.0, 0.0, 0.0};
    double yAxis2D[3] = {0.0, 1.0, 0.0};
    double movementSensitivity;
    double camera2WorldScalingFactor;
    double origin[3] = {0.0, 0.0, 0.0};
    State savedState;
};

#endif
