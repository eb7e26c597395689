// Frame, picking and idle figures of the 3D view, each beside its literal reference where one
// exists (redrawing every 11 ms; the grid in immediate mode; one quadric sphere per atom):
//   - idle CPU of a shown view with nothing happening, and of the 11 ms redraw;
//   - a design of n x n x n boxes with meshes: solid frame, pick, atomic frame;
//   - the grid alone, cached and literal;
//   - a volum of about a million atoms (--atoms): atomic frame, literal frame, pick.
//
//   viewbench [--side n] [--size s] [--atoms n] [--project file] [--frames f]
//             [--show solid|atomic|grid] [--seconds t]
//
// --project measures a project file's design instead of the boxes (its atoms computed where it
// has none). Run it under a display (xvfb-run -a build/bin/viewbench). With --show the view stays
// on screen for t seconds in the chosen mode instead of being measured, e.g. for a screenshot.

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
#include <QOpenGLWidget>
#include <QTest>
#include <QTimer>

#include <GL/gl.h>
#include <GL/glu.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

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

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Share of one core the process uses while the event loop runs for `ms` milliseconds.
double idleCpuPercent(int ms) {
    QTest::qWait(300); // let the first frames settle
    const double before = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(ms);
    return 100.0 * (cpuSeconds() - before) / (wall.nsecsElapsed() / 1e9);
}

// The frame as drawn before caching: the grid in immediate mode at every frame, and one GLU
// quadric sphere (10 x 10, created and deleted) per atom. Same camera and projection as the view.
class LiteralView : public QOpenGLWidget {
public:
    LiteralView(SphericalCamera &camera, const std::vector<float> &atoms)
        : camera(camera), atoms(atoms) {
        QSurfaceFormat f = format();
        f.setVersion(2, 1);
        f.setProfile(QSurfaceFormat::CompatibilityProfile);
        f.setDepthBufferSize(24);
        setFormat(f);
    }
    bool grid = false;
    std::size_t atomsDrawn = 0;

protected:
    void initializeGL() override {
        glClearColor(0.85f, 0.85f, 0.85f, 0.0f);
        glEnable(GL_DEPTH_TEST);
    }
    void paintGL() override {
        glViewport(0, 0, width(), height());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, double(width()) / height(), 0.01,
                       std::max(2000.0, camera.GetRadius() * 10.0));
        glMatrixMode(GL_MODELVIEW);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        camera.Look();
        if (grid) {
            glColor3f(0, 0, 0);
            glBegin(GL_LINES);
            for (int i = 0; i < 9999; ++i) {
                glVertex3d(i, 0, 0), glVertex3d(i, 9999, 0);
                glVertex3d(0, i, 0), glVertex3d(9999, i, 0);
                glVertex3d(0, 0, i), glVertex3d(9999, 0, i);
                glVertex3d(i, 0, 0), glVertex3d(i, 0, 9999);
                glVertex3d(0, i, 0), glVertex3d(0, i, 9999);
                glVertex3d(0, 0, i), glVertex3d(0, 9999, i);
            }
            glEnd();
        }
        for (std::size_t i = 0; i < atomsDrawn; ++i) {
            GLUquadric *quadric = gluNewQuadric();
            gluQuadricNormals(quadric, GLU_SMOOTH);
            glColor3f(0.27f, 0.51f, 0.71f);
            glPushMatrix();
            glTranslated(atoms[3 * i], atoms[3 * i + 1], atoms[3 * i + 2]);
            gluSphere(quadric, 0.1, 10, 10);
            glPopMatrix();
            gluDeleteQuadric(quadric);
        }
    }

private:
    SphericalCamera &camera;
    const std::vector<float> &atoms;
};

void lookAtAll(GLWidget &view, const QList<Volum> &volums, double elevation = 0.6) {
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
    view.camera().SetPosition(extent * 1.8, -0.7853981633974483, elevation);
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
    parser.addOption({"atoms", "Atoms of the large atomic design, about.", "n", "1000000"});
    parser.addOption({"show", "Show the view in this mode instead of measuring.", "mode"});
    parser.addOption({"seconds", "How long --show keeps the view up.", "t", "30"});
    parser.process(app);
    const int side = std::max(1, parser.value("side").toInt());
    const float size = std::max(1.0f, parser.value("size").toFloat());
    const int frames = std::max(1, parser.value("frames").toInt());
    const qint64 atomTarget = std::max<qint64>(8, parser.value("atoms").toLongLong());

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
    lookAtAll(view, volums);
    view.show();

    if (parser.isSet("show")) {
        const QString mode = parser.value("show");
        view.setRMode(mode == "atomic" ? GLWidget::kAtomicMode : GLWidget::kSolidMode);
        view.setGrid(mode == "grid");
        QTimer::singleShot(parser.value("seconds").toInt() * 1000, &app, &QApplication::quit);
        return app.exec();
    }

    std::printf("idle view, %lld volums: %.1f %% CPU (literal 11 ms redraw: ",
                static_cast<long long>(volums.size()), idleCpuPercent(2000));
    {
        QTimer literalRedraw;
        QObject::connect(&literalRedraw, &QTimer::timeout, &view, [&] { view.update(); });
        literalRedraw.start(11);
        std::printf("%.1f %% CPU)\n", idleCpuPercent(2000));
    }
    view.setRMode(GLWidget::kAtomicMode);
    std::printf("idle view, atomic, %lld atoms: %.1f %% CPU\n", static_cast<long long>(atoms),
                idleCpuPercent(2000));
    view.setRMode(GLWidget::kSolidMode);

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
    view.hide();

    // The grid alone (an empty design: unit spacing over the whole octant), cached and literal.
    QList<Volum> none;
    std::vector<float> noAtoms;
    GLWidget gridView(&none, GLWidget::kSolidMode);
    gridView.resize(800, 600);
    gridView.setAxis(false);
    gridView.setGrid(true);
    gridView.camera().SetPosition(60.0, -0.7853981633974483, 0.6);
    gridView.show();
    LiteralView literalGrid(gridView.camera(), noAtoms);
    literalGrid.resize(800, 600);
    literalGrid.grid = true;
    literalGrid.show();
    if (!QTest::qWaitForWindowExposed(&literalGrid))
        return 1;
    for (int round = 0; round < 2; ++round) { // alternate, so that both see the same machine
        const double cached = timeFrames(gridView, frames).perFrameMs;
        literalGrid.grabFramebuffer();
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < frames; ++i)
            literalGrid.grabFramebuffer();
        const double literal = timer.nsecsElapsed() / 1e6 / frames;
        std::printf("grid only frame:    %8.2f ms (literal immediate mode: %.2f ms)\n", cached,
                    literal);
    }
    gridView.hide();
    literalGrid.hide();

    // About a million atoms in one volum of a simple cubic lattice, seen whole.
    const int edge = std::max(1, int(std::lround(std::cbrt(double(atomTarget))) - 1));
    QList<Volum> lattice;
    {
        Volum volum(QStringLiteral("lattice"), 10, 10, 10);
        volum.addCoords(Coord(0, 0, 0), float(edge), float(edge), float(edge));
        auto *cubic = new Material(QStringLiteral("BenchCubic"), 99, QColor(70, 130, 180),
                                   Coord(1, 0, 0), Coord(0, 1, 0), Coord(0, 0, 1),
                                   {Coord(0, 0, 0, QStringLiteral("BenchCubic"))});
        registry->addMaterial(cubic);
        volum.setMaterial(cubic);
        QElapsedTimer timer;
        timer.start();
        volum.calculateAtomicPoints();
        std::printf("atom generation, %d^3 cubic box: %.1f ms\n", edge, timer.nsecsElapsed() / 1e6);
        volum.getAtoms()[volum.getNumberOfAtoms() / 2].setSelected(true);
        lattice << volum;
    }
    std::vector<float> positions;
    for (const Atom &atom : lattice[0].getAtoms())
        positions.insert(positions.end(),
                         {float(atom.getX()), float(atom.getY()), float(atom.getZ())});
    GLWidget atomView(&lattice, GLWidget::kAtomicMode);
    atomView.resize(800, 600);
    lookAtAll(atomView, lattice);
    atomView.show();
    if (!QTest::qWaitForWindowExposed(&atomView))
        return 1;
    QElapsedTimer firstFrame;
    firstFrame.start();
    atomView.grabFramebuffer();
    const double buildMs = firstFrame.nsecsElapsed() / 1e6;
    const Measure cloud = timeFrames(atomView, frames);
    const Measure cloudPick = timePicks(atomView, std::max(1, frames / 4));
    LiteralView literalAtoms(atomView.camera(), positions);
    literalAtoms.resize(800, 600);
    literalAtoms.atomsDrawn = std::min<std::size_t>(positions.size() / 3, 20000);
    literalAtoms.show();
    if (!QTest::qWaitForWindowExposed(&literalAtoms))
        return 1;
    literalAtoms.grabFramebuffer();
    QElapsedTimer literalTimer;
    literalTimer.start();
    literalAtoms.grabFramebuffer();
    const double literalMs = literalTimer.nsecsElapsed() / 1e6 * double(positions.size() / 3) /
                             double(literalAtoms.atomsDrawn);
    std::printf("atomic frame, %zu atoms, 800 x 600: %.2f ms (first frame with the cache built: "
                "%.1f ms; literal per-atom sphere: %.0f ms, from %zu atoms)\n",
                positions.size() / 3, cloud.perFrameMs, buildMs, literalMs,
                literalAtoms.atomsDrawn);
    std::printf("pick (atomic), %zu atoms:  %8.2f ms\n", positions.size() / 3,
                cloudPick.perFrameMs);
    return 0;
}
