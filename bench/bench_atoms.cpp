// Times the generation of a volum's atoms for a few realistic lattices and boxes, and compares the
// hexagonal 50^3 box, cold (first call into a fresh list) and warm (generated again), with the
// literal full search of the rule (every index from -3N to 3N), checking that the lists agree.
// Usage: bench_atoms [repetitions]

#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/volum.h"

#include "literalsites.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Case {
    const char *name;
    Coord a1, a2, a3;
    QList<Coord> basis;
    float size;
};

double msSince(const QElapsedTimer &timer) {
    return timer.nsecsElapsed() / 1e6;
}

// Cold: each call fills a fresh volum's empty list (best of a few fresh volums); warm: the same
// volum generated again, its list's storage kept. Literal: the full search, once.
void compareWithLiteral(const Coord &a1, const Coord &a2, const Coord &a3,
                        const QList<Coord> &offsets, float size, int repetitions) {
    MaterialsManager registry;
    auto *material = new Material(QStringLiteral("X"), 1, Qt::gray, a1, a2, a3, offsets);
    registry.addMaterial(material);
    const auto freshVolum = [&] {
        Volum volum(QStringLiteral("box"), 1, 1, 1);
        volum.setMaterial(material);
        volum.addCoords(Coord(0, 0, 0), size, size, size);
        return volum;
    };

    double cold = 1e300;
    for (int r = 0; r < repetitions; ++r) {
        Volum volum = freshVolum();
        QElapsedTimer timer;
        timer.start();
        volum.calculateAtomicPoints(registry);
        cold = std::min(cold, msSince(timer));
    }
    Volum volum = freshVolum();
    volum.calculateAtomicPoints(registry);
    double warm = 1e300;
    for (int r = 0; r < repetitions; ++r) {
        QElapsedTimer timer;
        timer.start();
        volum.calculateAtomicPoints(registry);
        warm = std::min(warm, msSince(timer));
    }
    QElapsedTimer timer;
    timer.start();
    const std::vector<LatticeSite> literal = literalSites(*material, volum);
    const double literalMs = msSince(timer);

    bool identical = literal.size() == std::size_t(volum.getNumberOfAtoms());
    for (std::size_t i = 0; identical && i < literal.size(); ++i) {
        const Atom &atom = volum.getAtoms()[qsizetype(i)];
        identical = atom.getX() == literal[i][0] && atom.getY() == literal[i][1] &&
                    atom.getZ() == literal[i][2] && atom.getNOffset() == int(literal[i][3]);
    }
    std::printf("hexagonal %.0f^3, %d atoms: cold %.2f ms (%.0fx literal), warm %.2f ms "
                "(%.0fx literal), literal search %.1f ms; lists %s\n",
                double(size), volum.getNumberOfAtoms(), cold, literalMs / cold, warm,
                literalMs / warm, literalMs, identical ? "identical" : "DIFFER");
}

void run(const Case &c, int repetitions) {
    MaterialsManager registry;
    QList<Coord> basis;
    for (Coord o : c.basis) {
        o.setMaterialName(QStringLiteral("X"));
        basis.append(o);
    }
    auto *material = new Material(QStringLiteral("X"), 1, Qt::gray, c.a1, c.a2, c.a3, basis);
    registry.addMaterial(material);
    Volum volum(QStringLiteral("box"), 1, 1, 1);
    volum.setMaterial(material);
    volum.addCoords(Coord(0, 0, 0), c.size, c.size, c.size);

    double best = 1e300;
    for (int r = 0; r < repetitions; ++r) {
        QElapsedTimer timer;
        timer.start();
        volum.calculateAtomicPoints(registry);
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    std::printf("%-34s box %5.0f^3  atoms %9d  best %9.2f ms  %7.1f ns/atom\n", c.name,
                double(c.size), volum.getNumberOfAtoms(), best,
                volum.getNumberOfAtoms() ? best * 1e6 / volum.getNumberOfAtoms() : 0.0);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    // One trace line per atom would dominate the figures.
    QLoggingCategory::setFilterRules(QStringLiteral("karveno.model.atom.debug=false\n"
                                                    "default.debug=false"));
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const double h = std::sqrt(3.0) / 2.0;
    const QList<Coord> fcc = {Coord(0, 0, 0), Coord(0.5, 0.5, 0), Coord(0.5, 0, 0.5),
                              Coord(0, 0.5, 0.5)};
    QList<Coord> diamond = fcc;
    for (const Coord &o : fcc)
        diamond.append(Coord(o.getX() + 0.25, o.getY() + 0.25, o.getZ() + 0.25));

    const Case cases[] = {
        {"simple cubic", Coord(1, 0, 0), Coord(0, 1, 0), Coord(0, 0, 1), {Coord()}, 50},
        {"cubic cell, fcc basis", Coord(1, 0, 0), Coord(0, 1, 0), Coord(0, 0, 1), fcc, 50},
        {"cubic cell, diamond basis", Coord(1, 0, 0), Coord(0, 1, 0), Coord(0, 0, 1), diamond, 50},
        {"primitive fcc vectors, 2 offsets",
         Coord(0, 0.5, 0.5),
         Coord(0.5, 0, 0.5),
         Coord(0.5, 0.5, 0),
         {Coord(), Coord(0.25, 0.25, 0.25)},
         50},
        {"hexagonal, 2 offsets",
         Coord(1, 0, 0),
         Coord(-0.5, h, 0),
         Coord(0, 0, 1.6),
         {Coord(), Coord(0.5, h / 3, 0.8)},
         50},
        {"collinear vectors (no dual bound)",
         Coord(1, 0, 0),
         Coord(2, 0, 0),
         Coord(0, 0, 1),
         {Coord()},
         50},
    };
    for (const Case &c : cases)
        run(c, repetitions);
    compareWithLiteral(Coord(1, 0, 0), Coord(-0.5, h, 0), Coord(0, 0, 1.6),
                       {Coord(0, 0, 0, "X"), Coord(0.5, h / 3, 0.8, "X")}, 50, repetitions);
    return 0;
}
