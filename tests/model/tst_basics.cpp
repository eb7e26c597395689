// The registry of materials, the reading of stored property values, and a volum's geometry.

#include "model/category.h"
#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/volum.h"

#include <QTest>

#include <cmath>
#include <limits>

class TestBasics : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QLoggingCategory::setFilterRules(QStringLiteral("karveno.*.debug=false"));
    }

    void materialsLookUpAndClearing() {
        MaterialsManager registry;
        auto make = [](const char *name, int index) {
            return new Material(QString::fromLatin1(name), index, QColor(10, 20, 30),
                                Coord(1, 0, 0), Coord(0, 1, 0), Coord(0, 0, 1), {});
        };
        Material *first = make("Si", 1);
        registry.addMaterial(first);
        registry.addMaterial(make("GaAs", 2));
        registry.addMaterial(make("Si", 3));
        registry.addMaterial(nullptr);
        QCOMPARE(registry.getMaterials()->size(), 3);
        QCOMPARE(registry.getMaterial("Si"), first);   // first match wins
        QCOMPARE(registry.getMaterial("si"), nullptr); // case matters
        QCOMPARE(registry.getMaterial(QString()), nullptr);

        Volum volum(QStringLiteral("body"), 1, 1, 1);
        volum.setMaterial(first);
        registry.clearMaterials();
        QVERIFY(registry.getMaterials()->isEmpty());
        // Forgotten, not destroyed: the volum still reads its material.
        QCOMPARE(volum.getMaterial()->getName(), QStringLiteral("Si"));
        QCOMPARE(volum.getMaterial()->getColor(), QColor(10, 20, 30));
        // Added again after a clear, it must not be owned twice (ASan catches a double delete).
        registry.addMaterial(first);
    }

    void storedValueReadBack_data() {
        QTest::addColumn<double>("stored");
        QTest::addColumn<bool>("asBool");
        QTest::addColumn<int>("asInt");
        QTest::newRow("one") << 1.0 << true << 1;
        QTest::newRow("two") << 2.0 << false << 2;
        QTest::newRow("almost one") << 0.9999999 << false << 0;
        QTest::newRow("-2.9 truncates") << -2.9 << false << -2;
        // Values a plain cast could not represent saturate instead of being undefined.
        QTest::newRow("huge") << 1e300 << false << std::numeric_limits<int>::max();
        QTest::newRow("-huge") << -1e300 << false << std::numeric_limits<int>::min();
        QTest::newRow("nan") << std::nan("") << false << 0;
    }
    void storedValueReadBack() {
        QFETCH(double, stored);
        QFETCH(bool, asBool);
        QFETCH(int, asInt);
        Property p(QStringLiteral("p"), Property::Boolean, true, QString());
        p.setValue(stored);
        QCOMPARE(p.getType(), int(Property::Boolean));
        QCOMPARE(p.getBoolValue(), asBool);
        QCOMPARE(p.getIntValue(), asInt);
    }

    void flattenedCountWalksOnlyChoiceConditions() {
        // A choice counts 1, each of its conditions 1 plus its properties; conditions hung on a
        // property that is not a choice are not walked. The shipped catalogues check the rest.
        Condition two(QStringLiteral("b"), false);
        two.addProperty(Property("b1", Property::Integer, 1, QString()));
        two.addProperty(Property("b2", Property::Boolean, false, QString()));
        Category edge(QStringLiteral("edge"));
        edge.addProperty(Property("none", Property::Choice, 0, QString()));
        QCOMPARE(flattenedCount({edge}), 1);
        edge.getProperties().first().addCondition(Condition("bare", true));
        edge.getProperties().first().addCondition(two);
        edge.addProperty(Property("x", Property::Real, 0.0, QString()));
        edge.getProperties().last().addCondition(two);
        QCOMPARE(flattenedCount({edge, Category("Output")}), 1 + 1 + 3 + 1);
        QCOMPARE(flattenedCount({}), 0);
    }

    void volumCornersBoundsAndMoves() {
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
};

QTEST_GUILESS_MAIN(TestBasics)
#include "tst_basics.moc"
