// Frame and picking times of the 3D view for a synthetic design: a cube of n x n x n boxes with
// meshes, drawn solid, with the grid, and as atoms. Prints one line per measurement.
//
//   viewbench [--side n] [--size s] [--project file] [--frames f] [--show solid|atomic|grid]
//             [--seconds t]
//
// --project measures a project file's design instead (its atoms computed where it has none).
// Run it under a display (xvfb-run -a bench/viewbench). With --show the view stays on screen for
// t seconds in the chosen mode instead of being measured, e.g. to take a screenshot.

#include "io/projectfile.h"
#include "model/coord.h"
#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/volum.h"
#include "view/camera.h"
#include "view/glwidget.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

struct Measure {
    double perFrameMs;
    int frames;
};

Measure timeFrames(GLWidget &view, int frames) {
    view.grabFramebuffer(); // warm up
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < frames; ++i) {
        view.grabFramebuffer(); // draws the frame and waits for it
    }
    return {double(timer.nsecsElapsed()) / 1e6 / frames, frames};
}

Measure timePicks(GLWidget &view, int picks) {
    QElapsedTimer timer;
    timer.start();
    double x, y, z;
    for (int i = 0; i < picks; ++i) {
        view.transled2Dto3DCoords(view.width() / 2 + i % 7, view.height() / 2, &x, &y, &z);
    }
    return {double(timer.nsecsElapsed()) / 1e6 / picks, picks};
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("karveno.model.atom.debug=false\n"
                                                    "karveno.model.volum.debug=false"));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"side", "Boxes along each axis.", "n", "4"});
    parser.addOption({"size", "Edge length of each box.", "s", "4"});
    parser.addOption({"project", "Measure the design of this project file.", "file"});
    parser.addOption({"frames", "Frames per measurement.", "f", "20"});
    parser.addOption({"show", "Show the view in this mode instead of measuring.", "mode"});
    parser.addOption({"seconds", "How long --show keeps the view up.", "t", "30"});
    parser.process(app);
    const int side = std::max(1, parser.value("side").toInt());
    const float size = std::max(1.0f, parser.value("size").toFloat());
    const int frames = std::max(1, parser.value("frames").toInt());

    auto *registry = MaterialsManager::getInstance();
    QList<Volum> volums;
    if (parser.isSet("project")) {
        ProjectDesign design;
        const ProjectReadResult read = readProjectFile(parser.value("project"), design, *registry);
        if (!read.opened) {
            std::fprintf(stderr, "cannot read %s: %s\n", qPrintable(parser.value("project")),
                         qPrintable(read.error));
            return 1;
        }
        volums = design.volums;
    } else {
        const QColor colours[] = {QColor(70, 130, 180), QColor(205, 133, 63), QColor(60, 179, 113)};
        for (int m = 0; m < 3; ++m) {
            const QString name = QStringLiteral("Mat%1").arg(m);
            registry->addMaterial(new Material(name, m, colours[m], Coord(1, 0, 0), Coord(0, 1, 0),
                                               Coord(0, 0, 1), {Coord(0, 0, 0, name)}));
        }
        const float gap = size * 0.25f;
        for (int i = 0; i < side; ++i) {
            for (int j = 0; j < side; ++j) {
                for (int k = 0; k < side; ++k) {
                    Volum volum(QStringLiteral("v%1_%2_%3").arg(i).arg(j).arg(k), 8, 8, 8);
                    volum.addCoords(Coord(i * (size + gap), j * (size + gap), k * (size + gap)),
                                    size, size, size);
                    volum.setMaterial(registry->getMaterials()->at((i + j + k) % 3));
                    volums << volum;
                }
            }
        }
        volums[0].setSelected(true);
    }
    qsizetype atoms = 0;
    for (Volum &volum : volums) {
        if (!volum.areAtomsCalculated()) {
            volum.calculateAtomicPoints();
        }
        atoms += volum.getAtoms().size();
    }

    GLWidget view(&volums, GLWidget::kSolidMode);
    view.resize(800, 600);
    // Look at the middle of the design from far enough to see all of it.
    double lo[3] = {0, 0, 0}, hi[3] = {1, 1, 1};
    for (int i = 0; i < volums.size(); ++i) {
        const Volum &v = volums[i];
        const double vlo[3] = {v.getMinX(), v.getMinY(), v.getMinZ()};
        const double vhi[3] = {v.getMaxX(), v.getMaxY(), v.getMaxZ()};
        for (int a = 0; a < 3; ++a) {
            lo[a] = i == 0 ? vlo[a] : std::min(lo[a], vlo[a]);
            hi[a] = i == 0 ? vhi[a] : std::max(hi[a], vhi[a]);
        }
    }
    const double extent = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2], 1.0});
    view.focusCameraToVolum((lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2);
    view.camera().SetPosition(extent * 1.8, -0.7853981633974483, 0.6);
    view.show();

    if (parser.isSet("show")) {
        const QString mode = parser.value("show");
        view.setRMode(mode == "atomic" ? GLWidget::kAtomicMode : GLWidget::kSolidMode);
        view.setGrid(mode == "grid");
        QTimer::singleShot(parser.value("seconds").toInt() * 1000, &app, &QApplication::quit);
        return app.exec();
    }

    std::printf("design: %lld volums, %lld atoms, 800 x 600 view\n",
                static_cast<long long>(volums.size()), static_cast<long long>(atoms));
    const Measure solid = timeFrames(view, frames);
    std::printf("solid frame:        %8.2f ms\n", solid.perFrameMs);
    view.setGrid(true);
    const Measure grid = timeFrames(view, frames);
    std::printf("solid + grid frame: %8.2f ms\n", grid.perFrameMs);
    view.setGrid(false);
    const Measure pick = timePicks(view, frames);
    std::printf("pick (solid):       %8.2f ms\n", pick.perFrameMs);
    view.setRMode(GLWidget::kAtomicMode);
    const Measure atomic = timeFrames(view, frames);
    std::printf("atomic frame:       %8.2f ms\n", atomic.perFrameMs);
    const Measure atomicPick = timePicks(view, frames);
    std::printf("pick (atomic):      %8.2f ms\n", atomicPick.perFrameMs);
    return 0;
}
