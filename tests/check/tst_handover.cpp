// The hand-over of a design to the checker: fixed-width text fields, the flattening order of the
// settings, coordinates scaled to metres, and the counts the checker receives.

#include "check/handover.h"
#include "model/atom.h"
#include "model/category.h"
#include "model/condition.h"
#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/property.h"
#include "model/volum.h"

#include <QtTest>

#include <cstring>

namespace {

QByteArray field(const char *data, int width) {
    return QByteArray(data, width);
}

Material *makeMaterial(const QString &name, int index, const QList<Category> &categories = {}) {
    auto *m =
        new Material(name, index, Qt::gray, Coord(1, 0, 0), Coord(0, 1, 0), Coord(0, 0, 1), {});
    m->setCategories(categories);
    return m;
}

// One category of `count` real properties valued 1, 2, 3, ...
QList<Category> realCategories(int count) {
    Category c(QStringLiteral("Reals"));
    for (int n = 1; n <= count; ++n)
        c.addProperty(Property(QStringLiteral("P%1").arg(n), Property::Real, double(n), QString()));
    return {c};
}

Volum placedVolum(const QString &name, double x, double y, double z, float size, int meshes) {
    Volum v(name, meshes, meshes, meshes);
    v.addCoords(Coord(x, y, z), size, size, size);
    return v;
}

} // namespace

class TestHandOver : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules("karveno.model.atom.debug=false"); }

    void textFields_data();
    void textFields();
    void flatteningOrderAndValues();
    void flatteningStopsAtCapacityButCountsAll();

    void volumsScaledToMetres();
    void missingMaterialsDoNotStopTheHandOver();
    void atomsCarryTheirVolumAndOffset();
    void designsPastTheLimitsAreRefusedOnTheCounts();
    void emptyDesignIsNotChecked();
};

void TestHandOver::textFields_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("width");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("short name") << "Si" << 20 << QByteArray("Si").leftJustified(20, ' ');
    QTest::newRow("exactly 20") << "ABCDEFGHIJKLMNOPQRST" << 20
                                << QByteArray("ABCDEFGHIJKLMNOPQRST");
    QTest::newRow("25 cut to 20") << "ABCDEFGHIJKLMNOPQRSTUVWXY" << 20
                                  << QByteArray("ABCDEFGHIJKLMNOPQRST");
    QTest::newRow("empty") << "" << 20 << QByteArray(20, ' ');
    QTest::newRow("Latin-1") << QString::fromUtf8("Ångström") << 20
                             << QByteArray("\xC5ngstr\xF6m").leftJustified(20, ' ');
    QTest::newRow("help text") << "Final time (s)." << 300
                               << QByteArray("Final time (s).").leftJustified(300, ' ');
}

void TestHandOver::textFields() {
    QFETCH(QString, input);
    QFETCH(int, width);
    QFETCH(QByteArray, expected);
    QByteArray buffer(width + 1, '#');
    QString2char20(buffer.data(), width, input);
    QCOMPARE(buffer.left(width), expected);
    QCOMPARE(buffer.at(width), '#'); // no terminator after the field
}

void TestHandOver::flatteningOrderAndValues() {
    Category general(QStringLiteral("General"));
    general.addProperty(Property(QStringLiteral("FLAG"), Property::Boolean, true, "a switch"));
    general.addProperty(Property(QStringLiteral("COUNT"), Property::Integer, 7, QString()));
    Property choice(QStringLiteral("BOUNDARY"), Property::Choice, 2, QStringLiteral("choose"));
    for (int c = 0; c < 2; ++c) {
        Condition condition(QStringLiteral("COND%1").arg(c), c == 1);
        condition.addProperty(Property(QStringLiteral("A"), Property::Boolean, true, QString()));
        condition.addProperty(Property(QStringLiteral("B"), Property::Integer, 3, QString()));
        condition.addProperty(Property(QStringLiteral("C"), Property::RealExponent, 2.5e-9, ""));
        choice.addCondition(condition);
    }
    general.addProperty(choice);
    general.addProperty(Property(QStringLiteral("OFF"), Property::Boolean, false, QString()));

    std::vector<parameter_str> records(20);
    const int count = flattenCategories({general}, records.data(), 20);
    // Two plain records, the choice with 2 x (1 + 3) records, one more plain record.
    QCOMPARE(count, 2 + 1 + 2 * (1 + 3) + 1);
    QCOMPARE(count, flattenedCount({general}));

    QCOMPARE(field(records[0].nom, 4), QByteArray("FLAG"));
    QCOMPARE(records[0].valor, 1.0);
    QCOMPARE(records[0].tipus, 0);
    QCOMPARE(field(records[0].help, 8), QByteArray("a switch"));
    QCOMPARE(records[1].valor, 7.0);
    QCOMPARE(records[2].tipus, 4);
    QCOMPARE(records[2].valor, 2.0);
    // Condition records: their property count as type, their activation as value.
    QCOMPARE(field(records[3].nom, 6), QByteArray("COND0 "));
    QCOMPARE(records[3].tipus, 3);
    QCOMPARE(records[3].valor, 0.0);
    QCOMPARE(records[7].valor, 1.0);
    // Properties inside a condition hand over their stored value whatever their type.
    QCOMPARE(records[4].valor, 1.0);
    QCOMPARE(records[5].valor, 3.0);
    QCOMPARE(records[6].valor, 2.5e-9);
    QCOMPARE(records[6].tipus, 3);
    QCOMPARE(field(records[11].nom, 3), QByteArray("OFF"));
    QCOMPARE(records[11].valor, 0.0);
}

void TestHandOver::flatteningStopsAtCapacityButCountsAll() {
    std::vector<parameter_str> records(1001);
    records[1000].valor = -42.0;
    QCOMPARE(flattenCategories(realCategories(1005), records.data(), 1000), 1005);
    QCOMPARE(records[999].valor, 1000.0);
    QCOMPARE(records[1000].valor, -42.0);

    // The checker then reports the true count of the first volum.
    MaterialsManager registry;
    registry.addMaterial(makeMaterial("Si", 1));
    QList<Volum> volums{placedVolum("A", 0, 0, 0, 1, 1)};
    volums[0].setCategories(realCategories(1005));
    volums[0].setMaterial(registry.getMaterial("Si"));
    CheckInput input;
    input.volums = &volums;
    input.materials = registry.getMaterials();
    const CheckVerdict v = checkDesign(input);
    QVERIFY(v.checked);
    QCOMPARE(v.text(), QStringLiteral(" KARVENO ERROR [        1002 ] NUMBER OF PARAMETERS       "
                                      "  1005  LARGER THAN        1000"));
    QVERIFY(!v.ok());
}

void TestHandOver::volumsScaledToMetres() {
    MaterialsManager registry;
    registry.addMaterial(makeMaterial("Si", 4, realCategories(3)));
    registry.addMaterial(makeMaterial("Ox", 9, realCategories(5)));
    QList<Volum> volums{placedVolum("A", 1, 2, 3, 2, 5), placedVolum("B", 3, 2, 3, 1, 2)};
    volums[0].setMaterial(registry.getMaterial("Ox"));
    volums[0].setCategories(realCategories(6));
    volums[0].setNMalles(5, 6, 7);
    CheckInput input;
    input.volums = &volums;
    input.materials = registry.getMaterials();
    const QList<Category> general = realCategories(12);
    input.categories = &general;
    input.x = {2.5, -9};
    input.y = {1.0, -10};
    input.z = {1.0, 0};

    const HandOver h = buildHandOver(input);
    QCOMPARE(h.nvol, 2);
    QCOMPARE(h.nmat, 2);
    QCOMPARE(h.nvparam, 6);
    QCOMPARE(h.nmparam, 3);
    QCOMPARE(h.nparam, 12);
    QCOMPARE(h.parameters.size(), std::size_t(12));
    const volum_str &a = h.volums[0];
    QCOMPARE(field(a.nom, 20), QByteArray("A").leftJustified(20, ' '));
    QCOMPARE(a.xi, 1e-9 * (2.5 * 1));
    QCOMPARE(a.xf, 1e-9 * (2.5 * 3));
    QCOMPARE(a.yi, 1e-10 * 2);
    QCOMPARE(a.zf, 5.0);
    QCOMPARE(a.mxi, 1);
    QCOMPARE(a.myi, 1);
    QCOMPARE(a.mxf, 5);
    QCOMPARE(a.myf, 6);
    QCOMPARE(a.mzf, 7);
    QCOMPARE(a.indexname, 9);
    QCOMPARE(a.parameters[5].valor, 6.0);
    QCOMPARE(a.parameters[6].valor, 0.0); // unused records read as 0
    QCOMPARE(h.materials[1].indexname, 9);
    QCOMPARE(field(h.materials[1].nom, 3), QByteArray("Ox "));
    QCOMPARE(h.materials[1].parameters[4].valor, 5.0);
}

void TestHandOver::missingMaterialsDoNotStopTheHandOver() {
    MaterialsManager registry;
    QList<Volum> volums{placedVolum("A", 0, 0, 0, 1, 1)}; // no material at all
    Atom orphan(0.5, 0.5, 0.5, nullptr, false);
    volums[0].setAtomsInfo({orphan});
    CheckInput input;
    input.volums = &volums;
    input.materials = registry.getMaterials();
    const HandOver h = buildHandOver(input);
    QCOMPARE(h.volums[0].indexname, -1);
    QCOMPARE(h.atoms[0].materialindex, -1);
    QCOMPARE(h.nmat, 0);
    const CheckVerdict v = checkDesign(input);
    QVERIFY(v.checked);
    QVERIFY(!v.ok());
}

void TestHandOver::atomsCarryTheirVolumAndOffset() {
    MaterialsManager registry;
    registry.addMaterial(makeMaterial("Si", 3));
    Material *si = registry.getMaterial("Si");
    QList<Volum> volums{placedVolum("A", 0, 0, 0, 1, 1), placedVolum("B", 1, 0, 0, 1, 1)};
    volums[1].setAtomsInfo(
        {Atom(0.1, 0.2, 0.3, si, false, 4, 5), Atom(0.4, 0.5, 0.6, si, true, 2, 5)});
    CheckInput input;
    input.volums = &volums;
    input.materials = registry.getMaterials();
    const HandOver h = buildHandOver(input);
    QCOMPARE(h.natoms, 2);
    QCOMPARE(h.atoms.size(), std::size_t(2));
    QCOMPARE(h.atoms[0].volumindex, 1);
    QCOMPARE(h.atoms[0].noffset, 0); // not an offset site
    QCOMPARE(h.atoms[1].noffset, 2);
    QCOMPARE(h.atoms[1].materialindex, 3);
    QCOMPARE(h.atoms[1].z, 0.6);
}

void TestHandOver::designsPastTheLimitsAreRefusedOnTheCounts() {
    MaterialsManager registry;
    registry.addMaterial(makeMaterial("Si", 1));
    QList<Volum> volums;
    for (int n = 0; n < 101; ++n)
        volums.append(placedVolum(QStringLiteral("V%1").arg(n), n, 0, 0, 1, 1));
    CheckInput input;
    input.volums = &volums;
    input.materials = registry.getMaterials();
    const HandOver h = buildHandOver(input);
    QCOMPARE(h.nvol, 101);
    QVERIFY(h.volums.empty()); // no record memory spent on a design the checker refuses
    QCOMPARE(checkDesign(input).text(),
             QStringLiteral(" KARVENO ERROR [        1005 ] NUMBER OF "
                            "VOLUMS          101  LARGER THAN         100"));
    volums.removeLast();
    QVERIFY(!checkDesign(input).text().contains(QStringLiteral("1005 ]")));
}

void TestHandOver::emptyDesignIsNotChecked() {
    QList<Volum> none;
    CheckInput input;
    input.volums = &none;
    const CheckVerdict v = checkDesign(input);
    QVERIFY(!v.checked);
    QCOMPARE(v.text(), QStringLiteral("No volums to check!"));
    QVERIFY(!v.ok());
}

QTEST_GUILESS_MAIN(TestHandOver)
#include "tst_handover.moc"
