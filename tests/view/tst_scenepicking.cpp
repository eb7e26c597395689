// Picking from geometry, without OpenGL: what a ray from the eye hits, and which volum or atom a
// reported point belongs to. Hidden volums never take part; the nearest wins.

#include "model/atom.h"
#include "model/coord.h"
#include "model/volum.h"
#include "view/scenepicking.h"

#include <QTest>

namespace {

Volum box(const QString &name, double x, double y, double z, float size, bool visible = true) {
    Volum v(name, 1, 1, 1);
    v.addCoords(Coord(x, y, z), size, size, size);
    v.setVisible(visible);
    return v;
}

picking::Ray ray(double ox, double oy, double oz, double dx, double dy, double dz) {
    const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
    return {{ox, oy, oz}, {dx / length, dy / length, dz / length}};
}

} // namespace

class TestScenePicking : public QObject {
    Q_OBJECT

private slots:
    void rayHitsTheNearestShownBox_data() {
        QTest::addColumn<bool>("frontVisible");
        QTest::addColumn<double>("offset"); // sideways miss of the ray, world units
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("exact");
        // Boxes along the ray (looking down -z from z = 10): "back" listed first, "front" nearer.
        QTest::newRow("front box wins") << true << 0.0 << 1 << true;
        QTest::newRow("hidden front box is looked through") << false << 0.0 << 0 << true;
        // 0.05 beside both boxes' edge at distance ~7 to 9: within 3 px at slope 0.01.
        QTest::newRow("near miss still hits") << true << 0.05 << 1 << false;
        QTest::newRow("clear miss hits nothing") << true << 0.5 << -1 << false;
    }
    void rayHitsTheNearestShownBox() {
        QFETCH(bool, frontVisible);
        QFETCH(double, offset);
        QFETCH(int, expected);
        QFETCH(bool, exact);
        const QList<Volum> volums = {box("back", 0, 0, 0, 1),
                                     box("front", 0, 0, 2, 1, frontVisible)};
        const picking::Hit hit =
            picking::castAtBoxes(volums, ray(1.0 + offset, 0.5, 10, 0, 0, -1), 0.01);
        QCOMPARE(hit.volum, expected);
        if (hit.isHit()) {
            QCOMPARE(hit.exact, exact);
            // The reported point lies on the box hit, so the window finds the same volum.
            const double eye[3] = {1.0 + offset, 0.5, 10};
            QCOMPARE(picking::volumAtPoint(volums, eye, hit.point, 0.01), expected);
        }
    }

    void pointOnASharedFaceBelongsToTheShownVolumFacingTheEye_data() {
        QTest::addColumn<bool>("firstVisible");
        QTest::addColumn<double>("eyeX");
        QTest::addColumn<int>("expected");
        // "left" [0,1]^3 and "right" [1,2]x[0,1]^2 share the face x = 1; the point is on the
        // top face just right of the shared edge (within the click margin of "left").
        QTest::newRow("the box holding the point") << true << 5.0 << 1;
        QTest::newRow("hidden neighbour") << false << 5.0 << 1;
        // A point inside the margin of a hidden volum only: nothing.
        QTest::newRow("first in list does not win") << true << -5.0 << 1;
    }
    void pointOnASharedFaceBelongsToTheShownVolumFacingTheEye() {
        QFETCH(bool, firstVisible);
        QFETCH(double, eyeX);
        QFETCH(int, expected);
        const QList<Volum> volums = {box("left", 0, 0, 0, 1, firstVisible),
                                     box("right", 1, 0, 0, 1)};
        const double eye[3] = {eyeX, 6.0, 0.5};
        const double point[3] = {1.005, 1.0, 0.5};
        QCOMPARE(picking::volumAtPoint(volums, eye, point, 0.01), expected);
        const QList<Volum> hiddenOnly = {box("left", 0, 0, 0, 1, false)};
        const double inLeft[3] = {0.5, 1.0, 0.5};
        QCOMPARE(picking::volumAtPoint(hiddenOnly, eye, inLeft, 0.01), -1);
    }

    void atomsOfHiddenVolumsAreNeverHit() {
        // Two volums, each with one atom on the same line of sight; the nearer is hidden.
        Volum far = box("far", 0, 0, 0, 1);
        Volum near = box("near", 0, 0, 3, 1, false);
        far.setAtomsInfo({Atom(0.5, 0.5, 0.5, nullptr, true)});
        near.setAtomsInfo({Atom(0.5, 0.5, 0.5, nullptr, true)});
        QList<Volum> volums = {far, near};
        const picking::Ray straight = ray(0.5, 0.5, 10, 0, 0, -1);
        picking::Hit hit = picking::castAtAtoms(volums, straight, 0.0);
        QVERIFY(hit.volum == 0 && hit.atom == 0 && hit.exact);
        QVERIFY(std::fabs(hit.point[2] - 0.6) < 1e-9); // where the ray enters the sphere
        volums[1].setVisible(true);
        hit = picking::castAtAtoms(volums, straight, 0.0);
        QCOMPARE(hit.volum, 1);
        const double eye[3] = {0.5, 0.5, 10};
        QCOMPARE(picking::atomAtPoint(volums, eye, hit.point).volum, 1);
        // A near miss reports a point that the window's rule (within one radius on each axis)
        // places in the same atom.
        hit = picking::castAtAtoms(volums, ray(0.65, 0.5, 10, 0, 0, -1), 0.01);
        QCOMPARE(hit.volum, 1);
        QVERIFY(!hit.exact);
        QCOMPARE(picking::atomAtPoint(volums, eye, hit.point).volum, 1);
    }
};

QTEST_GUILESS_MAIN(TestScenePicking)
#include "tst_scenepicking.moc"
