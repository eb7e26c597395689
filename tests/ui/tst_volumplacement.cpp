// The placement rules shared by the volum dialog and the main window.

#include "ui/volumplacement.h"

#include "model/volum.h"

#include <QTest>

using namespace VolumPlacement;

namespace {

Volum placed(const QString &name, double x, double y, double z, float sx = 1, float sy = 1,
             float sz = 1) {
    Volum v(name, 10, 10, 10);
    v.addCoords(Coord(x, y, z), sx, sy, sz);
    return v;
}

} // namespace

class TestVolumPlacement : public QObject {
    Q_OBJECT

private slots:
    void overlapAtTouchingFacesAndTolerance_data();
    void overlapAtTouchingFacesAndTolerance();
    void originMustStayInPositiveOctant_data();
    void originMustStayInPositiveOctant();
    void duplicateNames_data();
    void duplicateNames();
    void toleranceOnlyDecreases();
};

void TestVolumPlacement::overlapAtTouchingFacesAndTolerance_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("overlaps");
    // The other box spans 0..1 on every axis; the candidate is a unit box at (x, y, 0).
    QTest::newRow("shared face on the right") << 1.0 << 0.0 << false;
    QTest::newRow("shared face on the left") << -1.0 << 0.0 << false;
    QTest::newRow("overlap of 1e-06 is touching") << 1.0 - 1e-06 << 0.0 << false;
    QTest::newRow("overlap of 1e-05 overlaps") << 1.0 - 1e-05 << 0.0 << true;
    QTest::newRow("same place") << 0.0 << 0.0 << true;
    QTest::newRow("apart on y only") << 0.5 << 1.0 << false;
    QTest::newRow("far away") << 5.0 << 5.0 << false;
}

void TestVolumPlacement::overlapAtTouchingFacesAndTolerance() {
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(bool, overlaps);
    const Volum other = placed(QStringLiteral("other"), 0, 0, 0);
    QCOMPARE(overlap(boxAt(x, y, 0, 1, 1, 1), boxOf(other)), overlaps);
}

void TestVolumPlacement::originMustStayInPositiveOctant_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("z");
    QTest::addColumn<bool>("inside");
    QTest::newRow("origin") << 0.0 << 0.0 << 0.0 << true;
    QTest::newRow("within tolerance below zero") << -1e-06 << 0.0 << 0.0 << true;
    QTest::newRow("x below zero") << -0.05 << 0.0 << 0.0 << false;
    QTest::newRow("y below zero") << 0.0 << -0.1 << 0.0 << false;
    QTest::newRow("z below zero") << 3.0 << 0.0 << -2e-06 << false;
}

void TestVolumPlacement::originMustStayInPositiveOctant() {
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, z);
    QFETCH(bool, inside);
    QCOMPARE(insidePositiveOctant(x, y, z), inside);
}

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
        volums.append(placed(name, 0, 0, 0));
    QCOMPARE(duplicateName(source, volums), copy);
}

void TestVolumPlacement::toleranceOnlyDecreases() {
    float x = 0.1f;
    float y = 0.1f;
    float z = 0.1f;
    lowerTolerances(x, y, z, placed(QStringLiteral("fine"), 0, 0, 0, 1.0f, 4.0f, 0.5f));
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
