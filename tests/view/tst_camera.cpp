#include "view/camera.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const double kPi = std::acos(-1.0);
const double kOrigin[3] = {0.0, 0.0, 0.0};
const double kUp[3] = {0.0, 1.0, 0.0};

// The camera a new view starts with.
SphericalCamera viewCamera(double sensitivity = 1.0) {
    return SphericalCamera(10.0, -kPi / 4, kPi / 4, kOrigin, kUp, sensitivity, 1.0);
}

double dot(const double a[3], const double b[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

bool near3(const double a[3], const double b[3], double eps = 1e-12) {
    return std::fabs(a[0] - b[0]) <= eps && std::fabs(a[1] - b[1]) <= eps &&
           std::fabs(a[2] - b[2]) <= eps;
}

std::array<double, 3> position(const SphericalCamera &cam) {
    std::array<double, 3> p;
    cam.GetAbsWorldPosition(p[0], p[1], p[2]);
    return p;
}

} // namespace

class TestCamera : public QObject {
    Q_OBJECT

private slots:
    void startsAboveThePositiveQuadrant();
    void localFrameIsOrthonormalAndPointsAtTheCamera_data();
    void localFrameIsOrthonormalAndPointsAtTheCamera();
    void elevationIsClampedAtEightyNineDegrees_data();
    void elevationIsClampedAtEightyNineDegrees();
    void zoomNeverReachesTheFocus_data();
    void zoomNeverReachesTheFocus();
    void fullTurnReturnsToTheSamePlace();
    void cameraFollowsItsFocus();
    void pushPopKeepsOneLevel();
    void positionFileRoundTrips();
    void missingOrDamagedPositionFileLeavesCameraAlone_data();
    void missingOrDamagedPositionFileLeavesCameraAlone();
    void horizontalConversionsAreInverse();
    void transformFormsAgree();
};

void TestCamera::startsAboveThePositiveQuadrant() {
    const double expected[3] = {5.0, 7.0710678118654755, 5.0};
    QVERIFY(near3(position(viewCamera()).data(), expected));
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
    double x[3], y[3], z[3];
    cam.GetLocalAxes(x, y, z);
    const auto p = position(cam);

    const double unit[3] = {dot(x, x), dot(y, y), dot(z, z)};
    const double ones[3] = {1.0, 1.0, 1.0};
    const double products[3] = {dot(x, y), dot(x, z), dot(y, z)};
    QVERIFY(near3(unit, ones));
    QVERIFY(near3(products, kOrigin));
    // z runs from the focus to the camera, x is horizontal, y leans towards world up, and the
    // frame is right-handed.
    const double toCamera[3] = {p[0] - focus[0], p[1] - focus[1], p[2] - focus[2]};
    QVERIFY(std::fabs(dot(z, toCamera) - 7.0) < 1e-12);
    QVERIFY(std::fabs(x[1]) < 1e-15);
    QVERIFY(y[1] > 0.0);
    const double cross[3] = {x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2],
                             x[0] * y[1] - x[1] * y[0]};
    QVERIFY(near3(cross, z));
}

void TestCamera::elevationIsClampedAtEightyNineDegrees_data() {
    QTest::addColumn<double>("amount");
    QTest::addColumn<double>("expected");
    QTest::newRow("far up") << 100.0 << 1.5533430342749535;
    QTest::newRow("far down") << -100.0 << -1.5533430342749535;
    QTest::newRow("small step") << 0.05 << kPi / 4 + 0.05;
}

void TestCamera::elevationIsClampedAtEightyNineDegrees() {
    QFETCH(double, amount);
    QFETCH(double, expected);
    SphericalCamera cam = viewCamera();
    cam.MoveUp(amount);
    QCOMPARE(cam.GetTheta(), expected);
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
    SphericalCamera cam = viewCamera(sensitivity);
    cam.ZoomIn(amount);
    QVERIFY(std::fabs(cam.GetRadius() - expected) < 1e-9);
    const auto p = position(cam);
    QVERIFY(std::fabs(std::sqrt(dot(p.data(), p.data())) - expected) < 1e-9);
}

void TestCamera::fullTurnReturnsToTheSamePlace() {
    SphericalCamera cam = viewCamera();
    const auto before = position(cam);
    cam.MoveRight(2 * kPi);
    QVERIFY(near3(position(cam).data(), before.data()));
    // A quarter turn towards negative azimuth carries it from the +x+z quadrant to -x+z.
    cam.MoveRight(-kPi / 2);
    const double expected[3] = {-5.0, before[1], 5.0};
    QVERIFY(near3(position(cam).data(), expected));
}

void TestCamera::cameraFollowsItsFocus() {
    SphericalCamera cam = viewCamera();
    const double focus[3] = {10.0, 20.0, -30.0};
    cam.SetFocusPosition(focus);
    const double expected[3] = {15.0, 27.0710678118654755, -25.0};
    QVERIFY(near3(position(cam).data(), expected));
    QCOMPARE(cam.GetRadius(), 10.0);

    // Sliding the focus along the viewing axis carries the camera with it.
    double x[3], y[3], z[3];
    cam.GetLocalAxes(x, y, z);
    cam.MoveIn(2.0);
    const double moved[3] = {15.0 + 2 * z[0], 27.0710678118654755 + 2 * z[1], -25.0 + 2 * z[2]};
    QVERIFY(near3(position(cam).data(), moved));
}

void TestCamera::pushPopKeepsOneLevel() {
    SphericalCamera cam = viewCamera();
    cam.PushPosition();
    const double focus[3] = {1.0, 2.0, 3.0};
    cam.SetPosition(3.0, 0.5, 0.25);
    cam.SetFocusPosition(focus);
    cam.PushPosition(); // overwrites the first
    const auto saved = position(cam);
    const double elsewhere[3] = {-9.0, -9.0, -9.0};
    cam.SetPosition(50.0, -1.0, -1.0);
    cam.SetFocusPosition(elsewhere);

    cam.PopPosition();
    QCOMPARE(cam.GetRadius(), 3.0);
    QCOMPARE(cam.GetTheta(), 0.25);
    QVERIFY(near3(position(cam).data(), saved.data())); // position recomputed with the focus
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
    QCOMPARE(other.GetTheta(), 1.0e-7);
    QVERIFY(near3(position(other).data(), position(cam).data()));

    QVERIFY(!cam.SavePosition(dir.filePath("missing/dir/camera.txt").toLocal8Bit().constData()));
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

void TestCamera::horizontalConversionsAreInverse() {
    SphericalCamera cam(10.0, 0.7, 0.3, kOrigin, kUp, 1.0, 1.0);
    const double world[3] = {1.5, -2.0, 4.0};
    double camera[3], back[3];
    cam.WorldVector2CameraVector_OrientationOnly2D(world, camera);
    cam.CameraVector2WorldVector_OrientationOnly2D(camera, back);
    QVERIFY(near3(back, world));

    // Positions are scaled and shifted by the origin; directions are only scaled.
    const double origin[3] = {10.0, 20.0, 30.0};
    cam.SetOrigin(origin);
    cam.SetCamera2WorldScalingFactor(2.0);
    double pos[3], dir[3];
    cam.CameraVector2WorldVector2D(camera, pos);
    cam.CameraVector2WorldVector_OrientationOnly2D(camera[0], camera[1], camera[2], dir);
    const double scaled[3] = {3.0, -4.0, 8.0};
    const double shifted[3] = {13.0, 16.0, 38.0};
    QVERIFY(near3(dir, scaled));
    QVERIFY(near3(pos, shifted));
}

void TestCamera::transformFormsAgree() {
    SphericalCamera cam(10.0, -1.1, 0.4, kOrigin, kUp, 1.0, 3.0);
    const double origin[3] = {1.0, -2.0, 0.5};
    cam.SetOrigin(origin);
    double C[16];
    for (int i = 0; i < 12; ++i) {
        C[i] = 0.25 * i - 1.0;
    }
    C[12] = C[13] = C[14] = 0.0;
    C[15] = 1.0;

    // The translation column moves like a position.
    double W[16], pos[3];
    cam.CameraTransform2WorldTransform2D(C, W);
    cam.CameraVector2WorldVector2D(C[3], C[7], C[11], pos);
    const double translation[3] = {W[3], W[7], W[11]};
    QVERIFY(near3(translation, pos));
    QCOMPARE(W[15], 1.0);

    // Row-major, column-major and in-place forms give the same matrix.
    float rowMajor[16], columnMajor[16], fromRows[16], fromColumns[16];
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            rowMajor[r * 4 + c] = float(C[r * 4 + c]);
            columnMajor[c * 4 + r] = float(C[r * 4 + c]);
        }
    }
    cam.CameraTransform2WorldTransform2D(rowMajor, fromRows);
    std::copy(columnMajor, columnMajor + 16, fromColumns);
    cam.CameraTransform2WorldTransform2D_ColumnMajor(fromColumns, fromColumns);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            QVERIFY(std::fabs(fromRows[r * 4 + c] - W[r * 4 + c]) < 1e-4);
            QCOMPARE(fromColumns[c * 4 + r], fromRows[r * 4 + c]);
        }
    }

    // Without scaling the translation keeps the origin shift but not the factor.
    float noScale[16], unitScale[16];
    cam.CameraTransform2WorldTransform2D_NoScaling_ColumnMajor(columnMajor, noScale);
    cam.SetCamera2WorldScalingFactor(1.0);
    cam.CameraTransform2WorldTransform2D_ColumnMajor(columnMajor, unitScale);
    QVERIFY(std::equal(noScale, noScale + 16, unitScale));
}

QTEST_APPLESS_MAIN(TestCamera)
#include "tst_camera.moc"
