// karveno-export end to end: the .vtu it writes is read back with an independent reader (Python's
// meshio), and an unreadable project ends with status 2 and nothing written.

#include "io/projectfile.h"
#include "model/material.h"
#include "model/materialsmanager.h"
#include "programs.h"

#include <QtTest>

namespace {

const QString kProgram = QStringLiteral(KARVENO_BINARY_DIR "/bin/karveno-export");
const QString kExample = QStringLiteral(KARVENO_SOURCE_DIR "/examples/classical_mosfet.txt");

// Prints what a user of the file would look at: cell count and types, bounds, the cell data of
// one cell with that cell's centre, and the smallest hexahedron volume (negative when the corner
// order is wrong, which makes ParaView draw cells inside out).
const char kReadBack[] = R"(
import json, sys, meshio, numpy as np
mesh = meshio.read(sys.argv[1])
probe = int(sys.argv[2])
hexes = np.concatenate([b.data for b in mesh.cells if b.type == "hexahedron"])
p = mesh.points[hexes]
volumes = np.einsum("ij,ij->i", p[:, 1] - p[:, 0], np.cross(p[:, 3] - p[:, 0], p[:, 4] - p[:, 0]))
print(json.dumps({
    "cells": sum(len(b.data) for b in mesh.cells),
    "types": sorted({b.type for b in mesh.cells}),
    "min": mesh.points.min(axis=0).tolist(), "max": mesh.points.max(axis=0).tolist(),
    "volum": int(mesh.cell_data["volum"][0][probe]),
    "material": int(mesh.cell_data["material"][0][probe]),
    "kind": int(mesh.cell_data["kind"][0][probe]),
    "centre": p[probe].mean(axis=0).tolist(),
    "smallest": float(volumes.min()),
}))
)";

// A Python 3 that has meshio: Debian's (python3-meshio) first, then the first on the PATH.
QString pythonWithMeshio() {
    for (const QString &python : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")})
        if (runProgram(python, {"-c", "import meshio"}).exitCode == 0)
            return python;
    return QString();
}

int exportStatus(const QStringList &arguments) {
    const Finished f = runProgram(kProgram, arguments, Launch().waitMs(120000));
    qInfo().noquote() << f.err;
    return f.exitCode;
}

} // namespace

class TestKarvenoExport : public QObject {
    Q_OBJECT

    QTemporaryDir work;

private slots:
    // The transistor example with distinct scales per axis and a volum without meshes, which
    // must add no cells.
    void deviceReadsBackInParaviewTerms() {
        const QString python = pythonWithMeshio();
        if (python.isEmpty())
            QSKIP("no Python 3 with meshio (Debian package python3-meshio)");
        MaterialsManager registry;
        ProjectDesign design;
        QVERIFY(readProjectFile(kExample, design, registry).volumsRead);
        design.y = AxisScale{2.5, -9};
        Volum empty("Empty", 0, 4, 4);
        empty.addCoords(Coord(-50, -50, -50), 1, 1, 1);
        empty.setMaterial(registry.getMaterials()->first());
        design.volums.insert(1, empty);
        const QString project = work.filePath("device.txt");
        QVERIFY(writeProjectFile(project, design, registry));

        // Expected: every mesh cell, the bounds of the volums that have cells, in metres.
        qint64 cells = 0;
        qint64 probe = 0; // the first cell of volum 3, past those of volums 1 and 2
        double min[3] = {1e300, 1e300, 1e300}, max[3] = {-1e300, -1e300, -1e300};
        const double scale[3] = {design.x.value(), design.y.value(), design.z.value()};
        for (int n = 0; n < design.volums.size(); ++n) {
            const Volum &v = design.volums[n];
            const qint64 count = qint64(v.getxMalles()) * v.getyMalles() * v.getzMalles();
            if (n < 2)
                probe += count;
            cells += count;
            if (!count)
                continue;
            const double lo[3] = {v.getMinX(), v.getMinY(), v.getMinZ()};
            const double hi[3] = {v.getMaxX(), v.getMaxY(), v.getMaxZ()};
            for (int a = 0; a < 3; ++a) {
                min[a] = std::min(min[a], lo[a] * scale[a]);
                max[a] = std::max(max[a], hi[a] * scale[a]);
            }
        }
        QVERIFY(cells > 1000);

        const QString vtu = work.filePath("device.vtu");
        QCOMPARE(exportStatus({project, "--vtk", vtu}), 0);
        const Finished json = runProgram(python, {"-c", kReadBack, vtu, QString::number(probe)},
                                         Launch().waitMs(120000));
        QVERIFY2(json.exitCode == 0, qPrintable(json.err));
        const QJsonObject read = QJsonDocument::fromJson(json.out.toUtf8()).object();
        QCOMPARE(read["cells"].toInteger(), cells);
        QCOMPARE(read["types"].toArray(), QJsonArray{"hexahedron"});
        for (int a = 0; a < 3; ++a) {
            QVERIFY(qFuzzyCompare(read["min"][a].toDouble() + 1, min[a] + 1));
            QVERIFY(qFuzzyCompare(read["max"][a].toDouble(), max[a]));
        }
        const Volum &channel = design.volums[2];
        QCOMPARE(read["volum"].toInt(), 3);
        QCOMPARE(read["material"].toInt(), channel.getMaterial()->getIndexName());
        QCOMPARE(read["kind"].toInt(), 1); // the channel holds free electrons
        const double lo[3] = {channel.getMinX(), channel.getMinY(), channel.getMinZ()};
        const double hi[3] = {channel.getMaxX(), channel.getMaxY(), channel.getMaxZ()};
        for (int a = 0; a < 3; ++a) {
            const double centre = read["centre"][a].toDouble();
            QVERIFY(centre > lo[a] * scale[a] && centre < hi[a] * scale[a]);
        }
        QVERIFY(read["smallest"].toDouble() > 0);
    }

    void unreadableProjectWritesNothing() {
        const QString out = work.filePath("none.vtu");
        QCOMPARE(exportStatus({work.filePath("missing.txt"), "--vtk", out}), 2);
        QCOMPARE(exportStatus({work.path(), "--xyz", out}), 2);
        QCOMPARE(exportStatus({kExample}), 2); // nothing asked for
        QVERIFY(!QFile::exists(out));
    }
};

QTEST_GUILESS_MAIN(TestKarvenoExport)
#include "tst_karveno_export.moc"
