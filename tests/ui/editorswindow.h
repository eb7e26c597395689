#ifndef KARVENO_TESTS_UI_EDITORSWINDOW_H
#define KARVENO_TESTS_UI_EDITORSWINDOW_H

// Reach into the main window's volum panel, picks and view for the tests of volum placement and
// atomic mode, plus small builders of designs.

#include "ui/mainwindow.h"

#include "modaldriver.h"
#include "model/material.h"
#include "model/materialsmanager.h"
#include "ui/volumsdialog.h"
#include "ui_mainwindow.h"
#include "view/glwidget.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

class MainWindowTestAccess {
public:
    static QList<Volum> &volums(MainWindow &w) { return w.volums; }
    static Ui::MainWindow &ui(MainWindow &w) { return *w.ui; }
    static GLWidget *view(MainWindow &w) { return w.qglWidget; }
    static QAction *solid(MainWindow &w) { return w.solid; }
    static QAction *atomic(MainWindow &w) { return w.atomic; }
    static bool modified(MainWindow &w) { return w.project_modified; }
    static void clearModified(MainWindow &w) { w.project_modified = false; }
    static float xprecision(MainWindow &w) { return w.xprecision; }
    static float yprecision(MainWindow &w) { return w.yprecision; }
    static bool selectedVolum(MainWindow &w) { return w.selectedVolum; }
    static int selectedVolumIndex(MainWindow &w) { return w.selectedVolumIndex; }
    static bool selectedAtom(MainWindow &w) { return w.selectedAtom; }
    static int selectedAtomIndex(MainWindow &w) { return w.selectedAtomIndex; }
    static QString volumSelectedAtom(MainWindow &w) { return w.volumSelectedAtom; }
    static int numberOfAtoms(MainWindow &w) { return w.getNumberOfAtoms(); }
    static bool checkOverlap(MainWindow &w, double x, double y, double z) {
        return w.checkOverlap(x, y, z);
    }
};
using A = MainWindowTestAccess;

namespace editors {

// Simple cubic lattice of unit spacing; its offsets all name the material itself.
inline Material *cubic(const QString &name, int index, const QList<Coord> &offsets = {Coord()}) {
    QList<Coord> named;
    for (Coord offset : offsets) {
        offset.setMaterialName(name);
        named << offset;
    }
    return new Material(name, index, QColor(10, 20, 30), Coord(1, 0, 0), Coord(0, 1, 0),
                        Coord(0, 0, 1), named);
}

// Replaces the registry's materials by Si (one offset) and Ox (three offsets).
inline void useTestMaterials() {
    MaterialsManager *registry = MaterialsManager::getInstance();
    registry->clearMaterials();
    registry->addMaterial(cubic(QStringLiteral("Si"), 1));
    registry->addMaterial(
        cubic(QStringLiteral("Ox"), 2, {Coord(), Coord(0.5, 0, 0), Coord(0, 0.5, 0)}));
}

inline Material *material(const QString &name) {
    return MaterialsManager::getInstance()->getMaterial(name);
}

// Appends a placed cube of the given edge and 10 meshes per axis, then lists the design again.
inline void addCube(MainWindow &w, const QString &name, double x, float edge = 1.0f,
                    const QString &materialName = QStringLiteral("Si")) {
    Volum v(name, 10, 10, 10);
    v.addCoords(Coord(x, 0, 0), edge, edge, edge);
    v.setMaterial(material(materialName));
    A::volums(w).append(v);
    w.updateVolums(QString(), QString());
}

inline QStringList itemTexts(MainWindow &w) {
    QStringList texts;
    QListWidget *list = A::ui(w).volumsList;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

inline QAction *viewAction(MainWindow &w, const QString &text) {
    for (QAction *action : A::view(w)->findChildren<QAction *>()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

// Runs `action` on a dialog from the dialog's own event loop, so that the message boxes it opens
// are answered too and the same dialog can be answered again when it is shown again.
inline ModalDriver::Answer later(std::function<void(QWidget *)> action) {
    return [action](QWidget *w) {
        QTimer::singleShot(0, w, [w, action] {
            w->setProperty("modalDriverAnswered", false);
            action(w);
        });
    };
}

template <typename T> T *child(QObject *parent, const char *name) {
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

// Presses a dialog's OK button, which runs its acceptance.
inline void pressOk(QWidget *dialog) {
    auto *box = child<QDialogButtonBox>(dialog, "buttonBox");
    box->button(QDialogButtonBox::Ok)->click();
}

} // namespace editors

#endif // KARVENO_TESTS_UI_EDITORSWINDOW_H
