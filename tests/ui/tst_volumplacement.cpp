// Naming of volum copies and the tolerance of keyboard moves. Overlap and octant rules are
// tested where the user meets them: the volum dialog and the keyboard moves.

#include "ui/volumplacement.h"

#include "model/volum.h"

#include <QTest>

using namespace VolumPlacement;

namespace {

Volum placed(const QString &name, float sx = 1, float sy = 1, float sz = 1) {
    Volum v(name, 10, 10, 10);
    v.addCoords(Coord(0, 0, 0), sx, sy, sz);
    return v;
}

} // namespace

class TestVolumPlacement : public QObject {
    Q_OBJECT

private slots:
    void duplicateNames_data();
    void duplicateNames();
    void toleranceOnlyDecreases();
};

void TestVolumPlacement::duplicateNames_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("copy");
    QTest::newRow("plain name") << "box" << QStringList{"box"} << "box-0";
    QTest::newRow("copy of a copy") << "box-0" << QStringList{"box", "box-0"} << "box-1";
    QTest::newRow("copy of a copy, next taken")
        << "box-0" << QStringList{"box", "box-0", "box-1"} << "box-2";
    QTest::newRow("hyphenated name keeps its first word")
        << "gate-oxide" << QStringList{"gate-oxide"} << "gate-0";
    QTest::newRow("own suffix skipped even when free")
        << "box-0" << QStringList{"box-0"} << "box-1";
    QTest::newRow("gap is filled") << "box" << QStringList{"box", "box-1"} << "box-0";
    QTest::newRow("two-digit suffix") << "box-10" << QStringList{"box-10"} << "box-0";
}

void TestVolumPlacement::duplicateNames() {
    QFETCH(QString, source);
    QFETCH(QStringList, existing);
    QFETCH(QString, copy);
    QList<Volum> volums;
    for (const QString &name : existing)
        volums.append(placed(name));
    QCOMPARE(duplicateName(source, volums), copy);
}

void TestVolumPlacement::toleranceOnlyDecreases() {
    float x = 0.1f;
    float y = 0.1f;
    float z = 0.1f;
    lowerTolerances(x, y, z, placed(QStringLiteral("fine"), 1.0f, 4.0f, 0.5f));
    QCOMPARE(x, 0.1f);  // 1 / 10 is no smaller
    QCOMPARE(y, 0.1f);  // 4 / 10 is larger
    QCOMPARE(z, 0.05f); // 0.5 / 10

    Volum twenty(QStringLiteral("twenty"), 20, 20, 20);
    twenty.addCoords(Coord(0, 0, 0), 1.0f, 1.0f, 1.0f);
    lowerTolerances(x, y, z, twenty);
    QCOMPARE(x, 0.05f);

    // Empty boxes and axes without meshes would make keyboard moves zero-sized for good.
    Volum flat(QStringLiteral("flat"), 0, 10, 10);
    flat.addCoords(Coord(0, 0, 0), 1.0f, 0.0f, 1.0f);
    lowerTolerances(x, y, z, flat);
    QCOMPARE(x, 0.05f);
    QCOMPARE(y, 0.05f);
}

QTEST_APPLESS_MAIN(TestVolumPlacement)
#include "tst_volumplacement.moc"
