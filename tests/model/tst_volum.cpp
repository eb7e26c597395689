#include "model/volum.h"

#include <QTest>

class TestVolum : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QLoggingCategory::setFilterRules(QStringLiteral("karveno.*.debug=false"));
    }
    void cornersBoundsAndCentre();
    void moveShiftsBoxButNotAtoms();
    void pointOnAFaceIsOutside_data();
    void pointOnAFaceIsOutside();
    void copiesAreIndependent();
    void unplacedVolumIsSafe();
};

void TestVolum::cornersBoundsAndCentre() {
    Volum v(QStringLiteral("box"), 2, 3, 4);
    QVERIFY(v.isVisible() && !v.isSelected() && !v.isWriteAtomsInfo() && !v.areAtomsCalculated());
    v.addCoords(Coord(10, 0, 0), 1, 1, 1);
    v.addCoords(Coord(1, 2, 3, QStringLiteral("Si")), 4, 5, 6); // placing again replaces
    const QList<Coord> expected = {Coord(1, 2, 3, QStringLiteral("Si")),
                                   Coord(5, 2, 3),
                                   Coord(5, 7, 3),
                                   Coord(1, 7, 3),
                                   Coord(1, 2, 9),
                                   Coord(5, 2, 9),
                                   Coord(5, 7, 9),
                                   Coord(1, 7, 9)};
    QCOMPARE(v.getCoords(), expected);
    QCOMPARE(v.getMaxX(), 5.0);
    QCOMPARE(v.getMaxY(), 7.0);
    QCOMPARE(v.getMaxZ(), 9.0);
    QCOMPARE(v.getCenterX(), 3.0);
    QCOMPARE(v.getCenterY(), 4.5);
    QCOMPARE(v.getCenterZ(), 6.0);
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

    QCOMPARE(original.getMinX(), 0.0);
    QCOMPARE(original.getAtoms().first().getX(), 0.0);
    QCOMPARE(original.getCategories().first().getProperties().first().getDoubleValue(), 1e18);
}

void TestVolum::unplacedVolumIsSafe() {
    Volum v;
    QCOMPARE(v.getMaxZ(), 0.0);
    QVERIFY(!v.checkPointInside(0, 0, 0));
    v.move(1, 1, 1);
    QCOMPARE(v.getMinX(), 1.0);
    QVERIFY(!v.calculateAtomicPoints()); // no material
    QVERIFY(v.getAtoms().isEmpty());
}

QTEST_GUILESS_MAIN(TestVolum)
#include "tst_volum.moc"
