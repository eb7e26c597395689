#include "view/camera.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cmath>

namespace {

using Vec = std::array<double, 3>;

const double kPi = std::acos(-1.0);
const double kOrigin[3] = {0.0, 0.0, 0.0};
const double kUp[3] = {0.0, 1.0, 0.0};

// The camera a new view starts with.
SphericalCamera viewCamera(double sensitivity = 1.0) {
    return SphericalCamera(10.0, -kPi / 4, kPi / 4, kOrigin, kUp, sensitivity, 1.0);
}

double dot(const Vec &a, const Vec &b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

bool near3(const Vec &a, const Vec &b, double eps = 1e-12) {
    return std::fabs(a[0] - b[0]) <= eps && std::fabs(a[1] - b[1]) <= eps &&
           std::fabs(a[2] - b[2]) <= eps;
}

Vec position(const SphericalCamera &cam) {
    Vec p;
    cam.GetAbsWorldPosition(p[0], p[1], p[2]);
    return p;
}

} // namespace

class TestCamera : public QObject {
    Q_OBJECT

private slots:
    void localFrameIsRightHandedAndPointsAtTheCamera_data() {
        QTest::addColumn<double>("phi");
        QTest::addColumn<double>("theta");
        QTest::newRow("default") << -kPi / 4 << kPi / 4;
        QTest::newRow("level") << 0.3 << 0.0;
        QTest::newRow("below") << 2.5 << -1.2;
        QTest::newRow("near pole") << -3.0 << 1.55;
    }
    void localFrameIsRightHandedAndPointsAtTheCamera() {
        QFETCH(double, phi);
        QFETCH(double, theta);
        const Vec focus = {1.0, -2.0, 3.0};
        SphericalCamera cam(7.0, phi, theta, focus.data(), kUp, 1.0, 1.0);
        Vec x, y, z;
        cam.GetLocalAxes(x.data(), y.data(), z.data());
        const Vec p = position(cam);
        QVERIFY(near3({dot(x, x), dot(y, y), dot(z, z)}, {1, 1, 1}));
        QVERIFY(near3({dot(x, y), dot(x, z), dot(y, z)}, {0, 0, 0}));
        // z runs from the focus to the camera, x is horizontal, y leans towards world up.
        QVERIFY(std::fabs(dot(z, {p[0] - focus[0], p[1] - focus[1], p[2] - focus[2]}) - 7.0) <
                1e-12);
        QVERIFY(std::fabs(x[1]) < 1e-15 && y[1] > 0.0);
        QVERIFY(near3(
            {x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2], x[0] * y[1] - x[1] * y[0]}, z));
    }

    void movesStayWithinTheirLimits_data() {
        QTest::addColumn<double>("sensitivity");
        QTest::addColumn<double>("up");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<double>("theta");
        QTest::addColumn<double>("radius");
        const double maxTheta = 89 * kPi / 180;
        QTest::newRow("small steps") << 1.0 << 0.05 << 1.2 << kPi / 4 + 0.05 << 8.8;
        QTest::newRow("far up, beyond the focus") << 1.0 << 100.0 << 36.0 << maxTheta << 1.0;
        QTest::newRow("far down, exactly the radius") << 1.0 << -100.0 << 10.0 << -maxTheta << 1.0;
        QTest::newRow("negative sensitivity") << -2.0 << 0.0 << -50.0 << kPi / 4 << 2.0;
        QTest::newRow("zoom out has no limit") << 1.0 << 0.0 << -1.0e6 << kPi / 4 << 1.0e6 + 10.0;
    }
    void movesStayWithinTheirLimits() {
        // Elevation stops at 89 degrees; zooming in stops at a radius of |sensitivity|.
        QFETCH(double, sensitivity);
        QFETCH(double, up);
        QFETCH(double, zoom);
        QFETCH(double, theta);
        QFETCH(double, radius);
        SphericalCamera cam = viewCamera(sensitivity);
        cam.MoveUp(up / sensitivity);
        cam.ZoomIn(zoom);
        QVERIFY(std::fabs(cam.GetTheta() - theta) < 1e-12);
        QVERIFY(std::fabs(cam.GetRadius() - radius) < 1e-9);
        const Vec p = position(cam);
        QVERIFY(std::fabs(std::sqrt(dot(p, p)) - radius) < 1e-9);
    }

    void turnsAndFocusMovesCarryTheCamera() {
        SphericalCamera cam = viewCamera();
        const double h = 7.0710678118654755; // 10 sin 45 degrees
        QVERIFY(near3(position(cam), {5.0, h, 5.0}));
        cam.MoveRight(2 * kPi);
        QVERIFY(near3(position(cam), {5.0, h, 5.0}));
        cam.MoveRight(-kPi / 2); // from the +x+z quadrant to -x+z
        QVERIFY(near3(position(cam), {-5.0, h, 5.0}));

        const double focus[3] = {10.0, 20.0, -30.0};
        cam.SetFocusPosition(focus);
        QVERIFY(near3(position(cam), {5.0, 20 + h, -25.0}));
        Vec x, y, z;
        cam.GetLocalAxes(x.data(), y.data(), z.data());
        cam.MoveIn(2.0); // slides focus and camera along the viewing axis
        QVERIFY(near3(position(cam), {5.0 + 2 * z[0], 20 + h + 2 * z[1], -25.0 + 2 * z[2]}));
        QCOMPARE(cam.GetRadius(), 10.0);

        // One saved level: the second push overwrites the first; a pop recomputes the position.
        cam.PushPosition();
        cam.SetPosition(3.0, 0.5, 0.25);
        cam.PushPosition();
        const Vec saved = position(cam);
        const double elsewhere[3] = {-9.0, -9.0, -9.0};
        cam.SetPosition(50.0, -1.0, -1.0);
        cam.SetFocusPosition(elsewhere);
        cam.PopPosition();
        QVERIFY(cam.GetRadius() == 3.0 && cam.GetTheta() == 0.25);
        QVERIFY(near3(position(cam), saved));
    }

    void positionFileRoundTrips() {
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
        QVERIFY(other.GetRadius() == 12.5 && other.GetTheta() == 1.0e-7);
        QVERIFY(near3(position(other), position(cam)));
        QVERIFY(
            !cam.SavePosition(dir.filePath("missing/dir/camera.txt").toLocal8Bit().constData()));
    }

    void damagedPositionFileLeavesCameraAlone_data() {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::newRow("missing file") << QByteArray();
        QTest::newRow("too few numbers") << QByteArray("3.5 1\n");
        QTest::newRow("not numbers") << QByteArray("radius phi theta\n");
        QTest::newRow("not finite") << QByteArray("nan 0 0\n");
    }
    void damagedPositionFileLeavesCameraAlone() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath("camera.txt");
        QFile file(path);
        QVERIFY(content.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write(content) > 0));
        file.close();
        SphericalCamera cam = viewCamera();
        cam.SetPosition(6.0, 0.1, 0.2);
        QVERIFY(!cam.LoadPosition(path.toLocal8Bit().constData()));
        QVERIFY(cam.GetRadius() == 6.0 && cam.GetPhi() == 0.1 && cam.GetTheta() == 0.2);
    }

    void horizontalConversionsAgree() {
        SphericalCamera cam(10.0, 0.7, 0.3, kOrigin, kUp, 1.0, 1.0);
        const Vec world = {1.5, -2.0, 4.0};
        Vec camera, back, pos, dir;
        cam.WorldVector2CameraVector_OrientationOnly2D(world.data(), camera.data());
        cam.CameraVector2WorldVector_OrientationOnly2D(camera.data(), back.data());
        QVERIFY(near3(back, world));

        // Positions are scaled and shifted by the origin, directions only scaled, and a transform's
        // translation column moves like a position.
        const double origin[3] = {10.0, 20.0, 30.0};
        cam.SetOrigin(origin);
        cam.SetCamera2WorldScalingFactor(2.0);
        cam.CameraVector2WorldVector2D(camera.data(), pos.data());
        cam.CameraVector2WorldVector_OrientationOnly2D(camera[0], camera[1], camera[2], dir.data());
        QVERIFY(near3(dir, {3.0, -4.0, 8.0}));
        QVERIFY(near3(pos, {13.0, 16.0, 38.0}));
        double C[16] = {}, W[16];
        C[3] = camera[0], C[7] = camera[1], C[11] = camera[2], C[15] = 1.0;
        cam.CameraTransform2WorldTransform2D(C, W);
        QVERIFY(near3({W[3], W[7], W[11]}, {13.0, 16.0, 38.0}));
        QCOMPARE(W[15], 1.0);
    }
};

QTEST_APPLESS_MAIN(TestCamera)
#include "tst_camera.moc"
