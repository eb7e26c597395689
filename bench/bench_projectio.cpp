// Save and load of a project of 10^6 atoms through src/io, in MB/s, beside the text stream's
// token-by-token path that the atoms section took before (the literal reference): writing the
// atoms with QTextStream's number formatting, reading them with its extractions. Checks that the
// atoms are written with the same bytes both ways and that the file reads back whole.
// Usage: bench_projectio [atoms]

#include "io/projectfile.h"
#include "io/tokenreader.h"
#include "model/categorywriter.h"
#include "model/material.h"
#include "model/materialsmanager.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

// A silicon-like lattice cut into ten volums.
ProjectDesign design(MaterialsManager &registry, int atoms) {
    auto *si = new Material("Silicon", 14, QColor(120, 120, 200), Coord(0.5431, 0, 0),
                            Coord(0, 0.5431, 0), Coord(0, 0, 0.5431), {Coord(0, 0, 0, "Silicon")});
    registry.addMaterial(si);
    ProjectDesign d;
    const int perVolum = atoms / 10;
    for (int v = 0; v < 10; ++v) {
        Volum volum(QStringLiteral("V%1").arg(v), 10, 10, 10);
        volum.setMaterial(si);
        volum.addCoords(Coord(v * 60.0, 0, 0), 60, 60, 60);
        volum.setWriteAtomsInfo(true);
        QList<Atom> list;
        list.reserve(perVolum);
        for (int n = 0; n < perVolum; ++n) {
            const int i = n % 100, j = (n / 100) % 100, k = n / 10000;
            list.append(Atom(i * 0.5431 + 0.135775 * (n % 4), j * 0.5431 + 0.135775 * (n % 2),
                             k * 0.5431, si, n % 4 != 0, n % 4, 3));
        }
        volum.setAtomsInfo(list);
        d.volums.append(volum);
    }
    return d;
}

// What `write` writes into a text stream on a buffer.
template <class Write> QByteArray written(Write write) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QTextStream out(&buffer);
    write(out);
    out.flush();
    return bytes;
}

// The atoms sections as the stream wrote them, number by number.
void writeLiteralAtoms(QTextStream &out, const ProjectDesign &d) {
    setDesignNumberFormat(out);
    for (int v = 0; v < d.volums.size(); ++v) {
        const Volum &volum = d.volums[v];
        out << volum.getAtoms().size() << '\n';
        for (const Atom &atom : volum.getAtoms()) {
            out << atom.getX() << ' ' << atom.getY() << ' ' << atom.getZ() << '\n';
            out << materialWord(atom.getMaterial()) << '\n';
            out << atom.getMaterialIndex() << '\n';
            out << v << '\n';
            out << atom.offsetNumber() << '\n';
        }
    }
}

// Processor time of this process since the timer was (re)started: the machine is shared, and
// wall-clock time would mostly measure the other processes.
struct CpuTimer {
    std::clock_t start = std::clock();
    void restart() { start = std::clock(); }
};

double seconds(CpuTimer &timer) {
    return double(std::clock() - timer.start) / CLOCKS_PER_SEC;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("karveno.model.atom.debug=false\n"
                                                    "default.debug=false"));
    const int atoms = argc > 1 ? std::atoi(argv[1]) : 1000000;
    MaterialsManager registry;
    const ProjectDesign d = design(registry, atoms);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("project.txt"));
    CpuTimer timer;

    if (!writeProjectFile(path, d, registry)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    const double save = seconds(timer);
    const double megabytes = double(QFileInfo(path).size()) / 1e6;

    timer.restart();
    MaterialsManager readRegistry;
    ProjectDesign read;
    const ProjectReadResult result = readProjectFile(path, read, readRegistry);
    const double load = seconds(timer);
    qint64 readAtomsCount = 0;
    for (const Volum &v : read.volums)
        readAtomsCount += v.getNumberOfAtoms();
    if (!result.volumsRead || !result.problems.isEmpty() || readAtomsCount != 10 * (atoms / 10)) {
        std::fprintf(stderr, "the project did not read back whole\n");
        return 1;
    }

    // The atoms sections alone: today's formatting and reading against the stream's.
    timer.restart();
    const QByteArray literal = written([&](QTextStream &out) { writeLiteralAtoms(out, d); });
    const double literalWrite = seconds(timer);
    timer.restart();
    const QByteArray fast = written([&](QTextStream &out) {
        for (int v = 0; v < d.volums.size(); ++v)
            d.volums[v].writeAtomsInfo(out, v);
    });
    const double fastWrite = seconds(timer);
    if (literal != fast) {
        const QList<QByteArray> a = literal.split('\n'), b = fast.split('\n');
        for (qsizetype n = 0; n < a.size(); ++n) {
            if (a[n] != b.value(n)) {
                std::fprintf(stderr, "line %lld: \"%s\" instead of \"%s\"\n", n + 1,
                             b.value(n).constData(), a[n].constData());
                break;
            }
        }
        std::fprintf(stderr, "the atoms differ from the stream's bytes\n");
        return 1;
    }
    const double atomMegabytes = double(literal.size()) / 1e6;

    timer.restart();
    {
        QTextStream in(literal);
        in.setLocale(QLocale::c());
        for (int v = 0; v < 10; ++v) {
            int count = 0;
            in >> count;
            for (int n = 0; n < count; ++n) {
                double x, y, z;
                QString word;
                int index, volum, offset;
                in >> x >> y >> z >> word >> index >> volum >> offset;
            }
        }
    }
    const double literalRead = seconds(timer);
    timer.restart();
    {
        TokenReader in(QString::fromLatin1(literal));
        for (int v = 0; v < 10; ++v) {
            const int count = in.readInt();
            for (int n = 0; n < count; ++n) {
                in.readReal();
                in.readReal();
                in.readReal();
                in.readWordView();
                in.readInt();
                in.readInt();
                in.readInt();
            }
        }
    }
    const double fastRead = seconds(timer);

    std::printf("project of %d atoms, %.1f MB\n", 10 * (atoms / 10), megabytes);
    std::printf("processor time; save through src/io:  %6.3f s  %6.0f MB/s\n", save,
                megabytes / save);
    std::printf("  load through src/io:  %6.3f s  %6.0f MB/s  (read back whole, no problems)\n",
                load, megabytes / load);
    std::printf("atoms sections, %.1f MB, same bytes both ways\n", atomMegabytes);
    std::printf("  write: %6.3f s  %6.0f MB/s   text stream (literal): %6.3f s  %6.0f MB/s\n",
                fastWrite, atomMegabytes / fastWrite, literalWrite, atomMegabytes / literalWrite);
    std::printf("  read:  %6.3f s  %6.0f MB/s   text stream (literal): %6.3f s  %6.0f MB/s\n",
                fastRead, atomMegabytes / fastRead, literalRead, atomMegabytes / literalRead);
    return 0;
}
