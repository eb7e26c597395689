#include "view/glwidget.h"

#include "model/material.h"
#include "model/volum.h"
#include "view/camera.h"
#include "view/scenedrawing.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>
#include <QTimer>
#include <QWheelEvent>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

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
// Lines of the grid across the design's largest extent, about.
constexpr double kGridLinesAcrossDesign = 20.0;
// The grid never has more lines than at unit spacing along each axis.
constexpr int kMaxGridLines = kSceneExtent;

// Camera steps: radians for turning, design length units for zooming, per key, notch or pixel.
constexpr double kTurnStep = 0.05;
constexpr double kZoomStep = 1.2;
constexpr double kZoomStepShift = 36.0;
constexpr double kWheelFactor = 0.01;
constexpr double kWheelFactorShift = 0.3;
constexpr double kDragFactor = 0.02;
// Volum moves asked for by the arrow keys and M / N, in steps of the window's move unit.
constexpr double kMoveStep = 1.0;
constexpr double kMoveStepShift = 5.0;
// View all leaves this much room around the design's bounding sphere.
constexpr double kFitMargin = 1.1;

QSurfaceFormat compatibilityFormat(QSurfaceFormat format) {
    // Immediate mode and GLU need the fixed-function pipeline.
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    format.setSamples(0);
    return format;
}

double halfFieldOfView() {
    return kFieldOfViewDeg * 0.5 * std::acos(-1.0) / 180.0;
}

// 1, 2 or 5 times a power of ten, nearest to value on a logarithmic scale.
double niceStep(double value) {
    const double decade = std::pow(10.0, std::floor(std::log10(value)));
    const double mantissa = value / decade;
    const double step = mantissa < 1.5 ? 1.0 : mantissa < 3.5 ? 2.0 : mantissa < 7.5 ? 5.0 : 10.0;
    return step * decade;
}

bool designBounds(const QList<Volum> *volums, double lo[3], double hi[3]) {
    if (!volums || volums->isEmpty())
        return false;
    bool any = false;
    for (const Volum &v : *volums) {
        const double vlo[3] = {v.getMinX(), v.getMinY(), v.getMinZ()};
        const double vhi[3] = {v.getMaxX(), v.getMaxY(), v.getMaxZ()};
        if (!(std::isfinite(vlo[0]) && std::isfinite(vlo[1]) && std::isfinite(vlo[2]) &&
              std::isfinite(vhi[0]) && std::isfinite(vhi[1]) && std::isfinite(vhi[2])))
            continue;
        for (int a = 0; a < 3; ++a) {
            lo[a] = any ? std::min(lo[a], vlo[a]) : vlo[a];
            hi[a] = any ? std::max(hi[a], vhi[a]) : vhi[a];
        }
        any = true;
    }
    return any;
}

} // namespace

GLWidget::GLWidget(QList<Volum> *volums_, int rMode_, QWidget *parent)
    : QOpenGLWidget(parent), volums(volums_), rMode(rMode_) {
    setFormat(compatibilityFormat(format()));

    const double focus[3] = {0.0, 0.0, 0.0};
    const double up[3] = {0.0, 1.0, 0.0};
    cam = std::make_unique<SphericalCamera>(kInitialRadius, kInitialPhi, kInitialTheta, focus, up,
                                            1.0, 1.0);

    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(tr("Drag: turn the camera (A, D, W, S)\n"
                  "Middle or Shift+drag: pan\n"
                  "Wheel, Z, X: zoom (Shift: faster)\n"
                  "Home or F: view all\n"
                  "Click: pick a volum or atom; double click: edit it\n"
                  "Arrows, M, N: move the picked volum (Shift: larger steps)"));

    editAtomAct = new QAction(tr("Edit Atom"), this);
    editAtomAct->setEnabled(false);
    connect(editAtomAct, &QAction::triggered, this, &GLWidget::editAtomSlot);
    deleteAtomAct = new QAction(tr("Delete Atom"), this);
    deleteAtomAct->setEnabled(false);
    connect(deleteAtomAct, &QAction::triggered, this, &GLWidget::deleteAtomSlot);
}

GLWidget::~GLWidget() {
    // Display lists belong to the context, which goes with the widget; nothing else to release.
}

void GLWidget::setRMode(int mode_) {
    if (rMode != mode_) {
        rMode = mode_;
        update();
    }
}

void GLWidget::setAxis(bool a) {
    axis = a;
    update();
}

void GLWidget::setGrid(bool g) {
    grid = g;
    update();
}

void GLWidget::setEditAtomAction(bool e) {
    editAtomAct->setEnabled(e);
}

void GLWidget::setDeleteAtomAction(bool e) {
    deleteAtomAct->setEnabled(e);
}

void GLWidget::focusCameraToVolum(double x, double y, double z) {
    const double focus[3] = {x, y, z};
    cam->SetFocusPosition(focus);
    update();
}

void GLWidget::editAtomSlot() {
    emit editAtomSignal();
}

void GLWidget::deleteAtomSlot() {
    emit deleteAtomSignal();
}

void GLWidget::designChanged() {
    atomCloudStale = true;
    lastpointPending = true;
    update();
}

double GLWidget::gridSpacing() const {
    double lo[3], hi[3];
    if (!designBounds(volums, lo, hi))
        return 1.0;
    const double extent = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
    if (!(extent > 0.0) || !std::isfinite(extent))
        return 1.0;
    return niceStep(extent / kGridLinesAcrossDesign);
}

void GLWidget::bringIntoView(const double min[3], const double max[3]) {
    double radius = 0.0;
    for (int a = 0; a < 3; ++a)
        radius += (max[a] - min[a]) * (max[a] - min[a]);
    radius = 0.5 * std::sqrt(radius);
    const double focus[3] = {0.5 * (min[0] + max[0]), 0.5 * (min[1] + max[1]),
                             0.5 * (min[2] + max[2])};
    if (!std::isfinite(radius) || !std::isfinite(focus[0] + focus[1] + focus[2]))
        return;
    cam->SetFocusPosition(focus);
    // The bounding sphere fits when it lies within the narrower of the two fields of view.
    const double aspect = height() > 0 ? double(width()) / height() : 1.0;
    const double halfFov = halfFieldOfView();
    const double narrowest = std::min(halfFov, std::atan(std::tan(halfFov) * aspect));
    const double needed = kFitMargin * radius / std::sin(narrowest);
    if (needed > cam->GetRadius())
        cam->SetPosition(needed, cam->GetPhi(), cam->GetTheta());
    update();
}

void GLWidget::viewAll() {
    double lo[3], hi[3];
    if (!designBounds(volums, lo, hi))
        return;
    // From any distance: step in as well as out.
    cam->SetPosition(0.0, cam->GetPhi(), cam->GetTheta());
    bringIntoView(lo, hi);
    if (cam->GetRadius() <= 0.0)
        cam->SetPosition(1.0, cam->GetPhi(), cam->GetTheta());
}

// ---------------------------------------------------------------------------------------------
// OpenGL hooks and the frame

void GLWidget::initializeGL() {
    // A new context (the first, or after the widget moved to another window) holds none of the
    // display lists of an earlier one.
    gridList = 0;
    axisList = 0;
    atomCloud.releaseLists();
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
    applyProjection(framebufferSize());
}

QSize GLWidget::framebufferSize() const {
    // The framebuffer is in device pixels; width() and height() are logical ones.
    const qreal ratio = devicePixelRatioF();
    return QSize(std::max(1, int(std::lround(width() * ratio))),
                 std::max(1, int(std::lround(height() * ratio))));
}

double GLWidget::farPlane() const {
    return std::max(double(zFar), cam->GetRadius() * kFarPlanePerRadius);
}

void GLWidget::applyProjection(const QSize &size) {
    const int w = size.width(), h = size.height();
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The clipping planes follow the camera's distance once it is zoomed out beyond the usual
    // range: a 24-bit depth buffer spread from 0.01 to a few hundred units cannot keep faces a few
    // units apart in order, and a design hundreds of units across would reach past the far plane.
    const double nearPlane = std::max(double(zNear), cam->GetRadius() * kNearPlanePerRadius);
    gluPerspective(kFieldOfViewDeg, double(w) / double(h), nearPlane, farPlane());
    glMatrixMode(GL_MODELVIEW);
}

void GLWidget::paintGL() {
    renderScene(framebufferSize());
}

void GLWidget::renderScene(const QSize &size) {
    // Viewport and projection are set at every frame: the frame is also drawn off screen at
    // other sizes and must not depend on what happened before it.
    applyProjection(size);
    // Faces sit slightly behind the mesh lines drawn on them, so that the lines win the depth test.
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glPushMatrix();
    glLoadIdentity();
    cam->Look();
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);

    const double ratio = double(size.height()) / std::max(1.0, double(framebufferSize().height()));
    scene::setLineScale(devicePixelRatioF() * ratio);
    // Atoms come first: the far ones may be written straight into the cleared buffers.
    if (rMode == kAtomicMode)
        drawVolums();
    if (axis)
        drawAxis();
    if (grid)
        drawGrid();
    if (rMode != kAtomicMode)
        drawVolums();
    glPopMatrix();

    glDisable(GL_POLYGON_OFFSET_FILL);
    scene::setLineScale(1.0);
}

void GLWidget::drawVolums() {
    if (!volums)
        return;
    if (rMode == kAtomicMode) {
        if (atomCloudStale) {
            atomCloud.rebuild(*volums);
            atomCloudStale = false;
        }
        AtomCloud::View view;
        eye(view.eye);
        view.pixelsPerUnit = viewport[3] / (2.0 * std::tan(halfFieldOfView()));
        view.width = viewport[2];
        view.height = viewport[3];
        for (int row = 0; row < 4; ++row) {
            for (int col = 0; col < 4; ++col) {
                double sum = 0.0;
                for (int k = 0; k < 4; ++k)
                    sum += projection[4 * k + row] * modelview[4 * col + k];
                view.clip[4 * col + row] = sum;
            }
        }
        atomCloud.draw(view);
        return;
    }
    // Read the list through a const reference: a non-const walk would detach a list shared with a
    // copy, moving the window's volums to new storage behind anyone who holds one of them.
    // Drawing changes no volum, so calling the draw operations on them is safe.
    for (const Volum &listed : std::as_const(*volums)) {
        if (!listed.isVisible())
            continue;
        Volum &volum = const_cast<Volum &>(listed);
        GLfloat colour[3];
        if (volum.isSelected()) {
            std::copy(scene::kSelectedColor, scene::kSelectedColor + 3, colour);
        } else if (const Material *material = volum.getMaterial()) {
            const QColor c = material->getColor();
            colour[0] = GLfloat(c.redF());
            colour[1] = GLfloat(c.greenF());
            colour[2] = GLfloat(c.blueF());
        } else {
            std::copy(scene::kNeutralColor, scene::kNeutralColor + 3, colour);
        }
        glColor3fv(colour);
        volum.drawVolum();
        // Mesh lines in a colour that stands out from the face, thinned where they crowd.
        double min[3] = {volum.getMinX(), volum.getMinY(), volum.getMinZ()};
        double max[3] = {volum.getMaxX(), volum.getMaxY(), volum.getMaxZ()};
        double e[3];
        eye(e);
        const double pixelsPerUnit = viewport[3] / (2.0 * std::tan(halfFieldOfView()));
        double distance = 0.0;
        for (int a = 0; a < 3; ++a) {
            const double d = std::max({min[a] - e[a], 0.0, e[a] - max[a]});
            distance += d * d;
        }
        distance = std::max(std::sqrt(distance), 1e-9);
        const int meshes[3] = {volum.getxMalles(), volum.getyMalles(), volum.getzMalles()};
        // Spacing on screen at the box's nearest point, in device pixels.
        int stride[3];
        double closest = 1e300;
        for (int a = 0; a < 3; ++a) {
            const int n = std::clamp(meshes[a], 1, scene::kMaxMeshDivisions);
            const double spacingPixels = (max[a] - min[a]) / n * pixelsPerUnit / distance;
            stride[a] = scene::meshStride(spacingPixels);
            closest = std::min(closest, spacingPixels);
        }
        scene::setMeshLineColour(colour, closest);
        scene::setLineWidth(closest < scene::kFadeMeshSpacingPixels ? 1.0f : 2.0f);
        scene::drawMeshLines(min, max, meshes, stride);
    }
}

void GLWidget::drawAxis() {
    scene::setLineWidth(4.0f);
    if (axisList == 0) {
        axisList = glGenLists(1);
        const double e = kSceneExtent;
        glNewList(axisList, GL_COMPILE);
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
        glEndList();
    }
    glCallList(axisList);
    scene::setLineWidth(1.0f);
}

void GLWidget::drawGrid() {
    const double spacing = gridSpacing();
    if (gridList == 0 || spacing != gridListSpacing) {
        if (gridList == 0)
            gridList = glGenLists(1);
        // Never more lines than the unit grid has: a fine grid covers less of each plane.
        const double extent = std::min(double(kSceneExtent), spacing * kMaxGridLines);
        glNewList(gridList, GL_COMPILE);
        scene::drawGridLines(extent, spacing);
        glEndList();
        gridListSpacing = spacing;
    }
    glColor3f(0.0f, 0.0f, 0.0f);
    scene::setLineWidth(1.0f);
    glCallList(gridList);
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

QImage GLWidget::renderImage(const QSize &size) {
    if (!isValid())
        return QImage();
    if (size.isEmpty() || size == framebufferSize())
        return grabFramebuffer();
    makeCurrent();
    GLint maxDims[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxDims);
    if (size.width() > maxDims[0] || size.height() > maxDims[1]) {
        doneCurrent();
        return QImage();
    }
    QOpenGLFramebufferObject target(size, QOpenGLFramebufferObject::CombinedDepthStencil);
    QImage image;
    if (target.isValid() && target.bind()) {
        // An opaque picture: the background's alpha (0 on screen) and translucent lines must
        // not make it see-through.
        glClearColor(0.85f, 0.85f, 0.85f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
        renderScene(size);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0.85f, 0.85f, 0.85f, 0.0f);
        image = target.toImage(true).convertToFormat(QImage::Format_RGB32);
        target.release();
    }
    doneCurrent();
    // The view's own framebuffer has its size back at the next frame.
    update();
    return image;
}

// ---------------------------------------------------------------------------------------------
// Picking

void GLWidget::eye(double e[3]) const {
    cam->GetAbsWorldPosition(e[0], e[1], e[2]);
}

picking::Ray GLWidget::rayThrough(double x, double y) const {
    double right[3], up[3], back[3];
    cam->GetLocalAxes(right, up, back);
    const double w = std::max(1, width()), h = std::max(1, height());
    const double t = std::tan(halfFieldOfView());
    const double u = (2.0 * (x + 0.5) / w - 1.0) * t * (w / h);
    const double v = (1.0 - 2.0 * (y + 0.5) / h) * t;
    picking::Ray ray;
    eye(ray.origin);
    double length = 0.0;
    for (int i = 0; i < 3; ++i) {
        ray.direction[i] = -back[i] + u * right[i] + v * up[i];
        length += ray.direction[i] * ray.direction[i];
    }
    length = std::sqrt(length);
    for (double &c : ray.direction)
        c /= length;
    return ray;
}

picking::Hit GLWidget::castAt(int x, int y) const {
    if (!volums)
        return picking::Hit();
    const picking::Ray ray = rayThrough(x, y);
    // A few pixels on screen, in world units per unit of distance.
    const double slope = kPickPixels * 2.0 * std::tan(halfFieldOfView()) / std::max(1, height());
    return rMode == kAtomicMode ? picking::castAtAtoms(*volums, ray, slope)
                                : picking::castAtBoxes(*volums, ray, slope);
}

bool GLWidget::transled2Dto3DCoords(int x, int y, double *posX, double *posY, double *posZ) {
    *posX = *posY = *posZ = 0.0;
    if (!isValid())
        return false; // never shown: nothing the user could have pointed at
    const picking::Hit hit = castAt(x, y);
    if (hit.isHit()) {
        *posX = hit.point[0];
        *posY = hit.point[1];
        *posZ = hit.point[2];
        return true;
    }
    // The background: where the ray meets the far clipping plane.
    const picking::Ray ray = rayThrough(x, y);
    double right[3], up[3], back[3];
    cam->GetLocalAxes(right, up, back);
    double along = 0.0;
    for (int i = 0; i < 3; ++i)
        along -= ray.direction[i] * back[i];
    const double t = farPlane() / std::max(along, 1e-9);
    *posX = ray.origin[0] + t * ray.direction[0];
    *posY = ray.origin[1] + t * ray.direction[1];
    *posZ = ray.origin[2] + t * ray.direction[2];
    return true;
}

int GLWidget::volumAtPoint(double x, double y, double z, double margin) const {
    if (!volums)
        return -1;
    double e[3];
    eye(e);
    const double p[3] = {x, y, z};
    return picking::volumAtPoint(*volums, e, p, margin);
}

picking::Hit GLWidget::atomAtPoint(double x, double y, double z) const {
    if (!volums)
        return picking::Hit();
    double e[3];
    eye(e);
    const double p[3] = {x, y, z};
    return picking::atomAtPoint(*volums, e, p);
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

// ---------------------------------------------------------------------------------------------
// Input

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
        break;
    case Qt::Key_X:
        cam->ZoomIn(-zoom);
        break;
    case Qt::Key_Home:
    case Qt::Key_F:
        viewAll();
        break;
    case Qt::Key_Left:
        emit volumMoved(-move, 0.0, 0.0);
        return;
    case Qt::Key_Right:
        emit volumMoved(move, 0.0, 0.0);
        return;
    case Qt::Key_Up:
        emit volumMoved(0.0, move, 0.0);
        return;
    case Qt::Key_Down:
        emit volumMoved(0.0, -move, 0.0);
        return;
    case Qt::Key_M:
        emit volumMoved(0.0, 0.0, move);
        return;
    case Qt::Key_N:
        emit volumMoved(0.0, 0.0, -move);
        return;
    case Qt::Key_Shift:
        shiftpressed = true;
        return;
    default:
        QOpenGLWidget::keyPressEvent(event);
        return;
    }
    update(); // the camera moved
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

void GLWidget::pan(int dx, int dy) {
    // One pixel moves the focus by what a pixel covers at the focus's distance, so the design
    // follows the cursor.
    double right[3], up[3], back[3];
    cam->GetLocalAxes(right, up, back);
    const double perPixel =
        cam->GetRadius() * 2.0 * std::tan(halfFieldOfView()) / std::max(1, height());
    double focus[3];
    cam->GetFocusPosition(focus);
    for (int i = 0; i < 3; ++i)
        focus[i] += (-dx * right[i] + dy * up[i]) * perPixel;
    cam->SetFocusPosition(focus);
    update();
}

void GLWidget::mousePressEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    const bool shift = shiftpressed || (event->modifiers() & Qt::ShiftModifier);
    if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && shift)) {
        panning = true;
        panPos = pos;
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    mousepressed = true;
    lastx = pos.x();
    lasty = pos.y();
    pressPos = pos;
    dragged = false;
    clickPending = false;
    doubleclick = false;
    currentMB = event->button();
    // Bound to the view, so a pending click dies with it (New and Open replace the view).
    QTimer::singleShot(kSingleClickDelayMs, this, &GLWidget::singleLeftClick);
}

void GLWidget::singleLeftClick() {
    if (currentMB != Qt::LeftButton || doubleclick || dragged)
        return;
    if (mousepressed) {
        clickPending = true; // decided at the release: it may still become a drag
        return;
    }
    emitClick();
}

void GLWidget::emitClick() {
    // Without a frame there is no point to report (and the origin is not where the user clicked).
    double x, y, z;
    if (transled2Dto3DCoords(pressPos.x(), pressPos.y(), &x, &y, &z))
        emit mouseClicked(x, y, z);
}

void GLWidget::mouseDoubleClickEvent(QMouseEvent *event) {
    doubleclick = true;
    clickPending = false;
    const QPoint pos = event->position().toPoint();
    double x, y, z;
    if (transled2Dto3DCoords(pos.x(), pos.y(), &x, &y, &z))
        emit mouseDoubleClick(x, y, z);
}

void GLWidget::mouseReleaseEvent(QMouseEvent *event) {
    if (panning && (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton)) {
        panning = false;
        return;
    }
    mousepressed = false;
    if (event->button() == Qt::LeftButton && clickPending) {
        clickPending = false;
        if (!dragged && !doubleclick)
            emitClick();
    }
    if (event->button() != Qt::RightButton)
        return;
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
    if (panning) {
        pan(pos.x() - panPos.x(), pos.y() - panPos.y());
        panPos = pos;
        return;
    }
    if (!mousepressed) {
        // Hovering: the point comes from the ray cast alone; nothing is drawn.
        lastMovePos = pos;
        lastpointPending = true;
        if (!isValid())
            return;
        const picking::Hit hit = castAt(pos.x(), pos.y());
        if (hit.isHit()) {
            lastpoint = Coord(hit.point[0], hit.point[1], hit.point[2]);
            lastpointPending = false;
        }
        showCursorPoint(hit);
        return;
    }
    if ((pos - pressPos).manhattanLength() > QApplication::startDragDistance())
        dragged = true; // a rotation: the press selects nothing

    // The point under the cursor before the camera turns, as the status text reports it.
    const picking::Hit hit = castAt(pos.x(), pos.y());
    double x, y, z;
    transled2Dto3DCoords(pos.x(), pos.y(), &x, &y, &z);
    lastpoint = Coord(x, y, z);
    lastpointPending = false;

    cam->MoveRight((lastx - pos.x()) * kDragFactor);
    cam->MoveUp((pos.y() - lasty) * kDragFactor);
    lastx = pos.x();
    lasty = pos.y();
    update();
    showCursorPoint(hit);
}

void GLWidget::leaveEvent(QEvent *event) {
    showCursorPoint(picking::Hit());
    QOpenGLWidget::leaveEvent(event);
}

void GLWidget::showCursorPoint(const picking::Hit &hit) {
    // Coordinates only where the cursor is over the design, never far-plane numbers. Over the
    // background they are cleared once, so that other messages of the status bar stay.
    const QString text = hit.isHit()
                             ? QStringLiteral("X: ") + QString::number(hit.point[0], 'g', 6) +
                                   QStringLiteral("  Y: ") + QString::number(hit.point[1], 'g', 6) +
                                   QStringLiteral("  Z: ") + QString::number(hit.point[2], 'g', 6)
                             : QString();
    if (text == cursorText)
        return;
    cursorText = text;
    emit mouseMoved(text);
}
