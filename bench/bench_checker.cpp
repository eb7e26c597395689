// Times the design checker and measures its memory, and prints the figures.
//
//   bench_checker [PROJECT.txt]
//   bench_checker --save FILE    writes the generated device of 10^6 cells to FILE (for profiling)
//
// 1. karveno-check end to end (read, hand-over, check) on the regression designs and on a
//    generated device of 97 volums and about 10^6 cells: wall and CPU time and peak memory
//    (maximum resident set) of the process, each in a process of its own.
//    And on the transistor holding 7.5 million atoms (a file of about 270 MB).
// 2. Hand-over plus checker inside one process on the generated device (best of five runs).
// 3. Checks of a project (default: the transistor of the test suite) whose meshes along x are
//    multiplied.

#include "check/handover.h"
#include "io/projectfile.h"
#include "model/materialsmanager.h"
#include "model/volum.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

const QString kProjects = QStringLiteral(KARVENO_SOURCE_DIR "/tests/app/projects/");
const QString kChecker = QStringLiteral(KARVENO_BINARY_DIR "/bin/karveno-check");

bool load(const QString &path, ProjectDesign &design, MaterialsManager &registry) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    QString text = QString::fromUtf8(file.readAll());
    QTextStream in(&text, QIODevice::ReadOnly);
    readProject(in, design, registry);
    if (design.volums.isEmpty()) {
        std::fprintf(stderr, "%s has no volums\n", qPrintable(path));
        return false;
    }
    return true;
}

qint64 cellCount(const ProjectDesign &design) {
    qint64 cells = 0;
    for (const Volum &v : design.volums)
        cells += qint64(v.getxMalles()) * v.getyMalles() * v.getzMalles();
    return cells;
}

// A long transistor built from the settings of the test suite's transistor (volums in the order
// source, channel, oxide y low, y high, z low, z high, drain): a channel of n x n meshes across,
// clad by oxides one mesh thick, cut into `slabs` slabs of `meshes` meshes along x, between a
// source and a drain of 16 meshes. Source, first slab and drain keep the transistor's volum
// numbers, which its injection settings refer to. One mesh is one length unit on every axis.
ProjectDesign longTransistor(const ProjectDesign &base, int n, int slabs, int meshes) {
    ProjectDesign design = base;
    design.volums.clear();
    const QList<Volum> &t = base.volums;
    const double w = n + 2; // width of the cross-section
    const auto place = [&](const Volum &from, const QString &name, double x, double y, double z,
                           int mx, int my, int mz, double sy, double sz) {
        Volum v = from;
        v.setName(name);
        v.addCoords(Coord(x, y, z), float(mx), float(sy), float(sz));
        v.setNMalles(mx, my, mz);
        design.volums.append(v);
    };
    const int contact = 16;
    place(t[0], "SOURCE", 0, 0, 0, contact, n + 2, n + 2, w, w);
    for (int k = 0; k < slabs; ++k) {
        const double x = contact + double(k) * meshes;
        const QString suffix = QStringLiteral("_%1").arg(k);
        place(t[1], "CHANNEL" + suffix, x, 1, 1, meshes, n, n, n, n);
        place(t[2], "OXIDE_YLOW" + suffix, x, 0, 0, meshes, 1, n + 2, 1, w);
        place(t[3], "OXIDE_YHIGH" + suffix, x, w - 1, 0, meshes, 1, n + 2, 1, w);
        place(t[4], "OXIDE_ZLOW" + suffix, x, 1, 0, meshes, n, 1, n, 1);
        place(t[5], "OXIDE_ZHIGH" + suffix, x, 1, w - 1, meshes, n, 1, n, 1);
        if (k == 0)
            place(t[6], "DRAIN", contact + double(slabs) * meshes, 0, 0, contact, n + 2, n + 2, w,
                  w);
    }
    return design;
}

// The design with `total` atoms spread over its volums, on a lattice inside each.
ProjectDesign withAtoms(const ProjectDesign &base, int total) {
    ProjectDesign design = base;
    const int perVolum = total / design.volums.size();
    for (Volum &volum : design.volums) {
        const Coord origin = volum.getCoords().value(0);
        QList<Atom> atoms;
        atoms.reserve(perVolum);
        for (int n = 0; n < perVolum; ++n) {
            const int i = n % 100, j = (n / 100) % 100, k = n / 10000;
            atoms.append(Atom(origin.getX() + i * 0.05431, origin.getY() + j * 0.05431,
                              origin.getZ() + k * 0.05431, volum.getMaterial(), n % 4 != 0, n % 4,
                              3));
        }
        volum.setAtomsInfo(atoms);
        volum.setWriteAtomsInfo(true);
    }
    return design;
}

// Runs karveno-check on `path` in a child process; prints its time, peak memory and verdict.
void runChecker(const char *what, const QString &path, const char *target) {
    QElapsedTimer timer;
    timer.start();
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        const QByteArray program = kChecker.toLocal8Bit(), file = path.toLocal8Bit();
        execl(program.constData(), program.constData(), file.constData(), nullptr);
        _exit(127);
    }
    close(pipeEnds[1]);
    QByteArray out;
    char buffer[512];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, n);
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double ms = timer.nsecsElapsed() / 1e6;
    const double cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                       (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    std::printf("%-26s %7.0f ms %7.0f ms %8.1f MB  %-20s %s\n", what, ms, cpu,
                usage.ru_maxrss / 1024.0, target, out.trimmed().left(40).constData());
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool save = args.size() == 2 && args[0] == "--save";
    const QString path = !save && !args.isEmpty() ? args[0] : kProjects + "transistor.txt";
    MaterialsManager registry;
    ProjectDesign transistor;
    if (!load(kProjects + "transistor.txt", transistor, registry))
        return 2;

    // The generated device: 5 x 19 + 2 = 97 volums (the checker takes at most 100) and
    // 982 x 32 x 32 cells.
    if (transistor.volums.size() != 7 || transistor.volums[6].getName() != "DRAIN") {
        std::fprintf(stderr, "the transistor's volums are not the expected ones\n");
        return 2;
    }
    const ProjectDesign large = longTransistor(transistor, 30, 19, 50);
    QTemporaryDir work;
    const QString largePath = save ? args[1] : work.filePath("large.txt");
    if (!writeProjectFile(largePath, large, registry)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(largePath));
        return 2;
    }
    if (save)
        return 0;

    std::printf("karveno-check, whole process (read, hand-over, check)\n");
    std::printf(
        "(wall time, and the CPU time that the process used, which a busy machine does not\n"
        "inflate; peak = maximum resident memory)\n");
    std::printf("%-26s %10s %10s %11s  %-20s %s\n", "design", "wall", "CPU", "peak", "target",
                "verdict");
    runChecker("dirac_micrometre.txt", kProjects + "dirac_micrometre.txt", "<= 1 s, <= 200 MB");
    runChecker("wave_cells_9001.txt", kProjects + "wave_cells_9001.txt", "");
    const QByteArray largeName = QStringLiteral("%1 volums, %2 cells")
                                     .arg(large.volums.size())
                                     .arg(cellCount(large))
                                     .toLatin1();
    runChecker(largeName.constData(), largePath, "<= 0.3 s, <= 150 MB");
    {
        const QString atomsPath = work.filePath("atoms.txt");
        if (!writeProjectFile(atomsPath, withAtoms(transistor, 7500000), registry)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(atomsPath));
            return 2;
        }
        const QByteArray atomsName = QStringLiteral("7.5 M atoms, %1 MB")
                                         .arg(QFileInfo(atomsPath).size() / 1000000)
                                         .toLatin1();
        runChecker(atomsName.constData(), atomsPath, "<= 3 s");
    }

    std::printf("\nhand-over and checker in one process, %s (best of 5)\n", largeName.constData());
    double best = 1e30;
    CheckVerdict verdict;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        verdict = checkDesign(large, registry);
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    std::printf("%10.1f ms  %s\n", best, qPrintable(verdict.trimmed().left(60)));

    ProjectDesign base;
    MaterialsManager baseRegistry;
    if (!load(path, base, baseRegistry))
        return 2;
    std::printf("\n%s with its meshes along x multiplied\n", qPrintable(QDir(path).dirName()));
    std::printf("%10s %12s %10s  %s\n", "x factor", "cells", "ms", "verdict");
    for (const int factor : {1, 10, 100, 1000, 2000}) {
        ProjectDesign design = base;
        for (Volum &v : design.volums)
            v.setNMalles(v.getxMalles() * factor, v.getyMalles(), v.getzMalles());
        QElapsedTimer timer;
        timer.start();
        const CheckVerdict verdict = checkDesign(design, baseRegistry);
        const double ms = timer.nsecsElapsed() / 1e6;
        std::printf("%10d %12lld %10.1f  %s\n", factor, static_cast<long long>(cellCount(design)),
                    ms, qPrintable(verdict.trimmed().left(60)));
    }
    return 0;
}
