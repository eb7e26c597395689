// The 3D view under a real (software) OpenGL context: what a frame shows, picking, and the input
// that the main window relies on.

#include "model/atom.h"
#include "model/coord.h"
#include "model/material.h"
#include "model/volum.h"
#include "view/camera.h"
#include "view/glwidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLoggingCategory>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <GL/gl.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace {

const QSize kViewSize(320, 240);

enum class Shade { Background, Material, Selected, Neutral, Other };

Material *blueMaterial() {
    static Material blue("Blue", 1, QColor(0, 0, 255), Coord(1, 0, 0), Coord(0, 1, 0),
                         Coord(0, 0, 1), {Coord(0, 0, 0, "Blue")});
    return &blue;
}

// A 2 x 2 x 2 box centred on the origin, which the view's initial camera looks at.
Volum centredBox(Material *material, int meshes = 2) {
    Volum volum("Box", meshes, meshes, meshes);
    volum.addCoords(Coord(-1, -1, -1), 2.0f, 2.0f, 2.0f);
    volum.setMaterial(material);
    return volum;
}

Shade classify(const QColor &c) {
    const int r = c.red(), g = c.green(), b = c.blue();
    if (std::abs(r - 217) <= 3 && std::abs(g - 217) <= 3 && std::abs(b - 217) <= 3) {
        return Shade::Background;
    }
    if (r > 120 && g < 40 && b < 40) {
        return Shade::Selected;
    }
    if (b > 120 && r < 40 && g < 40) {
        return Shade::Material;
    }
    if (std::abs(r - g) <= 3 && std::abs(g - b) <= 3 && r > 60 && r < 190) {
        return Shade::Neutral;
    }
    return Shade::Other;
}

// Lines and polygons that a piece of drawing sends down the pipeline, counted in feedback mode.
struct Primitives {
    int lines = 0;
    int polygons = 0;
};

Primitives countPrimitives(GLWidget &view, const std::function<void()> &draw) {
    view.makeCurrent();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-50, 50, -50, 50, -50, 50);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    std::vector<GLfloat> buffer(4'000'000);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const int size = glRenderMode(GL_RENDER);

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    Primitives counted;
    if (size < 0) {
        counted.lines = counted.polygons = -1; // overflow
        return counted;
    }
    for (int i = 0; i < size;) {
        const int token = int(buffer[i++]);
        switch (token) {
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            ++counted.lines;
            i += 6;
            break;
        case GL_POLYGON_TOKEN:
            ++counted.polygons;
            i += 1 + 3 * int(buffer[i]);
            break;
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            i += 3;
            break;
        default: // GL_PASS_THROUGH_TOKEN
            i += 1;
            break;
        }
    }
    return counted;
}

} // namespace

class TestGLWidget : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void solidFrameColours_data();
    void solidFrameColours();
    void atomicFrameColoursAtomsOnly_data();
    void atomicFrameColoursAtomsOnly();
    void distantDesignsStayVisibleAndInOrder();
    void atomsSmallerThanAPixelStillShow();
    void axesAndGridFollowTheirSwitches();
    void meshLinesCoverAllSixFaces_data();
    void meshLinesCoverAllSixFaces();
    void oneSpherePerAtomEvenWithoutMaterial();

    void pickingFindsTheFaceUnderTheCursor();
    void pickingTheBackgroundGivesTheFarPlane();
    void viewWithoutContextReportsNoPoints();

    void singleClickReportsOnceAfterTheDelay();
    void doubleClickReportsOnlyTheDoubleClick();
    void viewDeletedBeforeTheClickDelayIsSafe();
    void dragTurnsCameraAndReportsThePoint();
    void plainMoveReportsNothing();
    void contextMenuOffersTheAtomCommands();

    void keysMoveVolumsWithShiftForLargeSteps();
    void keysTurnAndZoomTheCamera();
    void shiftIsForgottenWhenFocusLeaves();
    void wheelZooms();

private:
    void showView(int mode = GLWidget::kSolidMode);
    QColor centrePixel();
    // A mouse move as the window system delivers it, with the buttons held.
    void moveMouse(const QPoint &pos, Qt::MouseButtons buttons = Qt::NoButton);
    QPoint centre() const { return QPoint(kViewSize.width() / 2, kViewSize.height() / 2); }

    QList<Volum> volums;
    std::unique_ptr<GLWidget> view;
};

void TestGLWidget::initTestCase() {
    // Atom construction traces would flood the log.
    QLoggingCategory::setFilterRules(QStringLiteral("karveno.model.atom.debug=false"));
}

void TestGLWidget::init() {
    volums.clear();
}

void TestGLWidget::cleanup() {
    view.reset();
}

void TestGLWidget::showView(int mode) {
    view = std::make_unique<GLWidget>(&volums, mode);
    view->resize(kViewSize);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    view->activateWindow();
}

QColor TestGLWidget::centrePixel() {
    const QImage frame = view->grabFramebuffer();
    return frame.pixelColor(frame.width() / 2, frame.height() / 2);
}

void TestGLWidget::moveMouse(const QPoint &pos, Qt::MouseButtons buttons) {
    QMouseEvent move(QEvent::MouseMove, pos, view->mapToGlobal(pos), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QApplication::sendEvent(view.get(), &move);
}

void TestGLWidget::solidFrameColours_data() {
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("withMaterial");
    QTest::addColumn<int>("expected");
    QTest::newRow("material colour") << true << false << true << int(Shade::Material);
    QTest::newRow("selected is red") << true << true << true << int(Shade::Selected);
    QTest::newRow("hidden is absent") << false << false << true << int(Shade::Background);
    QTest::newRow("hidden even when selected") << false << true << true << int(Shade::Background);
    QTest::newRow("missing material is neutral") << true << false << false << int(Shade::Neutral);
}

void TestGLWidget::solidFrameColours() {
    QFETCH(bool, visible);
    QFETCH(bool, selected);
    QFETCH(bool, withMaterial);
    QFETCH(int, expected);

    Volum box = centredBox(withMaterial ? blueMaterial() : nullptr);
    box.setVisible(visible);
    box.setSelected(selected);
    volums << box;
    // A second, unrelated volum off to the side is drawn whatever the first one is.
    Volum other("Other", 0, 0, 0);
    other.addCoords(Coord(3, -1, -6), 1.0f, 1.0f, 1.0f);
    other.setMaterial(nullptr);
    volums << other;

    showView();
    view->setAxis(false);
    QCOMPARE(int(classify(centrePixel())), expected);
}

void TestGLWidget::atomicFrameColoursAtomsOnly_data() {
    QTest::addColumn<bool>("atomSelected");
    QTest::addColumn<bool>("atomMaterial");
    QTest::addColumn<int>("expected");
    QTest::newRow("material colour") << false << true << int(Shade::Material);
    QTest::newRow("picked atom is red") << true << true << int(Shade::Selected);
    QTest::newRow("missing material is neutral") << false << false << int(Shade::Neutral);
}

void TestGLWidget::atomicFrameColoursAtomsOnly() {
    QFETCH(bool, atomSelected);
    QFETCH(bool, atomMaterial);
    QFETCH(int, expected);

    // The volum is picked, but in atomic mode only its atoms are drawn, in their own colours.
    Volum box = centredBox(blueMaterial());
    box.setSelected(true);
    Atom atom(1, 1, 1, atomMaterial ? blueMaterial() : nullptr, true); // the origin of the world
    atom.setSelected(atomSelected);
    box.setAtomsInfo({atom});
    volums << box;

    showView(GLWidget::kAtomicMode);
    view->setAxis(false);
    QCOMPARE(int(classify(centrePixel())), expected);

    // Beside the atom, where the box would be in solid mode, there is only background.
    const QImage frame = view->grabFramebuffer();
    const qreal ratio = frame.devicePixelRatio();
    const QPoint aside = (centre() + QPoint(25, 0)) * ratio;
    QCOMPARE(int(classify(frame.pixelColor(aside))), int(Shade::Background));

    view->setRMode(GLWidget::kSolidMode);
    QCOMPARE(int(classify(view->grabFramebuffer().pixelColor(aside))), int(Shade::Selected));
}

void TestGLWidget::distantDesignsStayVisibleAndInOrder() {
    // A design hundreds of units across, seen from far enough to take it all in: a picked box
    // just inside a bigger one must stay hidden, and nothing may fall beyond the far plane.
    Volum outer("Outer", 10, 10, 10);
    outer.addCoords(Coord(-300, -300, -300), 600.0f, 600.0f, 600.0f);
    outer.setMaterial(blueMaterial());
    Volum inner("Inner", 1, 1, 1);
    inner.addCoords(Coord(-299, -299, -299), 598.0f, 598.0f, 598.0f);
    inner.setMaterial(blueMaterial());
    inner.setSelected(true);
    volums << outer << inner;

    showView();
    view->setAxis(false);
    view->camera().SetPosition(2500.0, -0.7853981633974483, 0.7853981633974483);
    const QImage frame = view->grabFramebuffer();
    int red = 0, blue = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const Shade shade = classify(frame.pixelColor(x, y));
            red += shade == Shade::Selected ? 1 : 0;
            blue += shade == Shade::Material ? 1 : 0;
        }
    }
    QVERIFY2(blue > 1000, qPrintable(QString::number(blue)));
    QCOMPARE(red, 0);
}

void TestGLWidget::atomsSmallerThanAPixelStillShow() {
    Volum box = centredBox(blueMaterial());
    box.setAtomsInfo({Atom(1, 1, 1, blueMaterial(), true)});
    volums << box;
    showView(GLWidget::kAtomicMode);
    view->setAxis(false);
    // From near to far the sphere is drawn in full, coarse and as a point; it shows at every
    // distance, and can be picked where it is more than a pixel or two across.
    for (const double radius : {3.0, 10.0, 60.0, 150.0}) {
        view->camera().SetPosition(radius, -0.7853981633974483, 0.7853981633974483);
        QCOMPARE(int(classify(centrePixel())), int(Shade::Material));
        if (radius > 10.0) {
            continue;
        }
        double x, y, z;
        QVERIFY(view->transled2Dto3DCoords(centre().x(), centre().y(), &x, &y, &z));
        QVERIFY2(std::fabs(x) < 0.1 && std::fabs(y) < 0.1 && std::fabs(z) < 0.1,
                 qPrintable(QStringLiteral("%1 %2 %3").arg(x).arg(y).arg(z)));
    }
}

void TestGLWidget::axesAndGridFollowTheirSwitches() {
    showView();
    auto count = [this](const std::function<bool(const QColor &)> &match) {
        const QImage frame = view->grabFramebuffer();
        int n = 0;
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                n += match(frame.pixelColor(x, y)) ? 1 : 0;
            }
        }
        return n;
    };
    const auto red = [](const QColor &c) { return c.red() > 200 && c.green() < 50; };
    const auto black = [](const QColor &c) { return c.lightness() < 30; };

    QVERIFY(view->axisShown());
    QVERIFY(!view->gridShown());
    QVERIFY(count(red) > 50);
    QCOMPARE(count(black), 0);

    view->setAxis(false);
    view->setGrid(true);
    QCOMPARE(count(red), 0);
    QVERIFY(count(black) > 2000);
}

void TestGLWidget::meshLinesCoverAllSixFaces_data() {
    QTest::addColumn<int>("xm");
    QTest::addColumn<int>("ym");
    QTest::addColumn<int>("zm");
    QTest::addColumn<int>("lines");
    // Each division position draws four segments, both end positions included.
    QTest::newRow("one mesh: box edges only") << 1 << 1 << 1 << 24;
    QTest::newRow("no mesh: box edges only") << 0 << 0 << 0 << 24;
    QTest::newRow("negative counts") << -3 << 1 << 1 << 24;
    QTest::newRow("mixed") << 2 << 3 << 4 << 48;
    QTest::newRow("huge count is bounded") << 2000000000 << 1 << 1 << 1001 * 4 + 16;
}

void TestGLWidget::meshLinesCoverAllSixFaces() {
    QFETCH(int, xm);
    QFETCH(int, ym);
    QFETCH(int, zm);
    QFETCH(int, lines);
    showView();
    Volum box("Mesh", xm, ym, zm);
    box.addCoords(Coord(-1, -1, -1), 2.0f, 3.0f, 4.0f);
    const Primitives p = countPrimitives(*view, [&box] { box.drawMalles(); });
    QCOMPARE(p.lines, lines);
    QCOMPARE(p.polygons, 0);

    // Six quadrilaterals, which the pipeline may hand on split into two triangles each.
    const Primitives faces = countPrimitives(*view, [&box] { box.drawVolum(); });
    QVERIFY2(faces.polygons == 6 || faces.polygons == 12,
             qPrintable(QString::number(faces.polygons)));
}

void TestGLWidget::oneSpherePerAtomEvenWithoutMaterial() {
    showView();
    Volum box = centredBox(blueMaterial());
    box.setAtomsInfo({Atom(0, 0, 0, blueMaterial(), true), Atom(1, 1, 1, nullptr, true),
                      Atom(2, 2, 2, blueMaterial(), true)});
    const Primitives spheres = countPrimitives(*view, [&box] { box.drawAtomicStructure(); });
    const Primitives one =
        countPrimitives(*view, [] { blueMaterial()->drawMaterial(0, 0, 0, false); });
    QVERIFY(one.polygons > 0);
    QCOMPARE(spheres.polygons, 3 * one.polygons);
}

void TestGLWidget::pickingFindsTheFaceUnderTheCursor() {
    volums << centredBox(blueMaterial());
    showView();
    // From the initial camera the ray through the view's centre meets the top face (y = 1) at
    // (1/sqrt 2, 1, 1/sqrt 2).
    double x, y, z;
    QVERIFY(view->transled2Dto3DCoords(centre().x(), centre().y(), &x, &y, &z));
    QVERIFY2(std::fabs(y - 1.0) < 0.02, qPrintable(QString::number(y)));
    QVERIFY2(std::fabs(x - 0.7071) < 0.1, qPrintable(QString::number(x)));
    QVERIFY2(std::fabs(z - 0.7071) < 0.1, qPrintable(QString::number(z)));

    // A point further left on the screen lies on the box too, nearer the x = -1 side.
    double x2, y2, z2;
    QVERIFY(view->transled2Dto3DCoords(centre().x() - 20, centre().y(), &x2, &y2, &z2));
    QVERIFY(std::fabs(y2 - 1.0) < 0.02 || std::fabs(x2 + 1.0) < 0.02 || std::fabs(z2 - 1.0) < 0.02);
    QVERIFY(x2 < x);
}

void TestGLWidget::pickingTheBackgroundGivesTheFarPlane() {
    showView();
    view->setAxis(false);
    double cam[3];
    view->camera().GetAbsWorldPosition(cam[0], cam[1], cam[2]);
    double xAxis[3], yAxis[3], zAxis[3];
    view->camera().GetLocalAxes(xAxis, yAxis, zAxis);

    for (const QPoint &corner :
         {QPoint(0, 0), QPoint(kViewSize.width() - 1, 0), QPoint(3, kViewSize.height() - 1)}) {
        double p[3];
        QVERIFY(view->transled2Dto3DCoords(corner.x(), corner.y(), &p[0], &p[1], &p[2]));
        // Distance along the viewing direction equals the far clipping distance (to the
        // precision that single-precision matrices allow with a near plane of 0.01).
        double along = 0;
        for (int i = 0; i < 3; ++i) {
            along -= (p[i] - cam[i]) * zAxis[i];
        }
        QVERIFY2(std::fabs(along - 2000.0) < 10.0, qPrintable(QString::number(along)));
    }
}

void TestGLWidget::viewWithoutContextReportsNoPoints() {
    GLWidget hidden(&volums, GLWidget::kSolidMode);
    double x = 1, y = 1, z = 1;
    QVERIFY(!hidden.transled2Dto3DCoords(10, 10, &x, &y, &z));
    QCOMPARE(x, 0.0);
    QCOMPARE(z, 0.0);

    // Clicks there report nothing rather than a made-up point at the origin.
    QSignalSpy clicked(&hidden, &GLWidget::mouseClicked);
    QSignalSpy doubleClicked(&hidden, &GLWidget::mouseDoubleClick);
    QTest::mouseClick(&hidden, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::qWait(300);
    QTest::mouseDClick(&hidden, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicked.count() + doubleClicked.count(), 0);
}

void TestGLWidget::singleClickReportsOnceAfterTheDelay() {
    volums << centredBox(blueMaterial());
    showView();
    QSignalSpy clicked(view.get(), &GLWidget::mouseClicked);
    QSignalSpy doubleClicked(view.get(), &GLWidget::mouseDoubleClick);

    QElapsedTimer elapsed;
    qint64 emittedAfter = -1;
    connect(view.get(), &GLWidget::mouseClicked, this, [&] { emittedAfter = elapsed.elapsed(); });
    elapsed.start();
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, centre());
    QCOMPARE(clicked.count(), 0); // not at the press or release
    QTRY_COMPARE_WITH_TIMEOUT(clicked.count(), 1, 3000);
    QVERIFY2(emittedAfter >= 200, qPrintable(QString::number(emittedAfter)));
    QTest::qWait(300);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(doubleClicked.count(), 0);

    const QList<QVariant> point = clicked.takeFirst();
    QVERIFY(std::fabs(point.at(1).toDouble() - 1.0) < 0.02); // on the top face
}

void TestGLWidget::doubleClickReportsOnlyTheDoubleClick() {
    volums << centredBox(blueMaterial());
    showView();
    QSignalSpy clicked(view.get(), &GLWidget::mouseClicked);
    QSignalSpy doubleClicked(view.get(), &GLWidget::mouseDoubleClick);

    // What the window system delivers for a double click: press, release, double click, release.
    QTest::mousePress(view.get(), Qt::LeftButton, {}, centre());
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, centre(), 20);
    QTest::mouseDClick(view.get(), Qt::LeftButton, {}, centre(), 20);
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, centre(), 20);
    QCOMPARE(doubleClicked.count(), 1);
    QVERIFY(std::fabs(doubleClicked.first().at(1).toDouble() - 1.0) < 0.02);
    QTest::qWait(450);
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(doubleClicked.count(), 1);
}

void TestGLWidget::viewDeletedBeforeTheClickDelayIsSafe() {
    showView();
    QTest::mousePress(view.get(), Qt::LeftButton, {}, centre());
    view.reset(); // New or Open replaces the view while the click is pending
    QTest::qWait(300);
}

void TestGLWidget::dragTurnsCameraAndReportsThePoint() {
    volums << centredBox(blueMaterial());
    showView();
    QSignalSpy moved(view.get(), &GLWidget::mouseMoved);
    const double phi = view->camera().GetPhi();
    const double theta = view->camera().GetTheta();

    QTest::mousePress(view.get(), Qt::LeftButton, {}, centre());
    moveMouse(centre() + QPoint(10, -5), Qt::LeftButton);
    QCOMPARE(moved.count(), 1);
    // Dragging right turns towards negative azimuth; dragging up lowers the camera.
    QVERIFY(std::fabs(view->camera().GetPhi() - (phi - 0.2)) < 1e-9);
    QVERIFY(std::fabs(view->camera().GetTheta() - (theta - 0.1)) < 1e-9);
    const QString text = moved.first().first().toString();
    QVERIFY2(text.startsWith("X: ") && text.contains("  Y: ") && text.contains("  Z: "),
             qPrintable(text));
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, centre() + QPoint(10, -5));

    moveMouse(centre());
    QCOMPARE(moved.count(), 1);
}

void TestGLWidget::plainMoveReportsNothing() {
    volums << centredBox(blueMaterial());
    showView();
    QSignalSpy moved(view.get(), &GLWidget::mouseMoved);
    const double phi = view->camera().GetPhi();
    moveMouse(centre());
    moveMouse(centre() + QPoint(30, 30));
    moveMouse(centre());
    QCOMPARE(moved.count(), 0);
    QCOMPARE(view->camera().GetPhi(), phi);
    // The point under the cursor is still tracked, and the move took the keyboard focus.
    QVERIFY(std::fabs(view->getLastPoint().getY() - 1.0) < 0.02);
    QCOMPARE(view->window()->focusWidget(), view.get());
}

// Runs `handle` once a popup menu is up (the menu runs its own event loop).
static void whenMenuShows(const std::function<void()> &handle) {
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, handle] {
        if (qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            poll->stop();
            poll->deleteLater();
            handle();
        }
    });
    poll->start(20);
}

void TestGLWidget::contextMenuOffersTheAtomCommands() {
    showView();
    QSignalSpy edit(view.get(), &GLWidget::editAtomSignal);
    QSignalSpy remove(view.get(), &GLWidget::deleteAtomSignal);

    QStringList seen;
    bool enabledSeen = true;
    auto inspectAndClose = [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        for (QAction *action : menu->actions()) {
            if (!action->isSeparator()) {
                seen << action->text();
                enabledSeen = enabledSeen && action->isEnabled();
            }
        }
        menu->close();
    };
    whenMenuShows(inspectAndClose);
    QTest::mouseClick(view.get(), Qt::RightButton, {}, centre());
    QCOMPARE(seen, QStringList({"Edit Atom", "Delete Atom"}));
    QVERIFY(!enabledSeen); // nothing picked: both entries disabled

    // Once the window enables them, choosing an entry only emits its signal.
    view->setEditAtomAction(true);
    view->setDeleteAtomAction(true);
    whenMenuShows([] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        menu->actions().at(1)->trigger();
        menu->close();
    });
    QTest::mouseClick(view.get(), Qt::RightButton, {}, centre());
    QCOMPARE(remove.count(), 1);
    QCOMPARE(edit.count(), 0);
}

void TestGLWidget::keysMoveVolumsWithShiftForLargeSteps() {
    showView();
    view->setFocus();
    QSignalSpy moved(view.get(), &GLWidget::volumMoved);
    QTest::keyPress(view.get(), Qt::Key_Shift);
    QTest::keyClick(view.get(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(view.get(), Qt::Key_N, Qt::ShiftModifier);
    QTest::keyRelease(view.get(), Qt::Key_Shift);
    QTest::keyClick(view.get(), Qt::Key_Right);
    QTest::keyClick(view.get(), Qt::Key_Down);
    QTest::keyClick(view.get(), Qt::Key_M);
    QTest::keyClick(view.get(), Qt::Key_Q); // not a view key

    const QList<QList<double>> expected = {{5, 0, 0}, {0, 0, -5}, {1, 0, 0}, {0, -1, 0}, {0, 0, 1}};
    QCOMPARE(moved.count(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(moved.at(i).at(c).toDouble(), expected[i][c]);
        }
    }
}

void TestGLWidget::keysTurnAndZoomTheCamera() {
    showView();
    SphericalCamera &cam = view->camera();
    const double phi = cam.GetPhi();
    QTest::keyClick(view.get(), Qt::Key_D);
    QTest::keyClick(view.get(), Qt::Key_D);
    QTest::keyClick(view.get(), Qt::Key_A);
    QVERIFY(std::fabs(cam.GetPhi() - (phi + 0.05)) < 1e-12);
    // Shift zooms by 36 but never closer than a radius of 1.
    QTest::keyPress(view.get(), Qt::Key_Shift);
    QTest::keyClick(view.get(), Qt::Key_Z, Qt::ShiftModifier);
    QCOMPARE(cam.GetRadius(), 1.0);
    QTest::keyClick(view.get(), Qt::Key_X, Qt::ShiftModifier);
    QCOMPARE(cam.GetRadius(), 37.0);
}

void TestGLWidget::shiftIsForgottenWhenFocusLeaves() {
    showView();
    view->setFocus();
    QSignalSpy moved(view.get(), &GLWidget::volumMoved);
    QTest::keyPress(view.get(), Qt::Key_Shift);
    // The focus goes elsewhere (a dialog opens) and Shift is released there.
    QWidget elsewhere;
    elsewhere.show();
    QVERIFY(QTest::qWaitForWindowExposed(&elsewhere));
    elsewhere.activateWindow();
    elsewhere.setFocus();
    QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(view.get(), &focusOut);

    QTest::keyClick(view.get(), Qt::Key_Left);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.first().at(0).toDouble(), -1.0);
}

void TestGLWidget::wheelZooms() {
    showView();
    auto turnWheel = [this](int delta) {
        const QPointF pos = centre();
        QWheelEvent wheel(pos, view->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.get(), &wheel);
    };
    turnWheel(120); // one notch away from the user
    QVERIFY(std::fabs(view->camera().GetRadius() - 8.8) < 1e-12);
    turnWheel(100000);
    QCOMPARE(view->camera().GetRadius(), 1.0);
}

QTEST_MAIN(TestGLWidget)
#include "tst_glwidget.moc"
