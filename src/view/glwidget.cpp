#include "view/glwidget.h"

#include "model/material.h"
#include "model/volum.h"
#include "view/camera.h"
#include "view/scenedrawing.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSurfaceFormat>
#include <QTimer>
#include <QWheelEvent>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int kRedrawIntervalMs = 11;
constexpr int kSingleClickDelayMs = 200;

// Camera of a new view: radius 10 looking at the origin from above the positive x and z quadrant.
constexpr double kInitialRadius = 10.0;
constexpr double kInitialPhi = -0.7853981633974483;  // -pi/4
constexpr double kInitialTheta = 0.7853981633974483; // +pi/4

constexpr double kFieldOfViewDeg = 45.0;
// Clipping planes in proportion to the camera's distance from its focus, where they exceed the
// fixed ones (zNear, zFar): the fixed planes hold for a radius up to 10 and 200.
constexpr double kNearPlanePerRadius = 0.001;
constexpr double kFarPlanePerRadius = 10.0;
// Axes and grid reach this far along each positive axis.
constexpr int kSceneExtent = 9999;

// Camera steps: radians for turning, design length units for zooming, per key, notch or pixel.
constexpr double kTurnStep = 0.05;
constexpr double kZoomStep = 1.2;
constexpr double kZoomStepShift = 36.0;
constexpr double kWheelFactor = 0.01;
constexpr double kWheelFactorShift = 0.3;
constexpr double kDragFactor = 0.02;
// Volum moves asked for by the arrow keys and M / N, in design length units.
constexpr double kMoveStep = 1.0;
constexpr double kMoveStepShift = 5.0;

QSurfaceFormat compatibilityFormat(QSurfaceFormat format) {
    // Immediate mode and GLU need the fixed-function pipeline.
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    // Picking reads the depth buffer, which a multisampled framebuffer does not allow.
    format.setSamples(0);
    return format;
}

} // namespace

GLWidget::GLWidget(QList<Volum> *volums_, int rMode_, QWidget *parent)
    : QOpenGLWidget(parent), volums(volums_), rMode(rMode_) {
    setFormat(compatibilityFormat(format()));
    redrawTimer = startTimer(kRedrawIntervalMs);

    const double focus[3] = {0.0, 0.0, 0.0};
    const double up[3] = {0.0, 1.0, 0.0};
    cam = std::make_unique<SphericalCamera>(kInitialRadius, kInitialPhi, kInitialTheta, focus, up,
                                            1.0, 1.0);

    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);

    editAtomAct = new QAction(tr("Edit Atom"), this);
    editAtomAct->setEnabled(false);
    connect(editAtomAct, &QAction::triggered, this, &GLWidget::editAtomSlot);
    deleteAtomAct = new QAction(tr("Delete Atom"), this);
    deleteAtomAct->setEnabled(false);
    connect(deleteAtomAct, &QAction::triggered, this, &GLWidget::deleteAtomSlot);
}

GLWidget::~GLWidget() = default;

void GLWidget::setEditAtomAction(bool e) {
    editAtomAct->setEnabled(e);
}

void GLWidget::setDeleteAtomAction(bool e) {
    deleteAtomAct->setEnabled(e);
}

void GLWidget::focusCameraToVolum(double x, double y, double z) {
    const double focus[3] = {x, y, z};
    cam->SetFocusPosition(focus);
}

void GLWidget::editAtomSlot() {
    emit editAtomSignal();
}

void GLWidget::deleteAtomSlot() {
    emit deleteAtomSignal();
}

// ---------------------------------------------------------------------------------------------
// OpenGL hooks and the frame

void GLWidget::initializeGL() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glClearColor(0.85f, 0.85f, 0.85f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthRange(0.0, 1.0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_MODELVIEW);
}

void GLWidget::resizeGL(int, int) {
    applyProjection();
}

QSize GLWidget::framebufferSize() const {
    // The framebuffer is in device pixels; width() and height() are logical ones.
    const qreal ratio = devicePixelRatioF();
    return QSize(std::max(1, int(std::lround(width() * ratio))),
                 std::max(1, int(std::lround(height() * ratio))));
}

void GLWidget::applyProjection() {
    const QSize size = framebufferSize();
    const int w = size.width(), h = size.height();
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The clipping planes follow the camera's distance once it is zoomed out beyond the usual
    // range: a 24-bit depth buffer spread from 0.01 to a few hundred units cannot keep faces a few
    // units apart in order, and a design hundreds of units across would reach past the far plane.
    const double radius = cam->GetRadius();
    const double nearPlane = std::max(double(zNear), radius * kNearPlanePerRadius);
    const double farPlane = std::max(double(zFar), radius * kFarPlanePerRadius);
    gluPerspective(kFieldOfViewDeg, double(w) / double(h), nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
}

void GLWidget::paintGL() {
    renderScene(nullptr);
}

void GLWidget::renderScene(const QPoint *pickPixel) {
    // Viewport and projection are set at every frame: the frame is also drawn outside the
    // framework's paint cycle, for picking, and must not depend on what happened before it.
    applyProjection();
    if (pickPixel) {
        // Only the depth of one pixel is wanted: rasterise nothing else.
        glEnable(GL_SCISSOR_TEST);
        glScissor(pickPixel->x(), pickPixel->y(), 1, 1);
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        glDisable(GL_POLYGON_OFFSET_FILL);
        glClear(GL_DEPTH_BUFFER_BIT);
    } else {
        // Faces sit slightly behind the mesh lines drawn on them, so that the lines win the
        // depth test.
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    glPushMatrix();
    glLoadIdentity();
    cam->Look();
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);

    // Atom spheres are drawn with as much detail as their size on screen can show.
    double eye[3];
    cam->GetAbsWorldPosition(eye[0], eye[1], eye[2]);
    const double halfFov = kFieldOfViewDeg * 0.5 * std::acos(-1.0) / 180.0;
    scene::setDetailReference(eye, framebufferSize().height() / (2.0 * std::tan(halfFov)));
    scene::setLineScale(devicePixelRatioF());

    if (axis) {
        drawAxis();
    }
    if (grid) {
        drawGrid();
    }
    drawVolums();
    glPopMatrix();

    glDisable(GL_POLYGON_OFFSET_FILL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_SCISSOR_TEST);
    scene::clearDetailReference();
    scene::setLineScale(1.0);
}

void GLWidget::drawVolums() {
    if (!volums) {
        return;
    }
    // Read the list through a const reference: a non-const walk would detach a list shared with a
    // copy, moving the window's volums to new storage behind anyone who holds one of them.
    // Drawing changes no volum, so calling the draw operations on them is safe.
    for (const Volum &listed : std::as_const(*volums)) {
        if (!listed.isVisible()) {
            continue;
        }
        Volum &volum = const_cast<Volum &>(listed);
        if (volum.isSelected()) {
            glColor3fv(scene::kSelectedColor);
        } else if (const Material *material = volum.getMaterial()) {
            const QColor color = material->getColor();
            glColor3f(GLfloat(color.red() / 255.0), GLfloat(color.green() / 255.0),
                      GLfloat(color.blue() / 255.0));
        } else {
            glColor3fv(scene::kNeutralColor);
        }

        if (rMode == kSolidMode) {
            volum.drawVolum();
            glColor3f(0.0f, 0.0f, 0.0f);
            volum.drawMalles();
        } else if (rMode == kAtomicMode) {
            volum.drawAtomicStructure();
        }
    }
}

void GLWidget::drawAxis() {
    const double e = kSceneExtent;
    scene::setLineWidth(4.0f);
    glBegin(GL_LINES);
    glColor3f(1.0f, 0.0f, 0.0f);
    glVertex3d(0.0, 0.0, 0.0);
    glVertex3d(e, 0.0, 0.0);
    glColor3f(0.0f, 1.0f, 0.0f);
    glVertex3d(0.0, 0.0, 0.0);
    glVertex3d(0.0, e, 0.0);
    glColor3f(0.0f, 0.0f, 1.0f);
    glVertex3d(0.0, 0.0, 0.0);
    glVertex3d(0.0, 0.0, e);
    glEnd();
    scene::setLineWidth(1.0f);
}

void GLWidget::drawGrid() {
    glColor3f(0.0f, 0.0f, 0.0f);
    scene::setLineWidth(1.0f);
    scene::drawGridLines(kSceneExtent);
}

void GLWidget::drawInvisibleBox() {
    const double e = 99999.0;
    glColor4f(1.0f, 1.0f, 1.0f, 0.1f);
    glBegin(GL_QUADS);
    // x = 0
    glVertex3d(0.0, 0.0, 0.0);
    glVertex3d(0.0, e, 0.0);
    glVertex3d(0.0, e, e);
    glVertex3d(0.0, 0.0, e);
    // y = 0
    glVertex3d(0.0, 0.0, 0.0);
    glVertex3d(e, 0.0, 0.0);
    glVertex3d(e, 0.0, e);
    glVertex3d(0.0, 0.0, e);
    // z = 0
    glVertex3d(0.0, 0.0, 0.0);
    glVertex3d(e, 0.0, 0.0);
    glVertex3d(e, e, 0.0);
    glVertex3d(0.0, e, 0.0);
    glEnd();
}

// ---------------------------------------------------------------------------------------------
// Picking

bool GLWidget::transled2Dto3DCoords(int x, int y, double *posX, double *posY, double *posZ) {
    *posX = *posY = *posZ = 0.0;
    if (!isValid()) {
        return false; // never shown: no context, no depth buffer
    }
    makeCurrent();

    // Window pixels are logical and counted from the top; the framebuffer is in device pixels and
    // counted from the bottom. Aim at the centre of the pixel under the cursor.
    const QSize size = framebufferSize();
    const double ratio = devicePixelRatioF();
    const double winX = (x + 0.5) * ratio;
    const double winY = size.height() - (y + 0.5) * ratio;
    const QPoint pixel(std::clamp(int(std::floor(winX)), 0, size.width() - 1),
                       std::clamp(int(std::floor(winY)), 0, size.height() - 1));
    renderScene(&pixel);

    // Unproject with the matrices and viewport of the pass just drawn.
    GLfloat depth = 1.0f;
    glReadPixels(pixel.x(), pixel.y(), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    gluUnProject(winX, winY, depth, modelview, projection, viewport, posX, posY, posZ);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Input

void GLWidget::timerEvent(QTimerEvent *event) {
    if (event->timerId() == redrawTimer) {
        update();
    } else {
        QOpenGLWidget::timerEvent(event);
    }
}

void GLWidget::keyPressEvent(QKeyEvent *event) {
    const double zoom = shiftpressed ? kZoomStepShift : kZoomStep;
    const double move = shiftpressed ? kMoveStepShift : kMoveStep;
    switch (event->key()) {
    case Qt::Key_A:
        cam->MoveRight(-kTurnStep);
        break;
    case Qt::Key_D:
        cam->MoveRight(kTurnStep);
        break;
    case Qt::Key_W:
        cam->MoveUp(kTurnStep);
        break;
    case Qt::Key_S:
        cam->MoveUp(-kTurnStep);
        break;
    case Qt::Key_Z:
        cam->ZoomIn(zoom);
        update();
        break;
    case Qt::Key_X:
        cam->ZoomIn(-zoom);
        update();
        break;
    case Qt::Key_Left:
        emit volumMoved(-move, 0.0, 0.0);
        break;
    case Qt::Key_Right:
        emit volumMoved(move, 0.0, 0.0);
        break;
    case Qt::Key_Up:
        emit volumMoved(0.0, move, 0.0);
        break;
    case Qt::Key_Down:
        emit volumMoved(0.0, -move, 0.0);
        break;
    case Qt::Key_M:
        emit volumMoved(0.0, 0.0, move);
        break;
    case Qt::Key_N:
        emit volumMoved(0.0, 0.0, -move);
        break;
    case Qt::Key_Shift:
        shiftpressed = true;
        break;
    default:
        QOpenGLWidget::keyPressEvent(event);
        break;
    }
}

void GLWidget::keyReleaseEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Shift && !event->isAutoRepeat()) {
        shiftpressed = false;
    } else {
        QOpenGLWidget::keyReleaseEvent(event);
    }
}

void GLWidget::focusOutEvent(QFocusEvent *event) {
    // The Shift release goes wherever the focus is; without this a Shift let go over another
    // widget or in a dialog would leave every later step at the large size.
    shiftpressed = false;
    QOpenGLWidget::focusOutEvent(event);
}

void GLWidget::wheelEvent(QWheelEvent *event) {
    int delta = event->angleDelta().y();
    if (delta == 0) {
        delta = event->angleDelta().x(); // some systems turn Shift+wheel into a sideways scroll
    }
    cam->ZoomIn(delta * (shiftpressed ? kWheelFactorShift : kWheelFactor));
    update();
    event->accept();
}

void GLWidget::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    mousepressed = true;
    const QPoint pos = event->position().toPoint();
    lastx = pos.x();
    lasty = pos.y();
    doubleclick = false;
    currentMB = event->button();
    // Bound to the view, so a pending click dies with it (New and Open replace the view).
    QTimer::singleShot(kSingleClickDelayMs, this, &GLWidget::singleLeftClick);
}

void GLWidget::singleLeftClick() {
    if (currentMB != Qt::LeftButton || doubleclick) {
        return;
    }
    // Without a frame there is no point to report (and the origin is not where the user clicked).
    double x, y, z;
    if (transled2Dto3DCoords(lastx, lasty, &x, &y, &z)) {
        emit mouseClicked(x, y, z);
    }
}

void GLWidget::mouseDoubleClickEvent(QMouseEvent *event) {
    doubleclick = true;
    const QPoint pos = event->position().toPoint();
    double x, y, z;
    if (transled2Dto3DCoords(pos.x(), pos.y(), &x, &y, &z)) {
        emit mouseDoubleClick(x, y, z);
    }
}

void GLWidget::mouseReleaseEvent(QMouseEvent *event) {
    mousepressed = false;
    if (event->button() != Qt::RightButton) {
        return;
    }
    // The chosen entry's signal runs inside exec(); nothing of the view is touched afterwards.
    QMenu menu;
    menu.addAction(editAtomAct);
    menu.addAction(deleteAtomAct);
    menu.addSeparator();
    menu.exec(event->globalPosition().toPoint());
}

void GLWidget::mouseMoveEvent(QMouseEvent *event) {
    setFocus(Qt::MouseFocusReason);

    const QPoint pos = event->position().toPoint();
    if (!mousepressed) {
        lastMovePos = pos;
        lastpointPending = true;
        return;
    }
    double x, y, z;
    transled2Dto3DCoords(pos.x(), pos.y(), &x, &y, &z);
    lastpoint = Coord(x, y, z);
    lastpointPending = false;

    cam->MoveRight((lastx - pos.x()) * kDragFactor);
    cam->MoveUp((pos.y() - lasty) * kDragFactor);
    lastx = pos.x();
    lasty = pos.y();
    emit mouseMoved(QStringLiteral("X: ") + QString::number(x, 'g', 6) + QStringLiteral("  Y: ") +
                    QString::number(y, 'g', 6) + QStringLiteral("  Z: ") +
                    QString::number(z, 'g', 6));
}

Coord GLWidget::getLastPoint() {
    if (lastpointPending) {
        double x, y, z;
        transled2Dto3DCoords(lastMovePos.x(), lastMovePos.y(), &x, &y, &z);
        lastpoint = Coord(x, y, z);
        lastpointPending = false;
    }
    return lastpoint;
}
