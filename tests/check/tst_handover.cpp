// The hand-over of a design to the checker: fixed-width text fields, the flattening order of the
// settings, coordinates scaled to metres, atoms, and the counts the checker receives.

#include "check/handover.h"
#include "model/atom.h"
#include "model/category.h"
#include "model/condition.h"
#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/property.h"
#include "model/volum.h"

#include <QtTest>

namespace {

// One category of `count` real properties valued 1, 2, 3, ...
QList<Category> reals(int count) {
    Category c(QStringLiteral("Reals"));
    for (int n = 1; n <= count; ++n)
        c.addProperty(Property(QStringLiteral("P%1").arg(n), Property::Real, double(n), QString()));
    return {c};
}

// A registry of materials (name, index number) and cubes of one mesh per unit along x.
struct Design {
    MaterialsManager registry;
    QList<Volum> volums;
    CheckInput input;

    Design(std::initializer_list<std::pair<const char *, int>> materials, int cubes) {
        for (const auto &[name, index] : materials)
            registry.addMaterial(new Material(name, index, Qt::gray, Coord(1, 0, 0), Coord(0, 1, 0),
                                              Coord(0, 0, 1), {}));
        for (int n = 0; n < cubes; ++n) {
            volums.append(Volum(QStringLiteral("V%1").arg(n), 1, 1, 1));
            volums.last().addCoords(Coord(n, 0, 0), 1, 1, 1);
            volums.last().setMaterial(registry.getMaterials()->value(0));
        }
        input.volums = &volums;
        input.materials = registry.getMaterials();
    }
};

} // namespace

class TestHandOver : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules("karveno.model.atom.debug=false"); }

    void textFields_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("short") << "Si" << 20 << QByteArray("Si").leftJustified(20);
        QTest::newRow("exactly 20")
            << "ABCDEFGHIJKLMNOPQRST" << 20 << QByteArray("ABCDEFGHIJKLMNOPQRST");
        QTest::newRow("25 cut to 20")
            << "ABCDEFGHIJKLMNOPQRSTUVWXY" << 20 << QByteArray("ABCDEFGHIJKLMNOPQRST");
        QTest::newRow("Latin-1") << QString::fromUtf8("Ångström") << 20
                                 << QByteArray("\xC5ngstr\xF6m").leftJustified(20);
        QTest::newRow("help text")
            << "Final time (s)." << 300 << QByteArray("Final time (s).").leftJustified(300);
    }
    void textFields() {
        QFETCH(QString, input);
        QFETCH(int, width);
        QFETCH(QByteArray, expected);
        QByteArray buffer(width + 1, '#');
        QString2char20(buffer.data(), width, input);
        QCOMPARE(buffer.left(width), expected);
        QCOMPARE(buffer.at(width), '#'); // no terminator after the field
    }

    void flatteningOrderAndValues() {
        Category general(QStringLiteral("General"));
        general.addProperty(Property("FLAG", Property::Boolean, true, "a switch"));
        general.addProperty(Property("COUNT", Property::Integer, 7, QString()));
        Property choice("BOUNDARY", Property::Choice, 2, "choose");
        for (int c = 0; c < 2; ++c) {
            Condition condition(QStringLiteral("COND%1").arg(c), c == 1);
            condition.addProperty(Property("A", Property::Boolean, true, QString()));
            condition.addProperty(Property("B", Property::Integer, 3, QString()));
            condition.addProperty(Property("C", Property::RealExponent, 2.5e-9, QString()));
            choice.addCondition(condition);
        }
        general.addProperty(choice);
        general.addProperty(Property("OFF", Property::Boolean, false, QString()));

        std::vector<parameter_str> records(20);
        const int count = flattenCategories({general}, records.data(), 20);
        QCOMPARE(count, 2 + 1 + 2 * (1 + 3) + 1);
        QCOMPARE(count, flattenedCount({general}));
        // Conditions carry their property count as type and their activation as value;
        // properties inside a condition hand over their stored value whatever their type.
        const QList<QByteArray> names{"FLAG", "COUNT", "BOUNDARY", "COND0", "A", "B",
                                      "C",    "COND1", "A",        "B",     "C", "OFF"};
        const QList<int> types{0, 1, 4, 3, 0, 1, 3, 3, 0, 1, 3, 0};
        const QList<double> values{1, 7, 2, 0, 1, 3, 2.5e-9, 1, 1, 3, 2.5e-9, 0};
        for (int n = 0; n < count; ++n) {
            QCOMPARE(QByteArray(records[n].nom, 20), names[n].leftJustified(20));
            QCOMPARE(records[n].tipus, types[n]);
            QCOMPARE(records[n].valor, values[n]);
        }
        QCOMPARE(QByteArray(records[0].help, 300), QByteArray("a switch").leftJustified(300));
    }

    // The record array holds 1000; the checker is handed the true count and reports it.
    void flatteningStopsAtCapacityButCountsAll() {
        std::vector<parameter_str> records(1001);
        records[1000].valor = -42.0;
        QCOMPARE(flattenCategories(reals(1005), records.data(), 1000), 1005);
        QCOMPARE(records[999].valor, 1000.0);
        QCOMPARE(records[1000].valor, -42.0);

        Design d({{"Si", 1}}, 1);
        d.volums[0].setCategories(reals(1005));
        const CheckVerdict v = checkDesign(d.input);
        QCOMPARE(v.text(), QStringLiteral(" KARVENO ERROR [        1002 ] NUMBER OF PARAMETERS "
                                          "        1005  LARGER THAN        1000"));
        QVERIFY(v.checked && !v.ok());
    }

    void recordsInOrderScaledToMetres() {
        Design d({{"Si", 4}, {"Ox", 9}}, 2);
        d.registry.getMaterial("Si")->setCategories(reals(3));
        d.registry.getMaterial("Ox")->setCategories(reals(5));
        d.volums[0] = Volum("A", 5, 6, 7, reals(6));
        d.volums[0].addCoords(Coord(1, 2, 3), 2, 2, 2);
        d.volums[0].setMaterial(d.registry.getMaterial("Ox"));
        const QList<Category> general = reals(12);
        d.input.categories = &general;
        d.input.x = {2.5, -9};
        d.input.y = {1.0, -10};
        d.input.z = {1.0, 0};

        const HandOver h = buildHandOver(d.input);
        QCOMPARE(
            QList<int>({h.nvol, h.nmat, h.nvparam, h.nmparam, h.nparam, int(h.parameters.size())}),
            QList<int>({2, 2, 6, 3, 12, 12}));
        const volum_str &a = h.volums[0];
        QCOMPARE(QByteArray(a.nom, 20), QByteArray("A").leftJustified(20));
        QCOMPARE(QList<double>({a.xi, a.xf, a.yi, a.zf}),
                 QList<double>({1e-9 * (2.5 * 1), 1e-9 * (2.5 * 3), 1e-10 * 2, 5.0}));
        QCOMPARE(QList<int>({a.mxi, a.myi, a.mzi, a.mxf, a.myf, a.mzf, a.indexname}),
                 QList<int>({1, 1, 1, 5, 6, 7, 9}));
        QCOMPARE(a.parameters[5].valor, 6.0);
        QCOMPARE(a.parameters[6].valor, 0.0); // unused records read as 0
        QCOMPARE(h.materials[1].indexname, 9);
        QCOMPARE(h.materials[1].parameters[4].valor, 5.0);
    }

    // Atoms of every volum in list order, with their volum's position and their offset number
    // only for offset sites; an atom or volum without material hands over index -1.
    void atomsAndMissingMaterials() {
        Design d({{"Si", 3}}, 2);
        Material *si = d.registry.getMaterial("Si");
        d.volums[0].setMaterial(nullptr);
        d.volums[0].setAtomsInfo({Atom(0.5, 0.5, 0.5, nullptr, false)});
        d.volums[1].setAtomsInfo(
            {Atom(0.1, 0.2, 0.3, si, false, 4, 5), Atom(0.4, 0.5, 0.6, si, true, 2, 5)});
        const HandOver h = buildHandOver(d.input);
        QCOMPARE(h.natoms, 3);
        QCOMPARE(h.volums[0].indexname, -1);
        const QList<int> expected{-1, 0, 0, 3, 1, 0, 3, 1, 2};
        for (int n = 0; n < 3; ++n) {
            const atom_str &a = h.atoms[std::size_t(n)];
            QCOMPARE(QList<int>({a.materialindex, a.volumindex, a.noffset}),
                     expected.mid(3 * n, 3));
        }
        QCOMPARE(h.atoms[2].z, 0.6);
        // The checker would let index -1 pass: the hand-over refuses the design itself.
        const CheckVerdict v = checkDesign(d.input);
        QVERIFY(!v.checked && !v.ok());
        QCOMPARE(v.text(), QStringLiteral("Volum V0 has no material!"));
        d.volums[0].setMaterial(si);
        QVERIFY(checkDesign(d.input).checked);
    }

    // Past the volum limit no record memory is spent: the checker refuses on the count alone.
    void designsPastTheLimitsAreRefusedOnTheCounts() {
        Design d({{"Si", 1}}, 101);
        const HandOver h = buildHandOver(d.input);
        QCOMPARE(h.nvol, 101);
        QVERIFY(h.volums.empty());
        QCOMPARE(checkDesign(d.input).text(),
                 QStringLiteral(" KARVENO ERROR [        1005 ] NUMBER "
                                "OF VOLUMS          101  LARGER THAN "
                                "        100"));
        d.volums.removeLast();
        QVERIFY(!checkDesign(d.input).text().contains(QStringLiteral("1005 ]")));

        // The same for general settings: 1000 of them give 1002 without a record made.
        const QList<Category> general = reals(1000);
        d.input.categories = &general;
        const HandOver p = buildHandOver(d.input);
        QVERIFY(p.nparam == 1000 && p.parameters.empty());
        QVERIFY(checkDesign(d.input).text().startsWith(" KARVENO ERROR [        1002 ]"));
    }

    // A value that is not a finite number, or a name the Latin-1 records cannot hold, never
    // reaches the checker: a NaN final time would pass every bound. Nor does a design without
    // volums.
    void unfitDesignsAreRefusedBeforeChecking_data() {
        QTest::addColumn<QString>("refusal");
        const QString nan = QStringLiteral(" is not a finite number!");
        QTest::newRow("general setting") << "The value of setting P2 of the general settings" + nan;
        QTest::newRow("volum setting") << "The value of setting P2 of volum V0" + nan;
        QTest::newRow("choice value") << "The value of setting x of the general settings" + nan;
        QTest::newRow("material setting") << "The value of setting P2 of material Si" + nan;
        QTest::newRow("size") << "Volum V1 has a position or size that" + nan;
        QTest::newRow("scale overflow") << "Volum V0 has a position or size that" + nan;
        QTest::newRow("atom") << "Volum V0 has an atom whose position" + nan;
        QTest::newRow("name outside Latin-1") << "The name of volum \u03a9 has characters outside "
                                                 "Latin-1, which the checker cannot hold!";
        QTest::newRow("no volums") << "No volums to check!";
    }
    void unfitDesignsAreRefusedBeforeChecking() {
        QFETCH(QString, refusal);
        const QByteArray where = QTest::currentDataTag();
        Design d({{"Si", 1}}, 2);
        QList<Category> general = reals(3);
        d.input.categories = &general;
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        if (where == "general setting")
            general[0].getProperties()[1].setValue(nan);
        if (where == "volum setting") {
            d.volums[0].setCategories(reals(2));
            d.volums[0].getCategories()[0].getProperties()[1].setValue(-inf);
        }
        if (where == "choice value") {
            Property choice(QStringLiteral("mode"), Property::Choice, 1, QString());
            Condition c(QStringLiteral("on"), true);
            c.addProperty(Property(QStringLiteral("x"), Property::Integer, nan, QString()));
            choice.addCondition(c);
            general[0].addProperty(choice);
        }
        if (where == "material setting") {
            d.registry.getMaterials()->first()->setCategories(reals(2));
            d.registry.getMaterials()->first()->getCategories()[0].getProperties()[1].setValue(nan);
        }
        if (where == "size")
            d.volums[1].addCoords(Coord(1, 0, 0), 1, std::numeric_limits<float>::infinity(), 1);
        if (where == "scale overflow") {
            d.volums[0].addCoords(Coord(0, 0, 0), 3e38f, 1, 1);
            d.input.x = {9.0, 300};
        }
        if (where == "atom")
            d.volums[0].setAtomsInfo({Atom(0, nan, 0, d.registry.getMaterials()->first(), false)});
        if (where == "name outside Latin-1")
            d.volums[0].setName(QStringLiteral("\u03a9"));
        if (where == "no volums")
            d.volums.clear();
        const CheckVerdict v = checkDesign(d.input);
        QVERIFY(!v.checked && !v.ok());
        QCOMPARE(v.text(), refusal);
    }

    // Memory that runs out in the hand-over is reported with the very line, padding included,
    // that the checker writes when its own tables do not fit.
    void outOfMemoryInTheHandOverReadsAsTheCheckers() {
        Design d({{"Si", 1}}, 1);
        qputenv("KARVENO_CHECK_MEMORY", "1000");
        const CheckVerdict checkers = checkDesign(d.input);
        qunsetenv("KARVENO_CHECK_MEMORY");
        QVERIFY2(checkers.text().contains(QStringLiteral("[       12001 ]")),
                 qPrintable(checkers.text()));
        const CheckVerdict handOvers = outOfMemoryVerdict();
        QCOMPARE(handOvers.line, checkers.line);
        QVERIFY(handOvers.checked && !handOvers.ok());
    }
};

QTEST_GUILESS_MAIN(TestHandOver)
#include "tst_handover.moc"
