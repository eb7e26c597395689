#include "model/material.h"
#include "model/volum.h"

#include <QTest>

class TestVolum : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QLoggingCategory::setFilterRules(QStringLiteral("karveno.*.debug=false"));
    }
    void cornersBoundsAndCentre();
    void placingTwiceKeepsEightCorners();
    void moveShiftsBoxButNotAtoms();
    void pointOnAFaceIsOutside_data();
    void pointOnAFaceIsOutside();
    void copiesAreIndependent();
    void unplacedVolumIsSafe();
};

void TestVolum::cornersBoundsAndCentre() {
    Volum v(QStringLiteral("box"), 2, 3, 4);
    QVERIFY(v.isVisible());
    QVERIFY(!v.isSelected());
    QVERIFY(!v.isWriteAtomsInfo());
    QVERIFY(!v.areAtomsCalculated());
    v.addCoords(Coord(1, 2, 3, QStringLiteral("Si")), 4, 5, 6);
    const QList<Coord> &c = v.getCoords();
    QCOMPARE(c.size(), 8);
    QCOMPARE(c[0], Coord(1, 2, 3, QStringLiteral("Si")));
    QCOMPARE(c[1], Coord(5, 2, 3));
    QCOMPARE(c[2], Coord(5, 7, 3));
    QCOMPARE(c[3], Coord(1, 7, 3));
    QCOMPARE(c[4], Coord(1, 2, 9));
    QCOMPARE(c[5], Coord(5, 2, 9));
    QCOMPARE(c[6], Coord(5, 7, 9));
    QCOMPARE(c[7], Coord(1, 7, 9));
    QCOMPARE(v.getMaxX(), 5.0);
    QCOMPARE(v.getMaxY(), 7.0);
    QCOMPARE(v.getMaxZ(), 9.0);
    QCOMPARE(v.getCenterX(), 3.0);
    QCOMPARE(v.getCenterY(), 4.5);
    QCOMPARE(v.getCenterZ(), 6.0);
}

void TestVolum::placingTwiceKeepsEightCorners() {
    Volum v(QStringLiteral("box"), 1, 1, 1);
    v.addCoords(Coord(0, 0, 0), 1, 1, 1);
    v.addCoords(Coord(10, 0, 0), 2, 2, 2);
    QCOMPARE(v.getCoords().size(), 8);
    QCOMPARE(v.getMinX(), 10.0);
    QCOMPARE(v.getxSize(), 2.0f);
}

void TestVolum::moveShiftsBoxButNotAtoms() {
    Volum v(QStringLiteral("box"), 1, 1, 1);
    v.addCoords(Coord(0, 0, 0), 4, 5, 6);
    v.setAtomsInfo({Atom(0.5, 0.5, 0.5, nullptr, true)});
    const QList<Coord> before = v.getCoords();
    v.move(1, 0, 0);
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(v.getCoords()[i].getX(), before[i].getX() + 1.0);
        QCOMPARE(v.getCoords()[i].getY(), before[i].getY());
        QCOMPARE(v.getCoords()[i].getZ(), before[i].getZ());
    }
    QCOMPARE(v.getxSize(), 4.0f);
    QCOMPARE(v.getAtoms().first().getX(), 0.5);
    QVERIFY(v.areAtomsCalculated());
}

void TestVolum::pointOnAFaceIsOutside_data() {
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<float>("z");
    QTest::addColumn<bool>("inside");
    QTest::newRow("centre") << 3.0f << 4.5f << 6.0f << true;
    QTest::newRow("minimum x face") << 1.0f << 4.5f << 6.0f << false;
    QTest::newRow("maximum z face") << 3.0f << 4.5f << 9.0f << false;
    QTest::newRow("corner") << 1.0f << 2.0f << 3.0f << false;
    QTest::newRow("beyond") << 30.0f << 4.5f << 6.0f << false;
}

void TestVolum::pointOnAFaceIsOutside() {
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(float, z);
    QFETCH(bool, inside);
    Volum v(QStringLiteral("box"), 1, 1, 1);
    v.addCoords(Coord(1, 2, 3), 4, 5, 6);
    QCOMPARE(v.checkPointInside(x, y, z), inside);
}

void TestVolum::copiesAreIndependent() {
    Category category(QStringLiteral("Mesh"));
    category.addProperty(Property(QStringLiteral("doping"), Property::Real, 1e18, QString()));
    Volum original(QStringLiteral("box"), 1, 1, 1, {category});
    original.addCoords(Coord(0, 0, 0), 1, 1, 1);
    original.setAtomsInfo({Atom(0, 0, 0, nullptr, true)});

    Volum copy = original;
    copy.move(5, 5, 5);
    copy.getAtoms().first().setX(7);
    copy.getCategories().first().getProperties().first().setValue(2.0);
    copy.setName(QStringLiteral("other"));

    QCOMPARE(original.getMinX(), 0.0);
    QCOMPARE(original.getAtoms().first().getX(), 0.0);
    QCOMPARE(original.getCategories().first().getProperties().first().getDoubleValue(), 1e18);
    QCOMPARE(original.getName(), QStringLiteral("box"));
}

void TestVolum::unplacedVolumIsSafe() {
    Volum v;
    QCOMPARE(v.getMinX(), 0.0);
    QCOMPARE(v.getMaxZ(), 0.0);
    QVERIFY(!v.checkPointInside(0, 0, 0));
    v.move(1, 1, 1);
    QCOMPARE(v.getMinX(), 1.0);
    QCOMPARE(v.getPropertiesCount(), 0);
    QVERIFY(!v.calculateAtomicPoints()); // no material
    QVERIFY(v.getAtoms().isEmpty());
}

QTEST_GUILESS_MAIN(TestVolum)
#include "tst_volum.moc"
