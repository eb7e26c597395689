#ifndef KARVENO_VIEW_GLWIDGET_H
#define KARVENO_VIEW_GLWIDGET_H

// The 3D view of the design: draws the main window's volums (solid boxes with mesh lines, or one
// sphere per atom), axes and grid, redraws from an 11 ms timer, and turns keyboard, wheel and mouse
// input into camera moves and signals. It never changes the design; the window listens to the
// signals and decides.

#include "model/coord.h"

#include <QList>
#include <QOpenGLWidget>
#include <QString>

#include <memory>

class QAction;
class SphericalCamera;
class Volum;

class GLWidget : public QOpenGLWidget {
    Q_OBJECT

public:
    // Render modes.
    static constexpr int kSolidMode = 0;
    static constexpr int kAtomicMode = 1;

    // volums is the window's list, not owned; it must outlive the view. rMode: 0 solid, 1 atomic.
    GLWidget(QList<Volum> *volums, int rMode, QWidget *parent = nullptr);
    ~GLWidget() override;

    // Neither redraws by itself; the next timer tick does.
    void setRMode(int mode_) { rMode = mode_; }
    int getRMode() const { return rMode; }

    // A flag the main window keeps here; the view itself does not read it.
    void setSelectMode(bool mode_) { selectMode = mode_; }
    bool getSelectMode() const { return selectMode; }

    // Enable or disable the context menu's "Edit Atom" and "Delete Atom".
    void setEditAtomAction(bool e);
    void setDeleteAtomAction(bool e);

    // World point under the window pixel (x, y) (logical pixels, origin top left): draws the scene,
    // reads the depth there and unprojects it. Over the background the point lies on the far plane.
    // Returns false, with (0, 0, 0), when the view has no OpenGL context yet.
    bool transled2Dto3DCoords(int x, int y, double *posX, double *posY, double *posZ);

    // World point under the cursor at the last mouse move.
    Coord getLastPoint();
    SphericalCamera &camera() { return *cam; }
    bool axisShown() const { return axis; }
    bool gridShown() const { return grid; }

    // Scene elements.
    void drawAxis();
    void drawGrid();
    // Translucent white squares on the three coordinate planes; not part of the frame.
    void drawInvisibleBox();

signals:
    // "X: ..  Y: ..  Z: .." while dragging with the left button.
    void mouseMoved(QString);
    // A volum-moving key: the displacement asked for.
    void volumMoved(double, double, double);
    // 200 ms after a left press that no double click followed; the world point pressed.
    void mouseClicked(double, double, double);
    void editAtomSignal();
    void deleteAtomSignal();
    void camChanged(int);
    void mouseDoubleClick(double, double, double);

public slots:
    void setAxis(bool a) { axis = a; }
    void setGrid(bool g) { grid = g; }
    // The camera looks at (x, y, z), keeping its radius and angles.
    void focusCameraToVolum(double x, double y, double z);
    void editAtomSlot();
    void deleteAtomSlot();
    void singleLeftClick();

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;

    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    QSize framebufferSize() const;
    // Viewport and perspective for the current size in device pixels.
    void applyProjection();
    // The frame. With a pick pixel (framebuffer coordinates) it is a picking pass: it writes the
    // depth of that one pixel only, at the surfaces' true depth, and leaves the colour of the last
    // frame on screen.
    void renderScene(const QPoint *pickPixel);
    void drawVolums();

    float zNear = 0.01f;
    float zFar = 2000.0f;
    // Matrices and viewport of the last frame or picking pass, right after the camera was applied.
    double modelview[16] = {};
    double projection[16] = {};
    int viewport[4] = {0, 0, 0, 0};
    QList<Volum> *volums;
    Coord lastpoint;
    // A move without a button only records where the cursor is; lastpoint is worked out from it
    // when asked for, which spares a pass over the whole scene at every mouse move.
    QPoint lastMovePos;
    bool lastpointPending = false;
    bool selectMode = false;
    int rMode;
    std::unique_ptr<SphericalCamera> cam;
    bool axis = true;
    bool grid = false;
    QAction *editAtomAct = nullptr;   // owned by the view
    QAction *deleteAtomAct = nullptr; // owned by the view
    bool mousepressed = false;
    bool shiftpressed = false;
    bool doubleclick = false;
    int lastx = 0;
    int lasty = 0;
    Qt::MouseButton currentMB = Qt::NoButton;
    int redrawTimer = 0;
};

#endif
