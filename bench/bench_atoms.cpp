// Times the generation of a volum's atoms for a few realistic lattices and boxes.
// Usage: bench_atoms [repetitions]

#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/volum.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>

#include <cmath>
#include <cstdio>

namespace {

struct Case {
    const char *name;
    Coord a1, a2, a3;
    QList<Coord> basis;
    float size;
};

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
    return 0;
}
