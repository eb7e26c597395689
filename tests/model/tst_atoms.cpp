#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/volum.h"

#include "literalsites.h"

#include <QTest>

#include <array>
#include <cmath>
#include <limits>

namespace {

Material *lattice(const QString &name, const QList<Coord> &vectors, const QList<Coord> &offsets) {
    return new Material(name, 1, Qt::blue, vectors[0], vectors[1], vectors[2], offsets);
}

Material *cubic(const QString &name, const QList<Coord> &offsets) {
    return lattice(name, {Coord(1, 0, 0), Coord(0, 1, 0), Coord(0, 0, 1)}, offsets);
}

Volum boxOf(Material *material, float xs, float ys, float zs) {
    Volum v(QStringLiteral("box"), 1, 1, 1);
    v.addCoords(Coord(3, 4, 5), xs, ys, zs);
    v.setMaterial(material);
    return v;
}

} // namespace

class TestAtoms : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QLoggingCategory::setFilterRules(QStringLiteral("karveno.*.debug=false"));
    }

    void eachSiteTakesItsOffsetsMaterial() {
        // Two offsets: each site takes the material its offset names. The fractional part of a size
        // is not filled, and generating again replaces, never appends.
        MaterialsManager registry;
        Material *ga = cubic("Ga", {Coord(0, 0, 0, "Ga"), Coord(0.5, 0.5, 0.5, "As")});
        Material *as = cubic("As", {});
        registry.addMaterial(ga);
        registry.addMaterial(as);
        Volum v = boxOf(ga, 2.9f, 2, 2);
        QVERIFY(v.calculateAtomicPoints(registry) && v.calculateAtomicPoints(registry));
        QCOMPARE(v.getNumberOfAtoms(), 27 + 8);
        QVERIFY(v.getAtoms()[0].isOffset() && v.getAtoms()[1].getX() == 0.5);
        for (const Atom &a : v.getAtoms()) {
            const bool half = a.getX() != std::floor(a.getX());
            QVERIFY(a.getMaxOffset() == 2 && a.getNOffset() == (half ? 1 : 0));
            QCOMPARE(a.getMaterial(), half ? as : ga);
        }
    }

    void sameSitesAndOrderAsFullSearch_data() {
        using Coords = QList<Coord>;
        QTest::addColumn<Coords>("vectors");
        QTest::addColumn<Coords>("offsets");
        QTest::addColumn<Coord>("size");
        QTest::newRow("hexagonal")
            << Coords{Coord(1, 0, 0), Coord(-0.5, std::sqrt(3.0) / 2, 0), Coord(0, 0, 1.6)}
            << Coords{Coord(0, 0, 0), Coord(0.5, 0.2886751, 0.8)} << Coord(4, 4, 3);
        QTest::newRow("negative components and offsets outside the cell")
            << Coords{Coord(-0.7, 0.1, 0), Coord(0.2, -0.9, 0.3), Coord(0, 0.4, -1.1)}
            << Coords{Coord(-1.5, 2, 0.1), Coord(0.3, -0.2, 5)} << Coord(3, 2, 3);
        QTest::newRow("flat lattice with a zero vector")
            << Coords{Coord(0.5, 0, 0), Coord(0, 0, 0), Coord(0, 0.5, 0)} << Coords{Coord()}
            << Coord(2, 2, 2);
        QTest::newRow("collinear vectors") << Coords{Coord(1, 1, 0), Coord(2, 2, 0), Coord(0, 0, 1)}
                                           << Coords{Coord()} << Coord(3, 3, 1);
        QTest::newRow("zero sizes give one plane")
            << Coords{Coord(1, 0, 0), Coord(0, 1, 0), Coord(0, 0, 1)} << Coords{Coord()}
            << Coord(0, 3, 0.5);
        QTest::newRow("all vectors zero")
            << Coords{Coord(), Coord(), Coord()}
            << Coords{Coord(0, 0, 0), Coord(0.5, 0.5, 0.5), Coord(-1, 0, 0)} << Coord(1, 1, 1);
    }
    void sameSitesAndOrderAsFullSearch() {
        QFETCH(QList<Coord>, vectors);
        QFETCH(QList<Coord>, offsets);
        QFETCH(Coord, size);
        MaterialsManager registry;
        Material *m = lattice("X", vectors, offsets);
        registry.addMaterial(m);
        Volum v = boxOf(m, float(size.getX()), float(size.getY()), float(size.getZ()));
        QVERIFY(v.calculateAtomicPoints(registry));
        std::vector<LatticeSite> sites;
        for (const Atom &a : v.getAtoms())
            sites.push_back({a.getX(), a.getY(), a.getZ(), double(a.getNOffset())});
        const std::vector<LatticeSite> expected = literalSites(*m, v);
        QVERIFY(!expected.empty());
        QCOMPARE(sites.size(), expected.size());
        QVERIFY(sites == expected);
    }

    void degenerateInputsGiveSoundResults_data() {
        QTest::addColumn<QString>("material");
        QTest::addColumn<float>("size");
        QTest::addColumn<bool>("generated");
        QTest::addColumn<int>("atoms");
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const float inf = std::numeric_limits<float>::infinity();
        QTest::newRow("no offsets") << "Empty" << 2.0f << true << 0;
        QTest::newRow("no material") << "" << 2.0f << false << 0;
        QTest::newRow("lattice vector not a number") << "Bad" << 2.0f << false << 0;
        QTest::newRow("size not a number") << "Si" << nan << false << 0;
        QTest::newRow("infinite size") << "Si" << inf << false << 0;
        QTest::newRow("negative size") << "Si" << -2.0f << true << 0;
        QTest::newRow("zero size") << "Si" << 0.0f << true << 1;
        QTest::newRow("offsets naming no material") << "Orphan" << 1.0f << true << 9;
    }
    void degenerateInputsGiveSoundResults() {
        QFETCH(QString, material);
        QFETCH(float, size);
        QFETCH(bool, generated);
        QFETCH(int, atoms);
        MaterialsManager registry;
        registry.addMaterial(cubic("Empty", {}));
        registry.addMaterial(cubic("Si", {Coord(0, 0, 0, "Si")}));
        registry.addMaterial(lattice(
            "Bad", {Coord(std::nan(""), 0, 0), Coord(0, 1, 0), Coord(0, 0, 1)}, {Coord(0, 0, 0)}));
        registry.addMaterial(
            cubic("Orphan", {Coord(0, 0, 0, "Nope"), Coord(0.5, 0.5, 0.5, QString())}));
        // Start from a volum that has atoms: whatever happens, none of them may survive.
        Volum v = boxOf(registry.getMaterial("Si"), 1, 1, 1);
        v.calculateAtomicPoints(registry);
        QCOMPARE(v.getNumberOfAtoms(), 8);
        v.setMaterial(registry.getMaterial(material));
        v.addCoords(Coord(), size, size, size);
        QCOMPARE(v.calculateAtomicPoints(registry), generated);
        QCOMPARE(v.getNumberOfAtoms(), atoms);
        QVERIFY(v.areAtomsCalculated());
        for (const Atom &atom : v.getAtoms())
            QCOMPARE(atom.getMaterial(), registry.getMaterial(atom.getMaterialName()));
        if (material == QLatin1String("Orphan"))
            QCOMPARE(v.getAtoms().first().getMaterial(), nullptr);
    }

    void absurdCountsAreRefusedQuickly() {
        // Refused from the counts alone: a full search would take hours (and ctest's time-out
        // fail).
        MaterialsManager registry;
        Material *tiny =
            lattice("Tiny", {Coord(1e-7, 0, 0), Coord(0, 1e-7, 0), Coord(0, 0, 1e-7)}, {Coord()});
        // Collinear vectors cannot be bounded by the box; the search limit applies.
        Material *sheet =
            lattice("Sheet", {Coord(1e-6, 0, 0), Coord(1e-6, 0, 0), Coord()}, {Coord()});
        registry.addMaterial(tiny);
        registry.addMaterial(sheet);
        for (Volum v :
             {boxOf(tiny, 100, 100, 100), boxOf(sheet, 1000, 1, 1), boxOf(tiny, 3e38f, 1, 1)}) {
            QVERIFY(!v.calculateAtomicPoints(registry));
            QVERIFY(v.getAtoms().isEmpty() && v.areAtomsCalculated());
        }
    }

    void constructionTraceOnlyWhenAskedFor() {
        // Off by default in every program: millions of atoms must not mean millions of lines.
        QLoggingCategory::setFilterRules(QString());
        static QStringList traced;
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &text) { traced << text; });
        Atom quiet(1, 2, 3, nullptr, true);
        QLoggingCategory::setFilterRules(QStringLiteral("karveno.model.atom.debug=true"));
        Atom loud(1, 2, 3, nullptr, true, 4, 5);
        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules(QStringLiteral("karveno.*.debug=false"));
        QCOMPARE(traced.size(), 1);
        QVERIFY2(traced.first().startsWith("Creating Atom 1, 2, 3"), qPrintable(traced.first()));
    }
};

QTEST_GUILESS_MAIN(TestAtoms)
#include "tst_atoms.moc"
