#include "model/volum.h"

#include <QTest>

class TestVolum : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QLoggingCategory::setFilterRules(QStringLiteral("karveno.*.debug=false"));
    }
    void cornersBoundsAndMoves();
};

void TestVolum::cornersBoundsAndMoves() {
    Volum v(QStringLiteral("box"), 2, 3, 4);
    v.addCoords(Coord(10, 0, 0), 1, 1, 1);
    v.addCoords(Coord(1, 2, 3, "Si"), 4, 5, 6); // placing again replaces
    const QList<Coord> expected = {Coord(1, 2, 3, "Si"), Coord(5, 2, 3), Coord(5, 7, 3),
                                   Coord(1, 7, 3),       Coord(1, 2, 9), Coord(5, 2, 9),
                                   Coord(5, 7, 9),       Coord(1, 7, 9)};
    QCOMPARE(v.getCoords(), expected);
    QVERIFY(v.getMaxX() == 5.0 && v.getMaxY() == 7.0 && v.getMaxZ() == 9.0);
    QVERIFY(v.getCenterX() == 3.0 && v.getCenterY() == 4.5 && v.getCenterZ() == 6.0);
    // A point on a face is outside.
    QVERIFY(v.checkPointInside(3, 4.5f, 6) && !v.checkPointInside(1, 4.5f, 6));
    QVERIFY(!v.checkPointInside(3, 4.5f, 9) && !v.checkPointInside(30, 4.5f, 6));

    // A move shifts the corners and keeps the size; atoms are relative to the origin and stay.
    v.setAtomsInfo({Atom(0.5, 0.5, 0.5, nullptr, true)});
    v.move(1, 0, -3);
    QVERIFY(v.getMinX() == 2.0 && v.getMinY() == 2.0 && v.getMinZ() == 0.0);
    QVERIFY(v.getCoords()[6] == Coord(6, 7, 6) && v.getxSize() == 4.0f);
    QVERIFY(v.getAtoms().first().getX() == 0.5 && v.areAtomsCalculated());

    // An unplaced volum counts as placed at the origin and has nothing to generate.
    Volum unplaced;
    QVERIFY(unplaced.getMaxZ() == 0.0 && !unplaced.checkPointInside(0, 0, 0));
    unplaced.move(1, 1, 1);
    QCOMPARE(unplaced.getMinX(), 1.0);
    QVERIFY(!unplaced.calculateAtomicPoints() && unplaced.getAtoms().isEmpty());
}

QTEST_GUILESS_MAIN(TestVolum)
#include "tst_volum.moc"
