#ifndef KARVENO_VIEW_GLWIDGET_H
#define KARVENO_VIEW_GLWIDGET_H

// The 3D view of the design: draws the main window's volums (solid boxes with mesh lines, or one
// sphere per atom), axes and grid, and turns keyboard, wheel and mouse input into camera moves
// and signals. It draws only when something it shows changed: its own camera, mode and toggles
// schedule a frame themselves; the owner of the design calls designChanged() after every change
// of the volums, their visibility or picks. It never changes the design; the window listens to
// the signals and decides.

#include "model/coord.h"
#include "view/atomcloud.h"
#include "view/scenepicking.h"

#include <QList>
#include <QOpenGLWidget>
#include <QPoint>
#include <QString>

#include <memory>

class QAction;
class QImage;
class SphericalCamera;
class Volum;

class GLWidget : public QOpenGLWidget {
    Q_OBJECT

public:
    // Render modes.
    static constexpr int kSolidMode = 0;
    static constexpr int kAtomicMode = 1;
    // A click this close to a volum or atom on screen still hits it, in logical pixels.
    static constexpr double kPickPixels = 3.0;

    // volums is the window's list, not owned; it must outlive the view. rMode: 0 solid, 1 atomic.
    GLWidget(QList<Volum> *volums, int rMode, QWidget *parent = nullptr);
    ~GLWidget() override;

    void setRMode(int mode_);
    int getRMode() const { return rMode; }

    // A flag the main window keeps here; the view itself does not read it.
    void setSelectMode(bool mode_) { selectMode = mode_; }
    bool getSelectMode() const { return selectMode; }

    // Enable or disable the context menu's "Edit Atom" and "Delete Atom".
    void setEditAtomAction(bool e);
    void setDeleteAtomAction(bool e);

    // World point under the window pixel (x, y) (logical pixels, origin top left): where a ray
    // from the eye through that pixel meets the nearest visible volum (solid mode) or atom
    // (atomic mode), within kPickPixels. Over the background the point lies on the far plane.
    // Returns false, with (0, 0, 0), when the view has never been shown.
    bool transled2Dto3DCoords(int x, int y, double *posX, double *posY, double *posZ);

    // Which visible volum, or atom, a world point reported by the view belongs to, as seen from
    // the current eye: on a face shared by two volums the one facing the eye wins.
    int volumAtPoint(double x, double y, double z, double margin) const;
    picking::Hit atomAtPoint(double x, double y, double z) const;

    // World point under the cursor at the last mouse move.
    Coord getLastPoint();
    SphericalCamera &camera() { return *cam; }
    bool axisShown() const { return axis; }
    bool gridShown() const { return grid; }
    // Spacing of the grid's lines: about twenty across the design, 1 for an empty design.
    double gridSpacing() const;

    // Looks at the box's centre and steps back, along the current direction, until the whole
    // box fits in the view; a camera already far enough keeps its distance.
    void bringIntoView(const double min[3], const double max[3]);

    // The frame drawn off screen at the given size in device pixels (the view's own size when
    // empty). A null image when the view has never been shown or the size cannot be drawn.
    QImage renderImage(const QSize &size = QSize());

    // Scene elements.
    void drawAxis();
    void drawGrid();
    // Translucent white squares on the three coordinate planes; not part of the frame.
    void drawInvisibleBox();

signals:
    // "X: ..  Y: ..  Z: .." when the cursor moves over the design, with or without a button
    // held; an empty text once when it leaves the design.
    void mouseMoved(QString);
    // A volum-moving key: the displacement asked for.
    void volumMoved(double, double, double);
    // 200 ms after a left press that no double click followed and that was not a drag (at the
    // release, when the button is held longer); the world point pressed.
    void mouseClicked(double, double, double);
    void editAtomSignal();
    void deleteAtomSignal();
    void camChanged(int);
    void mouseDoubleClick(double, double, double);

public slots:
    void setAxis(bool a);
    void setGrid(bool g);
    // The camera looks at (x, y, z), keeping its radius and angles.
    void focusCameraToVolum(double x, double y, double z);
    void editAtomSlot();
    void deleteAtomSlot();
    void singleLeftClick();
    // The design shown changed (volums, visibility, picks, atoms): draw it again.
    void designChanged();
    // Fits the camera to all volums, keeping its direction.
    void viewAll();

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
    void leaveEvent(QEvent *event) override;

private:
    QSize framebufferSize() const;
    double farPlane() const;
    // Viewport and perspective for a framebuffer of this size.
    void applyProjection(const QSize &size);
    void renderScene(const QSize &size);
    void drawVolums();
    // The nearest visible volum or atom (by mode) under logical pixel (x, y).
    picking::Hit castAt(int x, int y) const;
    // The ray from the eye through the centre of logical pixel (x, y).
    picking::Ray rayThrough(double x, double y) const;
    void eye(double e[3]) const;
    // Moves the focus in the view plane by a drag of (dx, dy) logical pixels.
    void pan(int dx, int dy);
    void emitClick();
    // Reports the point of a pick under the cursor (nothing over the background) through
    // mouseMoved, when the text changes.
    void showCursorPoint(const picking::Hit &hit);

    float zNear = 0.01f;
    float zFar = 2000.0f;
    // Matrices and viewport of the last frame, right after the camera was applied.
    double modelview[16] = {};
    double projection[16] = {};
    int viewport[4] = {0, 0, 0, 0};
    QList<Volum> *volums;
    Coord lastpoint;
    // A move without a button only records where the cursor is; lastpoint is worked out from it
    // when asked for.
    QPoint lastMovePos;
    bool lastpointPending = false;
    // The coordinates mouseMoved said last; empty when none are shown.
    QString cursorText;
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
    // Where the left button went down, whether the press has become a drag, and whether its
    // click waits for the release.
    QPoint pressPos;
    bool dragged = false;
    bool clickPending = false;
    // Panning with the middle button (or Shift and the left button).
    bool panning = false;
    QPoint panPos;

    // Drawn from caches rebuilt only when the design or the grid's spacing changes.
    AtomCloud atomCloud;
    bool atomCloudStale = true;
    unsigned int gridList = 0;
    double gridListSpacing = 0.0;
    unsigned int axisList = 0;
};

#endif
