// The 3D view under a real (software) OpenGL context: what a frame shows, picking, and the input
// that the main window relies on. Runs once more at a device pixel ratio of 2.

#include "model/atom.h"
#include "model/coord.h"
#include "model/material.h"
#include "model/volum.h"
#include "view/camera.h"
#include "view/glwidget.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <functional>
#include <memory>

namespace {

const QSize kViewSize(320, 240);
const QPoint kCentre(kViewSize.width() / 2, kViewSize.height() / 2);

enum class Shade { Background, Material, Selected, Neutral, Other };

Material *blueMaterial() {
    static Material blue("Blue", 1, QColor(0, 0, 255), Coord(1, 0, 0), Coord(0, 1, 0),
                         Coord(0, 0, 1), {Coord(0, 0, 0, "Blue")});
    return &blue;
}

// A 2 x 2 x 2 box centred on the origin, which the view's initial camera looks at.
Volum centredBox(Material *material) {
    Volum volum("Box", 2, 2, 2);
    volum.addCoords(Coord(-1, -1, -1), 2.0f, 2.0f, 2.0f);
    volum.setMaterial(material);
    return volum;
}

Shade classify(const QColor &c) {
    const int r = c.red(), g = c.green(), b = c.blue();
    if (std::abs(r - 217) <= 3 && std::abs(g - 217) <= 3 && std::abs(b - 217) <= 3)
        return Shade::Background;
    if (r > 120 && g < 40 && b < 40)
        return Shade::Selected;
    if (b > 120 && r < 40 && g < 40)
        return Shade::Material;
    if (std::abs(r - g) <= 3 && std::abs(g - b) <= 3 && r > 60 && r < 190)
        return Shade::Neutral;
    return Shade::Other;
}

Shade centreShade(const QImage &image) {
    return classify(image.pixelColor(image.width() / 2, image.height() / 2));
}

// On the top face (y = 1) of the centred box, where the initial camera's central ray meets it.
bool onTopFace(double y) {
    return std::fabs(y - 1.0) < 0.02;
}

// Counts the frames the framework asks for.
class CountingView : public GLWidget {
public:
    using GLWidget::GLWidget;
    int frames = 0;

protected:
    void paintGL() override {
        ++frames;
        GLWidget::paintGL();
    }
};

} // namespace

class TestGLWidget : public QObject {
    Q_OBJECT

    QList<Volum> volums;
    std::unique_ptr<CountingView> view;

    void showView(int mode = GLWidget::kSolidMode) {
        view = std::make_unique<CountingView>(&volums, mode);
        view->resize(kViewSize);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        view->activateWindow();
        view->setAxis(false);
    }
    void showBox() {
        volums << centredBox(blueMaterial());
        showView();
    }
    // The first frames drawn, and nothing more to come.
    void settle() {
        QTRY_VERIFY(view->frames > 0);
        QTest::qWait(100);
    }
    // A mouse move as the window system delivers it, with the buttons held.
    void moveMouse(const QPoint &pos, Qt::MouseButtons buttons = Qt::NoButton) {
        QMouseEvent move(QEvent::MouseMove, pos, view->mapToGlobal(pos), Qt::NoButton, buttons,
                         Qt::NoModifier);
        QApplication::sendEvent(view.get(), &move);
    }

private slots:
    void initTestCase() {
        QLoggingCategory::setFilterRules(QStringLiteral("karveno.model.atom.debug=false"));
    }
    void init() { volums.clear(); }
    void cleanup() { view.reset(); }

    void frameColours_data() {
        QTest::addColumn<bool>("atomic");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<bool>("withMaterial");
        QTest::addColumn<Shade>("expected");
        QTest::newRow("material colour") << false << true << false << true << Shade::Material;
        QTest::newRow("selected is red") << false << true << true << true << Shade::Selected;
        QTest::newRow("hidden is absent") << false << false << false << true << Shade::Background;
        QTest::newRow("hidden even when selected")
            << false << false << true << true << Shade::Background;
        QTest::newRow("missing material is neutral")
            << false << true << false << false << Shade::Neutral;
        // In atomic mode only the atoms are drawn, in their own colours; the volum is picked.
        QTest::newRow("atom in material colour")
            << true << true << false << true << Shade::Material;
        QTest::newRow("picked atom is red") << true << true << true << true << Shade::Selected;
        QTest::newRow("atom without material") << true << true << false << false << Shade::Neutral;
    }
    void frameColours() {
        QFETCH(bool, atomic);
        QFETCH(bool, visible);
        QFETCH(bool, selected);
        QFETCH(bool, withMaterial);
        QFETCH(Shade, expected);
        Volum box = centredBox(withMaterial || atomic ? blueMaterial() : nullptr);
        box.setVisible(visible);
        box.setSelected(atomic || selected);
        if (atomic) {
            Atom atom(1, 1, 1, withMaterial ? blueMaterial() : nullptr, true); // the world's origin
            atom.setSelected(selected);
            box.setAtomsInfo({atom});
        }
        // An unrelated volum off to the side is drawn whatever the first one is.
        Volum other("Other", 0, 0, 0);
        other.addCoords(Coord(3, -1, -6), 1.0f, 1.0f, 1.0f);
        volums << box << other;

        showView(atomic ? GLWidget::kAtomicMode : GLWidget::kSolidMode);
        const QImage frame = view->grabFramebuffer();
        QCOMPARE(centreShade(frame), expected);
        if (atomic) { // beside the atom, where the picked box shows in solid mode
            const QPoint aside = (kCentre + QPoint(25, 0)) * frame.devicePixelRatio();
            QCOMPARE(classify(frame.pixelColor(aside)), Shade::Background);
            view->setRMode(GLWidget::kSolidMode);
            QCOMPARE(classify(view->grabFramebuffer().pixelColor(aside)), Shade::Selected);
        }
    }

    void hugeMeshCountsStillDraw() {
        // Mesh lines are capped per axis: two thousand million divisions must not stall the frame.
        Volum box("Mesh", 2000000000, 2000000000, -3);
        box.addCoords(Coord(-1, -1, -1), 2.0f, 2.0f, 2.0f);
        volums << box;
        showView();
        QVERIFY(!view->grabFramebuffer().isNull());
    }

    void pickingFindsTheFaceUnderTheCursor() {
        showBox();
        // From the initial camera the central ray meets the top face at (1/sqrt 2, 1, 1/sqrt 2).
        double x, y, z;
        QVERIFY(view->transled2Dto3DCoords(kCentre.x(), kCentre.y(), &x, &y, &z));
        QVERIFY2(onTopFace(y) && std::fabs(x - 0.7071) < 0.1 && std::fabs(z - 0.7071) < 0.1,
                 qPrintable(QStringLiteral("%1 %2 %3").arg(x).arg(y).arg(z)));
        // Further left on the screen the point lies on the box too, nearer the x = -1 side.
        double x2, y2, z2;
        QVERIFY(view->transled2Dto3DCoords(kCentre.x() - 20, kCentre.y(), &x2, &y2, &z2));
        QVERIFY(onTopFace(y2) || std::fabs(x2 + 1.0) < 0.02 || std::fabs(z2 - 1.0) < 0.02);
        QVERIFY(x2 < x);
    }

    void pickingTheBackgroundGivesTheFarPlane() {
        showView();
        double cam[3], xAxis[3], yAxis[3], zAxis[3];
        view->camera().GetAbsWorldPosition(cam[0], cam[1], cam[2]);
        view->camera().GetLocalAxes(xAxis, yAxis, zAxis);
        for (const QPoint &corner :
             {QPoint(0, 0), QPoint(kViewSize.width() - 1, 0), QPoint(3, kViewSize.height() - 1)}) {
            double p[3];
            QVERIFY(view->transled2Dto3DCoords(corner.x(), corner.y(), &p[0], &p[1], &p[2]));
            // Along the viewing direction at the far clipping distance, to the precision that
            // single-precision matrices allow with a near plane of 0.01.
            double along = 0;
            for (int i = 0; i < 3; ++i)
                along -= (p[i] - cam[i]) * zAxis[i];
            QVERIFY2(std::fabs(along - 2000.0) < 10.0, qPrintable(QString::number(along)));
        }
    }

    void viewWithoutContextReportsNoPoints() {
        GLWidget hidden(&volums, GLWidget::kSolidMode);
        double x = 1, y = 1, z = 1;
        QVERIFY(!hidden.transled2Dto3DCoords(10, 10, &x, &y, &z));
        QVERIFY(x == 0.0 && z == 0.0);
        // Clicks there report nothing rather than a made-up point at the origin.
        QSignalSpy clicked(&hidden, &GLWidget::mouseClicked);
        QSignalSpy doubleClicked(&hidden, &GLWidget::mouseDoubleClick);
        QTest::mouseClick(&hidden, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::qWait(300);
        QTest::mouseDClick(&hidden, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(clicked.count() + doubleClicked.count(), 0);
    }

    void idleViewDrawsNothingAndChangesDrawOnce() {
        showBox();
        settle();
        const int settled = view->frames;
        QTest::qWait(1000); // an idle second
        QCOMPARE(view->frames, settled);
        // Each kind of change schedules a frame: camera key, mode, toggle, design.
        const std::function<void()> changes[] = {
            [&] { QTest::keyClick(view.get(), Qt::Key_D); },
            [&] { view->setRMode(GLWidget::kAtomicMode); },
            [&] { view->setGrid(true); },
            [&] {
                volums[0].setSelected(true);
                view->designChanged();
            },
        };
        for (const auto &change : changes) {
            const int before = view->frames;
            change();
            QTRY_VERIFY(view->frames > before);
            QTest::qWait(50);
            QVERIFY(view->frames <= before + 2);
        }
    }

    void exportedImageHasTheAskedSize_data() {
        QTest::addColumn<QSize>("asked");
        QTest::newRow("view size") << QSize();
        QTest::newRow("chosen size") << QSize(640, 200);
    }
    void exportedImageHasTheAskedSize() {
        QFETCH(QSize, asked);
        showBox();
        const QString file = QDir::temp().filePath(QStringLiteral("karveno-view-export.png"));
        QVERIFY(view->renderImage(asked).save(file, "PNG"));
        const QImage read(file);
        QFile::remove(file);
        QCOMPARE(read.size(), asked.isEmpty() ? view->grabFramebuffer().size() : asked);
        // The box shows in the middle of the picture, the background at its corner.
        QCOMPARE(centreShade(read), Shade::Material);
        QCOMPARE(classify(read.pixelColor(2, 2)), Shade::Background);
    }

    void cameraFitsTheDesignOrTheVolumShown() {
        // A 100-unit box far from the origin: View all looks at its centre from outside it.
        Volum big("Big", 4, 4, 4);
        big.addCoords(Coord(200, 0, 0), 100.0f, 100.0f, 100.0f);
        volums << big;
        showView();
        SphericalCamera &cam = view->camera();
        const double phi = cam.GetPhi();
        QTest::keyClick(view.get(), Qt::Key_Home);
        double focus[3];
        cam.GetFocusPosition(focus);
        QVERIFY(focus[0] == 250.0 && focus[1] == 50.0 && focus[2] == 50.0);
        QVERIFY2(cam.GetRadius() > 100.0 * std::sqrt(3.0) && cam.GetRadius() < 400.0,
                 qPrintable(QString::number(cam.GetRadius())));
        QCOMPARE(cam.GetPhi(), phi);
        // The box fills the view: its centre pixel is the box.
        QCOMPARE(centreShade(view->grabFramebuffer()), Shade::Neutral);
        // Bringing a small box into view from that distance keeps the distance; a big one from
        // close by steps back until it fits.
        const double small[2][3] = {{0, 0, 0}, {1, 1, 1}};
        const double radius = cam.GetRadius();
        view->bringIntoView(small[0], small[1]);
        QCOMPARE(cam.GetRadius(), radius);
        cam.SetPosition(10.0, cam.GetPhi(), cam.GetTheta());
        const double bigBounds[2][3] = {{200, 0, 0}, {300, 100, 100}};
        view->bringIntoView(bigBounds[0], bigBounds[1]);
        QCOMPARE(cam.GetRadius(), radius);
    }

    void gridSpacingFollowsTheDesignSize_data() {
        QTest::addColumn<float>("size");
        QTest::addColumn<double>("spacing");
        QTest::newRow("empty design: unit grid") << 0.0f << 1.0;
        QTest::newRow("20 units") << 20.0f << 1.0;
        QTest::newRow("100 units") << 100.0f << 5.0;
        QTest::newRow("1 unit") << 1.0f << 0.05;
        QTest::newRow("5000 units") << 5000.0f << 200.0;
    }
    void gridSpacingFollowsTheDesignSize() {
        QFETCH(float, size);
        QFETCH(double, spacing);
        if (size > 0.0f) {
            Volum v("Device", 1, 1, 1);
            v.addCoords(Coord(0, 0, 0), size, size / 2, size / 4);
            volums << v;
        }
        GLWidget widget(&volums, GLWidget::kSolidMode);
        QVERIFY(std::fabs(widget.gridSpacing() - spacing) < 1e-9 * spacing);
    }

    void singleClickReportsOnceAfterTheDelay() {
        showBox();
        QSignalSpy clicked(view.get(), &GLWidget::mouseClicked);
        QSignalSpy doubleClicked(view.get(), &GLWidget::mouseDoubleClick);
        QElapsedTimer elapsed;
        qint64 emittedAfter = -1;
        connect(view.get(), &GLWidget::mouseClicked, this,
                [&] { emittedAfter = elapsed.elapsed(); });
        elapsed.start();
        QTest::mouseClick(view.get(), Qt::LeftButton, {}, kCentre);
        QCOMPARE(clicked.count(), 0); // not at the press or release
        QTRY_COMPARE_WITH_TIMEOUT(clicked.count(), 1, 3000);
        QVERIFY2(emittedAfter >= 200, qPrintable(QString::number(emittedAfter)));
        QTest::qWait(300);
        QVERIFY(clicked.count() == 1 && doubleClicked.count() == 0);
        QVERIFY(onTopFace(clicked.first().at(1).toDouble()));
    }

    void doubleClickReportsOnlyTheDoubleClick() {
        showBox();
        QSignalSpy clicked(view.get(), &GLWidget::mouseClicked);
        QSignalSpy doubleClicked(view.get(), &GLWidget::mouseDoubleClick);
        // What the window system delivers for a double click: press, release, double click,
        // release.
        QTest::mousePress(view.get(), Qt::LeftButton, {}, kCentre);
        QTest::mouseRelease(view.get(), Qt::LeftButton, {}, kCentre, 20);
        QTest::mouseDClick(view.get(), Qt::LeftButton, {}, kCentre, 20);
        QTest::mouseRelease(view.get(), Qt::LeftButton, {}, kCentre, 20);
        QCOMPARE(doubleClicked.count(), 1);
        QVERIFY(onTopFace(doubleClicked.first().at(1).toDouble()));
        QTest::qWait(450);
        QVERIFY(clicked.count() == 0 && doubleClicked.count() == 1);
    }

    void pressThatMovesIsARotationNotAClick_data() {
        QTest::addColumn<int>("moved"); // pixels, while the button is held past the click delay
        QTest::addColumn<int>("clicks");
        QTest::newRow("held still") << 0 << 1;
        QTest::newRow("a jitter") << 1 << 1;
        QTest::newRow("a drag") << 12 << 0;
    }
    void pressThatMovesIsARotationNotAClick() {
        QFETCH(int, moved);
        QFETCH(int, clicks);
        showBox();
        QSignalSpy clicked(view.get(), &GLWidget::mouseClicked);
        QTest::mousePress(view.get(), Qt::LeftButton, {}, kCentre);
        if (moved)
            moveMouse(kCentre + QPoint(moved, 0), Qt::LeftButton);
        QTest::qWait(300);
        QCOMPARE(clicked.count(), 0); // still held: it may yet become a drag
        QTest::mouseRelease(view.get(), Qt::LeftButton, {}, kCentre + QPoint(moved, 0));
        QCOMPARE(clicked.count(), clicks);
        if (clicks) // the point pressed, not where the cursor went
            QVERIFY(onTopFace(clicked.first().at(1).toDouble()));
    }

    void viewDeletedBeforeTheClickDelayIsSafe() {
        showView();
        QTest::mousePress(view.get(), Qt::LeftButton, {}, kCentre);
        view.reset(); // New or Open replaces the view while the click is pending
        QTest::qWait(300);
    }

    void dragTurnsCameraAndReportsThePoint() {
        showBox();
        const double phi = view->camera().GetPhi(), theta = view->camera().GetTheta();
        // A plain move only tracks the point under the cursor (and takes the keyboard focus).
        moveMouse(kCentre + QPoint(30, 30));
        moveMouse(kCentre);
        QVERIFY(view->camera().GetPhi() == phi);
        QVERIFY(onTopFace(view->getLastPoint().getY()));
        QCOMPARE(view->window()->focusWidget(), view.get());
        // Dragging right turns towards negative azimuth; dragging up lowers the camera.
        QSignalSpy moved(view.get(), &GLWidget::mouseMoved);
        QTest::mousePress(view.get(), Qt::LeftButton, {}, kCentre);
        moveMouse(kCentre + QPoint(10, -5), Qt::LeftButton);
        QCOMPARE(moved.count(), 1);
        QVERIFY(std::fabs(view->camera().GetPhi() - (phi - 0.2)) < 1e-9);
        QVERIFY(std::fabs(view->camera().GetTheta() - (theta - 0.1)) < 1e-9);
        const QString text = moved.first().first().toString();
        QVERIFY2(text.startsWith("X: ") && text.contains("  Y: ") && text.contains("  Z: "),
                 qPrintable(text));
    }

    void hoverShowsThePointOverTheDesignWithoutDrawing() {
        showBox();
        settle();
        const int settled = view->frames;
        QSignalSpy moved(view.get(), &GLWidget::mouseMoved);
        moveMouse(kCentre);
        QCOMPARE(moved.count(), 1);
        const QString text = moved.last().first().toString();
        QVERIFY2(text.startsWith("X: ") && text.contains("  Y: 1  Z: "), qPrintable(text));
        // The same point again says nothing new; the background clears the text once.
        moveMouse(kCentre);
        moveMouse(QPoint(2, 2));
        moveMouse(QPoint(4, 2));
        QCOMPARE(moved.count(), 2);
        QVERIFY(moved.last().first().toString().isEmpty());
        moveMouse(kCentre + QPoint(3, 0));
        QCOMPARE(moved.count(), 3);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(view.get(), &leave);
        QCOMPARE(moved.count(), 4);
        QVERIFY(moved.last().first().toString().isEmpty());
        // Nothing in the picture changed: no frame was asked for.
        QTest::qWait(100);
        QCOMPARE(view->frames, settled);
    }

    void keysMoveVolumsWithShiftForLargeSteps() {
        showView();
        view->setFocus();
        QSignalSpy moved(view.get(), &GLWidget::volumMoved);
        QTest::keyPress(view.get(), Qt::Key_Shift);
        QTest::keyClick(view.get(), Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(view.get(), Qt::Key_N, Qt::ShiftModifier);
        // The focus goes elsewhere (a dialog opens) and Shift is released there: it is forgotten.
        QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(view.get(), &focusOut);
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_M, Qt::Key_Q}) // Q: no view key
            QTest::keyClick(view.get(), key);
        const QList<QList<double>> expected = {
            {5, 0, 0}, {0, 0, -5}, {1, 0, 0}, {0, -1, 0}, {0, 0, 1}};
        QCOMPARE(moved.count(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            for (int c = 0; c < 3; ++c)
                QCOMPARE(moved.at(i).at(c).toDouble(), expected[i][c]);
    }

    void keysAndWheelTurnAndZoomTheCamera() {
        showView();
        SphericalCamera &cam = view->camera();
        const double phi = cam.GetPhi();
        for (Qt::Key key : {Qt::Key_D, Qt::Key_D, Qt::Key_A})
            QTest::keyClick(view.get(), key);
        QVERIFY(std::fabs(cam.GetPhi() - (phi + 0.05)) < 1e-12);
        const auto turnWheel = [this](int delta) {
            QWheelEvent wheel(kCentre, view->mapToGlobal(QPointF(kCentre)), QPoint(),
                              QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(view.get(), &wheel);
        };
        turnWheel(120); // one notch away from the user
        QVERIFY(std::fabs(cam.GetRadius() - 8.8) < 1e-12);
        turnWheel(100000);
        QCOMPARE(cam.GetRadius(), 1.0);
        // Shift zooms by 36, still never closer than a radius of 1.
        QTest::keyPress(view.get(), Qt::Key_Shift);
        QTest::keyClick(view.get(), Qt::Key_X, Qt::ShiftModifier);
        QCOMPARE(cam.GetRadius(), 37.0);
        QTest::keyClick(view.get(), Qt::Key_Z, Qt::ShiftModifier);
        QCOMPARE(cam.GetRadius(), 1.0);
    }
};

QTEST_MAIN(TestGLWidget)
#include "tst_glwidget.moc"
