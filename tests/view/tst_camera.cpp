#include "view/camera.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <clocale>
#include <cmath>

namespace {

const double kPi = std::acos(-1.0);
const double kOrigin[3] = {0.0, 0.0, 0.0};
const double kUp[3] = {0.0, 1.0, 0.0};

// The camera a new view starts with.
SphericalCamera viewCamera() {
    return SphericalCamera(10.0, -kPi / 4, kPi / 4, kOrigin, kUp, 1.0, 1.0);
}

void position(const SphericalCamera &cam, double p[3]) {
    cam.GetAbsWorldPosition(p[0], p[1], p[2]);
}

double dot(const double a[3], const double b[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

bool near(double a, double b, double eps = 1e-9) {
    return std::fabs(a - b) <= eps;
}

} // namespace

class TestCamera : public QObject {
    Q_OBJECT

private slots:
    void startsAboveThePositiveQuadrantLookingAtTheFocus();
    void localFrameIsOrthonormalAndPointsAtTheCamera_data();
    void localFrameIsOrthonormalAndPointsAtTheCamera();
    void elevationIsClampedAtEightyNineDegrees_data();
    void elevationIsClampedAtEightyNineDegrees();
    void zoomNeverReachesTheFocus_data();
    void zoomNeverReachesTheFocus();
    void fullTurnReturnsToTheSamePlace();
    void cameraFollowsItsFocus();
    void moveInSlidesFocusAndCameraTogether();
    void pushPopKeepsOneLevel();
    void resetRestoresDefaults();
    void positionFileRoundTrips();
    void positionFileUsesPointWhateverTheLocale();
    void missingOrDamagedPositionFileLeavesCameraAlone_data();
    void missingOrDamagedPositionFileLeavesCameraAlone();
    void stereoEarsStraddleTheCamera();
    void framingAModel();
    void horizontalConversionsAreInverse();
    void transformFormsAgree();
};

void TestCamera::startsAboveThePositiveQuadrantLookingAtTheFocus() {
    const SphericalCamera cam = viewCamera();
    double p[3];
    position(cam, p);
    QVERIFY(near(p[0], 5.0, 1e-12));
    QVERIFY(near(p[1], 7.0710678118654755, 1e-12));
    QVERIFY(near(p[2], 5.0, 1e-12));
    QCOMPARE(cam.GetRadius(), 10.0);
}

void TestCamera::localFrameIsOrthonormalAndPointsAtTheCamera_data() {
    QTest::addColumn<double>("phi");
    QTest::addColumn<double>("theta");
    QTest::newRow("default") << -kPi / 4 << kPi / 4;
    QTest::newRow("level") << 0.3 << 0.0;
    QTest::newRow("below") << 2.5 << -1.2;
    QTest::newRow("near pole") << -3.0 << 1.55;
}

void TestCamera::localFrameIsOrthonormalAndPointsAtTheCamera() {
    QFETCH(double, phi);
    QFETCH(double, theta);
    const double focus[3] = {1.0, -2.0, 3.0};
    SphericalCamera cam(7.0, phi, theta, focus, kUp, 1.0, 1.0);
    double x[3], y[3], z[3], p[3];
    cam.GetLocalAxes(x, y, z);
    position(cam, p);

    for (const double *v : {x, y, z}) {
        QVERIFY(near(dot(v, v), 1.0, 1e-12));
    }
    QVERIFY(near(dot(x, y), 0.0, 1e-12));
    QVERIFY(near(dot(x, z), 0.0, 1e-12));
    QVERIFY(near(dot(y, z), 0.0, 1e-12));
    // z runs from the focus to the camera, x is horizontal, y leans towards world up.
    const double toCamera[3] = {p[0] - focus[0], p[1] - focus[1], p[2] - focus[2]};
    QVERIFY(near(dot(z, toCamera), 7.0, 1e-12));
    QVERIFY(near(x[1], 0.0, 1e-15));
    QVERIFY(y[1] > 0.0);
    // Right-handed: right x up = backward.
    const double cross[3] = {x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2],
                             x[0] * y[1] - x[1] * y[0]};
    QVERIFY(near(dot(cross, z), 1.0, 1e-12));
}

void TestCamera::elevationIsClampedAtEightyNineDegrees_data() {
    QTest::addColumn<double>("amount");
    QTest::addColumn<double>("expected");
    QTest::newRow("far up") << 100.0 << SphericalCamera::kMaxElevation;
    QTest::newRow("far down") << -100.0 << -SphericalCamera::kMaxElevation;
    QTest::newRow("small step") << 0.05 << kPi / 4 + 0.05;
}

void TestCamera::elevationIsClampedAtEightyNineDegrees() {
    QFETCH(double, amount);
    QFETCH(double, expected);
    SphericalCamera cam = viewCamera();
    cam.MoveUp(amount);
    QCOMPARE(cam.GetTheta(), expected);
    QCOMPARE(SphericalCamera::kMaxElevation, 1.5533430342749535);
}

void TestCamera::zoomNeverReachesTheFocus_data() {
    QTest::addColumn<double>("sensitivity");
    QTest::addColumn<double>("amount");
    QTest::addColumn<double>("expected");
    QTest::newRow("beyond the radius") << 1.0 << 36.0 << 1.0;
    QTest::newRow("exactly the radius") << 1.0 << 10.0 << 1.0;
    QTest::newRow("negative sensitivity") << -2.0 << -50.0 << 2.0;
    QTest::newRow("zoom out has no limit") << 1.0 << -1.0e6 << 1.0e6 + 10.0;
    QTest::newRow("ordinary step") << 1.0 << 1.2 << 8.8;
}

void TestCamera::zoomNeverReachesTheFocus() {
    QFETCH(double, sensitivity);
    QFETCH(double, amount);
    QFETCH(double, expected);
    SphericalCamera cam(10.0, -kPi / 4, kPi / 4, kOrigin, kUp, sensitivity, 1.0);
    cam.ZoomIn(amount);
    QVERIFY(near(cam.GetRadius(), expected, 1e-9));
    double p[3];
    position(cam, p);
    QVERIFY(near(std::sqrt(dot(p, p)), expected, 1e-9));
}

void TestCamera::fullTurnReturnsToTheSamePlace() {
    SphericalCamera cam = viewCamera();
    double before[3], after[3];
    position(cam, before);
    cam.MoveRight(2 * kPi);
    position(cam, after);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(near(before[i], after[i], 1e-12));
    }
    // A quarter turn towards negative azimuth carries the camera from the +x+z quadrant to -x+z.
    cam.MoveRight(-kPi / 2);
    position(cam, after);
    QVERIFY(near(after[0], -5.0, 1e-12));
    QVERIFY(near(after[2], 5.0, 1e-12));
}

void TestCamera::cameraFollowsItsFocus() {
    SphericalCamera cam = viewCamera();
    const double focus[3] = {10.0, 20.0, -30.0};
    cam.SetFocusPosition(focus);
    double p[3], f[3];
    position(cam, p);
    cam.GetFocusPosition(f);
    QCOMPARE(cam.GetRadius(), 10.0);
    QCOMPARE(cam.GetPhi(), -kPi / 4);
    QVERIFY(near(p[0], 15.0, 1e-12));
    QVERIFY(near(p[1], 27.0710678118654755, 1e-12));
    QVERIFY(near(p[2], -25.0, 1e-12));
    QCOMPARE(f[2], -30.0);
}

void TestCamera::moveInSlidesFocusAndCameraTogether() {
    SphericalCamera cam = viewCamera();
    double x[3], y[3], z[3], before[3], after[3], f[3];
    cam.GetLocalAxes(x, y, z);
    position(cam, before);
    cam.MoveIn(2.0);
    position(cam, after);
    cam.GetFocusPosition(f);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(near(f[i], 2.0 * z[i], 1e-12));
        QVERIFY(near(after[i] - before[i], 2.0 * z[i], 1e-12));
    }
}

void TestCamera::pushPopKeepsOneLevel() {
    SphericalCamera cam = viewCamera();
    cam.PushPosition();
    cam.SetPosition(3.0, 0.5, 0.25);
    const double focus[3] = {1.0, 2.0, 3.0};
    cam.SetFocusPosition(focus);
    cam.PushPosition();
    cam.SetPosition(50.0, -1.0, -1.0);
    const double elsewhere[3] = {-9.0, -9.0, -9.0};
    cam.SetFocusPosition(elsewhere);

    cam.PopPosition();
    double f[3], p[3];
    cam.GetFocusPosition(f);
    position(cam, p);
    QCOMPARE(cam.GetRadius(), 3.0);
    QCOMPARE(cam.GetPhi(), 0.5);
    QCOMPARE(cam.GetTheta(), 0.25);
    QCOMPARE(f[1], 2.0);
    QVERIFY(near(p[1], 2.0 + 3.0 * std::sin(0.25), 1e-12)); // position recomputed too
}

void TestCamera::resetRestoresDefaults() {
    SphericalCamera cam = viewCamera();
    cam.SetPosition(4.0, 1.0, 0.5);
    cam.SetDefault();
    cam.ZoomIn(2.0);
    cam.MoveRight(1.0);
    cam.Reset();
    QCOMPARE(cam.GetRadius(), 4.0);
    QCOMPARE(cam.GetPhi(), 1.0);
    QCOMPARE(cam.GetTheta(), 0.5);
}

void TestCamera::positionFileRoundTrips() {
    QTemporaryDir dir;
    const QByteArray file = dir.filePath("camera.txt").toLocal8Bit();
    SphericalCamera cam = viewCamera();
    cam.SetPosition(12.5, -0.25, 1.0e-7);
    QVERIFY(cam.SavePosition(file.constData()));

    QFile written(QString::fromLocal8Bit(file));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("12.5 -0.25 1E-07\n"));

    SphericalCamera other = viewCamera();
    QVERIFY(other.LoadPosition(file.constData()));
    QCOMPARE(other.GetRadius(), 12.5);
    QCOMPARE(other.GetPhi(), -0.25);
    QCOMPARE(other.GetTheta(), 1.0e-7);
    double p[3];
    position(other, p);
    QVERIFY(near(p[0], 12.5 * std::cos(-0.25) * std::cos(1.0e-7), 1e-12));

    QVERIFY(!cam.SavePosition(dir.filePath("missing/dir/camera.txt").toLocal8Bit().constData()));
}

void TestCamera::positionFileUsesPointWhateverTheLocale() {
    const char *candidates[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "fr_FR"};
    const char *chosen = nullptr;
    for (const char *name : candidates) {
        if (std::setlocale(LC_NUMERIC, name)) {
            chosen = name;
            break;
        }
    }
    if (!chosen) {
        QSKIP("no locale with a decimal comma is installed");
    }
    QTemporaryDir dir;
    const QByteArray file = dir.filePath("camera.txt").toLocal8Bit();
    SphericalCamera cam = viewCamera();
    cam.SetPosition(2.5, 0.5, 0.125);
    const bool saved = cam.SavePosition(file.constData());
    SphericalCamera other = viewCamera();
    const bool loaded = other.LoadPosition(file.constData());
    std::setlocale(LC_NUMERIC, "C");
    QVERIFY(saved && loaded);
    QFile written(QString::fromLocal8Bit(file));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("2.5 0.5 0.125\n"));
    QCOMPARE(other.GetRadius(), 2.5);
}

void TestCamera::missingOrDamagedPositionFileLeavesCameraAlone_data() {
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::newRow("missing file") << QByteArray();
    QTest::newRow("too few numbers") << QByteArray("3.5 1\n");
    QTest::newRow("not numbers") << QByteArray("radius phi theta\n");
    QTest::newRow("not finite") << QByteArray("nan 0 0\n");
}

void TestCamera::missingOrDamagedPositionFileLeavesCameraAlone() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath("camera.txt");
    if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    SphericalCamera cam = viewCamera();
    cam.SetPosition(6.0, 0.1, 0.2);
    QVERIFY(!cam.LoadPosition(path.toLocal8Bit().constData()));
    QCOMPARE(cam.GetRadius(), 6.0);
    QCOMPARE(cam.GetPhi(), 0.1);
    QCOMPARE(cam.GetTheta(), 0.2);
}

void TestCamera::stereoEarsStraddleTheCamera() {
    const SphericalCamera cam = viewCamera();
    double l[3], r[3], p[3], x[3], y[3], z[3];
    cam.GetStereoPosition(0.4, l[0], l[1], l[2], r[0], r[1], r[2]);
    position(cam, p);
    cam.GetLocalAxes(x, y, z);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(near((l[i] + r[i]) / 2, p[i], 1e-12));
        QVERIFY(near(r[i] - l[i], 0.4 * x[i], 1e-12));
    }
}

void TestCamera::framingAModel() {
    const SphericalCamera cam = viewCamera();
    double fx, fy, fz, radius, zNear, zFar;
    cam.DetermineCameraParameters(1.0, 2.0, 3.0, 5.0, &fx, &fy, &fz, &radius, &zNear, &zFar);
    QCOMPARE(fx, 1.0);
    QCOMPARE(fz, 3.0);
    QCOMPARE(radius, 15.0);
    QCOMPARE(zNear, 0.15);
    QCOMPARE(zFar, 1500.0);
    QCOMPARE(cam.GetRadius(), 10.0);
}

void TestCamera::horizontalConversionsAreInverse() {
    SphericalCamera cam(10.0, 0.7, 0.3, kOrigin, kUp, 1.0, 1.0);
    const double world[3] = {1.5, -2.0, 4.0};
    double camera[3], back[3];
    cam.WorldVector2CameraVector_OrientationOnly2D(world, camera);
    cam.CameraVector2WorldVector_OrientationOnly2D(camera, back);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(near(back[i], world[i], 1e-12));
    }
    // The float form gives the same answer to float precision.
    const float worldF[3] = {1.5f, -2.0f, 4.0f};
    float cameraF[3];
    cam.WorldVector2CameraVector_OrientationOnly2D(worldF, cameraF);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(near(cameraF[i], camera[i], 1e-5));
    }

    // Positions are scaled and shifted; directions are only scaled.
    const double origin[3] = {10.0, 20.0, 30.0};
    cam.SetOrigin(origin);
    cam.SetCamera2WorldScalingFactor(2.0);
    double pos[3], dir[3];
    cam.CameraVector2WorldVector2D(camera, pos);
    cam.CameraVector2WorldVector_OrientationOnly2D(camera[0], camera[1], camera[2], dir);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(near(dir[i], 2.0 * world[i], 1e-12));
        QVERIFY(near(pos[i], 2.0 * world[i] + origin[i], 1e-12));
    }

    // The 3D form maps the camera's own axes onto themselves.
    double x[3], y[3], z[3], w[3];
    cam.GetLocalAxes(x, y, z);
    cam.CameraVector2WorldVector_OrientationOnly3D(0.0, 0.0, 1.0, w);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(near(w[i], 2.0 * z[i], 1e-12));
    }
}

void TestCamera::transformFormsAgree() {
    SphericalCamera cam(10.0, -1.1, 0.4, kOrigin, kUp, 1.0, 3.0);
    const double origin[3] = {1.0, -2.0, 0.5};
    cam.SetOrigin(origin);

    double C[16];
    for (int i = 0; i < 16; ++i) {
        C[i] = 0.25 * i - 1.0;
    }
    C[12] = C[13] = C[14] = 0.0;
    C[15] = 1.0;
    double W[16];
    cam.CameraTransform2WorldTransform2D(C, W);

    // The translation column moves like a position, the rotation like three directions.
    double pos[3];
    cam.CameraVector2WorldVector2D(C[3], C[7], C[11], pos);
    QVERIFY(near(W[3], pos[0], 1e-12));
    QVERIFY(near(W[7], pos[1], 1e-12));
    QVERIFY(near(W[11], pos[2], 1e-12));
    double R[9], RW[9];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            R[r * 3 + c] = C[r * 4 + c];
        }
    }
    cam.CameraRotation2WorldRotation2D(R, RW);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            QVERIFY(near(W[r * 4 + c], RW[r * 3 + c], 1e-12));
        }
    }
    QCOMPARE(W[12], 0.0);
    QCOMPARE(W[15], 1.0);

    // Float row-major, float column-major and in-place conversion give the same matrix.
    float Cf[16], Wf[16], Ccm[16], Wcm[16], inPlace[16];
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            Cf[r * 4 + c] = float(C[r * 4 + c]);
            Ccm[c * 4 + r] = float(C[r * 4 + c]);
        }
    }
    cam.CameraTransform2WorldTransform2D(Cf, Wf);
    cam.CameraTransform2WorldTransform2D_ColumnMajor(Ccm, Wcm);
    std::copy(Ccm, Ccm + 16, inPlace);
    cam.CameraTransform2WorldTransform2D_ColumnMajor(inPlace, inPlace);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            QVERIFY(near(Wf[r * 4 + c], W[r * 4 + c], 1e-4));
            QCOMPARE(Wcm[c * 4 + r], Wf[r * 4 + c]);
            QCOMPARE(inPlace[c * 4 + r], Wf[r * 4 + c]);
        }
    }

    // Without scaling only the translation changes: it keeps the origin but not the factor.
    float noScale[16];
    cam.CameraTransform2WorldTransform2D_NoScaling_ColumnMajor(Ccm, noScale);
    cam.SetCamera2WorldScalingFactor(1.0);
    float unit[16];
    cam.CameraTransform2WorldTransform2D_ColumnMajor(Ccm, unit);
    for (int i = 0; i < 16; ++i) {
        QCOMPARE(noScale[i], unit[i]);
    }
}

QTEST_APPLESS_MAIN(TestCamera)
#include "tst_camera.moc"
