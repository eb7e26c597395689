#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/volum.h"

#include <QTest>

#include <cmath>
#include <limits>

namespace {

struct Site {
    double x, y, z;
    int noffset;
    bool operator==(const Site &o) const {
        return x == o.x && y == o.y && z == o.z && noffset == o.noffset;
    }
};

// The generation exactly as a straight reading of the rule: full index ranges, no pruning.
QList<Site> referenceSites(const Material &m, float xs, float ys, float zs) {
    const double e[3] = {std::trunc(double(xs)), std::trunc(double(ys)), std::trunc(double(zs))};
    const Coord v[3] = {m.getAtomVec1(), m.getAtomVec2(), m.getAtomVec3()};
    int n[3];
    for (int p = 0; p < 3; ++p) {
        const double c[3] = {v[p].getX(), v[p].getY(), v[p].getZ()};
        n[p] = 0;
        for (int a = 0; a < 3; ++a) {
            if (c[a] != 0.0)
                n[p] = std::max(n[p], int(std::ceil(e[a] / std::fabs(c[a]))) + 2);
        }
    }
    QList<Site> sites;
    for (int i = -3 * n[0]; i <= 3 * n[0]; ++i)
        for (int j = -3 * n[1]; j <= 3 * n[1]; ++j)
            for (int k = -3 * n[2]; k <= 3 * n[2]; ++k) {
                const double rx = (v[0].getX() * i + v[1].getX() * j) + v[2].getX() * k;
                const double ry = (v[0].getY() * i + v[1].getY() * j) + v[2].getY() * k;
                const double rz = (v[0].getZ() * i + v[1].getZ() * j) + v[2].getZ() * k;
                for (int l = 0; l < m.getOffsets().size(); ++l) {
                    const Coord &o = m.getOffsets()[l];
                    const double px = o.getX() + rx, py = o.getY() + ry, pz = o.getZ() + rz;
                    if (px >= 0 && px <= e[0] && py >= 0 && py <= e[1] && pz >= 0 && pz <= e[2])
                        sites.append({px, py, pz, l});
                }
            }
    return sites;
}

QList<Site> sitesOf(const Volum &v) {
    QList<Site> sites;
    for (const Atom &a : v.getAtoms())
        sites.append({a.getX(), a.getY(), a.getZ(), a.getNOffset()});
    return sites;
}

Material *cubic(const QString &name, const QList<Coord> &offsets) {
    return new Material(name, 1, Qt::blue, Coord(1, 0, 0), Coord(0, 1, 0), Coord(0, 0, 1), offsets);
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
    void simpleCubicFillsIntegerPoints();
    void fractionalSizeIsNotFilled();
    void twoOffsetsMixMaterials();
    void sameSitesAndOrderAsFullSearch_data();
    void sameSitesAndOrderAsFullSearch();
    void degenerateInputsGiveSoundResults();
    void absurdCountsAreRefusedQuickly();
    void atomReadsItsMaterialSafely();
};

void TestAtoms::simpleCubicFillsIntegerPoints() {
    MaterialsManager registry;
    Material *si = cubic(QStringLiteral("Si"), {Coord(0, 0, 0, QStringLiteral("Si"))});
    registry.addMaterial(si);
    Volum v = boxOf(si, 2, 2, 2);
    QVERIFY(v.calculateAtomicPoints(registry));
    QVERIFY(v.areAtomsCalculated());
    QCOMPARE(v.getNumberOfAtoms(), 27);
    const Atom &first = v.getAtoms()[0];
    QCOMPARE(first.getX(), 0.0);
    QCOMPARE(first.getZ(), 0.0);
    QCOMPARE(v.getAtoms()[1].getZ(), 1.0);
    QCOMPARE(v.getAtoms()[1].getX(), 0.0);
    QCOMPARE(v.getAtoms().last().getX(), 2.0);
    for (const Atom &a : v.getAtoms()) {
        QCOMPARE(a.getMaterial(), si);
        QVERIFY(a.isOffset());
        QCOMPARE(a.getNOffset(), 0);
        QCOMPARE(a.getMaxOffset(), 1);
    }

    // Atoms stay relative to the origin when the box moves.
    v.move(10, 0, 0);
    QCOMPARE(v.getAtoms()[0].getX(), 0.0);

    // Generating again replaces, never appends.
    QVERIFY(v.calculateAtomicPoints(registry));
    QCOMPARE(v.getNumberOfAtoms(), 27);
}

void TestAtoms::fractionalSizeIsNotFilled() {
    MaterialsManager registry;
    Material *si = cubic(QStringLiteral("Si"), {Coord(0, 0, 0, QStringLiteral("Si"))});
    registry.addMaterial(si);
    Volum v = boxOf(si, 2.9f, 2, 2);
    v.calculateAtomicPoints(registry);
    QCOMPARE(v.getNumberOfAtoms(), 27);
}

void TestAtoms::twoOffsetsMixMaterials() {
    MaterialsManager registry;
    Material *ga = cubic(QStringLiteral("Ga"), {Coord(0, 0, 0, QStringLiteral("Ga")),
                                                Coord(0.5, 0.5, 0.5, QStringLiteral("As"))});
    Material *as = cubic(QStringLiteral("As"), {});
    registry.addMaterial(ga);
    registry.addMaterial(as);
    Volum v = boxOf(ga, 2, 2, 2);
    v.calculateAtomicPoints(registry);
    QCOMPARE(v.getNumberOfAtoms(), 27 + 8);
    for (const Atom &a : v.getAtoms()) {
        QCOMPARE(a.getMaxOffset(), 2);
        const bool half = a.getX() != std::floor(a.getX());
        QCOMPARE(a.getNOffset(), half ? 1 : 0);
        QCOMPARE(a.getMaterial(), half ? as : ga);
    }
    // Loop order: the offset index is innermost, so the half-integer site follows (0, 0, 0).
    QCOMPARE(v.getAtoms()[1].getX(), 0.5);
}

void TestAtoms::sameSitesAndOrderAsFullSearch_data() {
    QTest::addColumn<QList<Coord>>("vectors");
    QTest::addColumn<QList<Coord>>("offsets");
    QTest::addColumn<QList<double>>("sizes");

    const QList<Coord> fcc = {Coord(0, 0, 0), Coord(0.5, 0.5, 0), Coord(0.5, 0, 0.5),
                              Coord(0, 0.5, 0.5)};
    QTest::newRow("cubic with fcc basis")
        << QList<Coord>{Coord(1, 0, 0), Coord(0, 1, 0), Coord(0, 0, 1)} << fcc
        << QList<double>{3, 2, 4};
    QTest::newRow("primitive fcc vectors")
        << QList<Coord>{Coord(0, 0.5, 0.5), Coord(0.5, 0, 0.5), Coord(0.5, 0.5, 0)}
        << QList<Coord>{Coord(0, 0, 0), Coord(0.25, 0.25, 0.25)} << QList<double>{3, 3, 3};
    QTest::newRow("hexagonal") << QList<Coord>{Coord(1, 0, 0), Coord(-0.5, std::sqrt(3.0) / 2, 0),
                                               Coord(0, 0, 1.6)}
                               << QList<Coord>{Coord(0, 0, 0), Coord(0.5, 0.2886751, 0.8)}
                               << QList<double>{4, 4, 3};
    QTest::newRow("negative components and offsets outside the cell")
        << QList<Coord>{Coord(-0.7, 0.1, 0), Coord(0.2, -0.9, 0.3), Coord(0, 0.4, -1.1)}
        << QList<Coord>{Coord(-1.5, 2, 0.1), Coord(0.3, -0.2, 5)} << QList<double>{3, 2, 3};
    QTest::newRow("flat lattice with a zero vector")
        << QList<Coord>{Coord(0.5, 0, 0), Coord(0, 0, 0), Coord(0, 0.5, 0)}
        << QList<Coord>{Coord(0, 0, 0)} << QList<double>{2, 2, 2};
    QTest::newRow("collinear vectors")
        << QList<Coord>{Coord(1, 1, 0), Coord(2, 2, 0), Coord(0, 0, 1)}
        << QList<Coord>{Coord(0, 0, 0)} << QList<double>{3, 3, 1};
    QTest::newRow("zero sizes give one plane")
        << QList<Coord>{Coord(1, 0, 0), Coord(0, 1, 0), Coord(0, 0, 1)}
        << QList<Coord>{Coord(0, 0, 0)} << QList<double>{0, 3, 0.5};
    QTest::newRow("all vectors zero")
        << QList<Coord>{Coord(), Coord(), Coord()}
        << QList<Coord>{Coord(0, 0, 0), Coord(0.5, 0.5, 0.5), Coord(-1, 0, 0)}
        << QList<double>{1, 1, 1};
}

void TestAtoms::sameSitesAndOrderAsFullSearch() {
    QFETCH(QList<Coord>, vectors);
    QFETCH(QList<Coord>, offsets);
    QFETCH(QList<double>, sizes);
    MaterialsManager registry;
    auto *m =
        new Material(QStringLiteral("X"), 1, Qt::red, vectors[0], vectors[1], vectors[2], offsets);
    registry.addMaterial(m);
    Volum v = boxOf(m, float(sizes[0]), float(sizes[1]), float(sizes[2]));
    QVERIFY(v.calculateAtomicPoints(registry));
    const QList<Site> expected = referenceSites(*m, v.getxSize(), v.getySize(), v.getzSize());
    QVERIFY(!expected.isEmpty());
    QCOMPARE(sitesOf(v).size(), expected.size());
    QVERIFY(sitesOf(v) == expected);
}

void TestAtoms::degenerateInputsGiveSoundResults() {
    MaterialsManager registry;
    Material *noOffsets = cubic(QStringLiteral("Empty"), {});
    Material *orphan = cubic(QStringLiteral("Orphan"), {Coord(0, 0, 0, QStringLiteral("Nope")),
                                                        Coord(0.5, 0.5, 0.5, QString())});
    Material *nanVector =
        new Material(QStringLiteral("Bad"), 1, Qt::red, Coord(std::nan(""), 0, 0), Coord(0, 1, 0),
                     Coord(0, 0, 1), {Coord(0, 0, 0, QStringLiteral("Bad"))});
    registry.addMaterial(noOffsets);
    registry.addMaterial(orphan);
    registry.addMaterial(nanVector);

    Volum a = boxOf(noOffsets, 2, 2, 2);
    QVERIFY(a.calculateAtomicPoints(registry));
    QCOMPARE(a.getNumberOfAtoms(), 0);
    QVERIFY(a.areAtomsCalculated());

    // Offsets naming no registered material give atoms without one.
    Volum b = boxOf(orphan, 1, 1, 1);
    QVERIFY(b.calculateAtomicPoints(registry));
    QCOMPARE(b.getNumberOfAtoms(), 9);
    for (const Atom &atom : b.getAtoms()) {
        QCOMPARE(atom.getMaterial(), nullptr);
        QCOMPARE(atom.getMaterialName(), QString());
    }

    Volum c = boxOf(nullptr, 2, 2, 2);
    QVERIFY(!c.calculateAtomicPoints(registry));
    QCOMPARE(c.getNumberOfAtoms(), 0);

    Volum d = boxOf(nanVector, 2, 2, 2);
    QVERIFY(!d.calculateAtomicPoints(registry));
    QCOMPARE(d.getNumberOfAtoms(), 0);

    Material *si = cubic(QStringLiteral("Si"), {Coord(0, 0, 0, QStringLiteral("Si"))});
    registry.addMaterial(si);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    Volum e = boxOf(si, nan, 1, 1);
    QVERIFY(!e.calculateAtomicPoints(registry));
    QCOMPARE(e.getNumberOfAtoms(), 0);
    Volum f = boxOf(si, inf, 1, 1);
    QVERIFY(!f.calculateAtomicPoints(registry));
    Volum g = boxOf(si, -2, 1, 1);
    QVERIFY(g.calculateAtomicPoints(registry));
    QCOMPARE(g.getNumberOfAtoms(), 0);
    Volum h = boxOf(si, 0, 0, 0);
    QVERIFY(h.calculateAtomicPoints(registry));
    QCOMPARE(h.getNumberOfAtoms(), 1);

    // A box that already had atoms loses them when there is nothing to generate.
    Volum i = boxOf(si, 1, 1, 1);
    i.calculateAtomicPoints(registry);
    i.setMaterial(nullptr);
    i.calculateAtomicPoints(registry);
    QCOMPARE(i.getNumberOfAtoms(), 0);
}

void TestAtoms::absurdCountsAreRefusedQuickly() {
    MaterialsManager registry;
    auto *tiny = new Material(QStringLiteral("Tiny"), 1, Qt::red, Coord(1e-7, 0, 0),
                              Coord(0, 1e-7, 0), Coord(0, 0, 1e-7), {Coord(0, 0, 0)});
    auto *sheet = new Material(QStringLiteral("Sheet"), 1, Qt::red, Coord(1e-6, 0, 0),
                               Coord(1e-6, 0, 0), Coord(0, 0, 0), {Coord(0, 0, 0)});
    registry.addMaterial(tiny);
    registry.addMaterial(sheet);
    QElapsedTimer timer;
    timer.start();
    Volum a = boxOf(tiny, 100, 100, 100);
    QVERIFY(!a.calculateAtomicPoints(registry));
    QCOMPARE(a.getNumberOfAtoms(), 0);
    QVERIFY(a.areAtomsCalculated());
    // Collinear vectors cannot be bounded by the box; the search limit applies.
    Volum b = boxOf(sheet, 1000, 1, 1);
    QVERIFY(!b.calculateAtomicPoints(registry));
    Volum c = boxOf(tiny, 3.0e38f, 1, 1);
    QVERIFY(!c.calculateAtomicPoints(registry));
    // Generous bound; a full search would take hours.
    QVERIFY2(timer.elapsed() < 60000, "refusing an absurd lattice must not search it");
}

void TestAtoms::atomReadsItsMaterialSafely() {
    Material si(QStringLiteral("Si"), 14, Qt::gray, Coord(), Coord(), Coord(), {});
    Atom atom(1, 2, 3, &si, false);
    QCOMPARE(atom.getNOffset(), 0);
    QCOMPARE(atom.getMaxOffset(), 1);
    QVERIFY(!atom.isSelected());
    QCOMPARE(atom.getMaterialName(), QStringLiteral("Si"));
    QCOMPARE(atom.getMaterialIndex(), 14);
    atom.move(0.5f, -1, 0);
    QCOMPARE(atom.getX(), 1.5);
    QCOMPARE(atom.getY(), 1.0);
}

QTEST_GUILESS_MAIN(TestAtoms)
#include "tst_atoms.moc"
