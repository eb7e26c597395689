// Times full design checks of a project whose meshes along x are multiplied, and prints the
// figures. Usage: bench_checker [PROJECT.txt] (default: the transistor of the test suite).

#include "check/handover.h"
#include "io/projectfile.h"
#include "model/materialsmanager.h"
#include "model/volum.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1])
                 : QStringLiteral(KARVENO_SOURCE_DIR "/tests/app/projects/transistor.txt");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 2;
    }
    QString text = QString::fromUtf8(file.readAll());
    QTextStream in(&text, QIODevice::ReadOnly);
    MaterialsManager registry;
    ProjectDesign base;
    readProject(in, base, registry);
    if (base.volums.isEmpty()) {
        std::fprintf(stderr, "%s has no volums\n", qPrintable(path));
        return 2;
    }

    std::printf("%10s %12s %10s  %s\n", "x factor", "cells", "ms", "verdict");
    for (const int factor : {1, 10, 100, 1000, 2000}) {
        ProjectDesign design = base;
        qint64 cells = 0;
        for (Volum &v : design.volums) {
            v.setNMalles(v.getxMalles() * factor, v.getyMalles(), v.getzMalles());
            cells += qint64(v.getxMalles()) * v.getyMalles() * v.getzMalles();
        }
        QElapsedTimer timer;
        timer.start();
        const CheckVerdict verdict = checkDesign(design, registry);
        const double ms = timer.nsecsElapsed() / 1e6;
        std::printf("%10d %12lld %10.1f  %s\n", factor, static_cast<long long>(cells), ms,
                    qPrintable(verdict.trimmed().left(60)));
    }
    return 0;
}
