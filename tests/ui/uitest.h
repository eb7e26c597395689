#ifndef KARVENO_TESTS_UI_UITEST_H
#define KARVENO_TESTS_UI_UITEST_H

// Shared by the user-interface tests: a driver that answers modal boxes and dialogs in order,
// access to the main window's state, and small builders of designs and working folders.

#include "ui/mainwindow.h"
#include "ui/recoveryfiles.h"

#include "model/material.h"
#include "model/materialsmanager.h"
#include "run/run.h"
#include "ui_mainwindow.h"
#include "view/glwidget.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLoggingCategory>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QQueue>
#include <QScrollArea>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QUrl>

#include <sys/stat.h>

#include <functional>

// Answers the modal widgets a command opens, in the order they appear, and records what each
// said: "title|text" for message boxes, "file:title" for file dialogs, "other:class" otherwise.
// A modal widget without a queued answer is rejected, so a test fails instead of hanging.
class ModalDriver : public QObject {
public:
    using Answer = std::function<void(QWidget *)>;
    QStringList seen;

    explicit ModalDriver(std::initializer_list<Answer> queued = {}) {
        for (const Answer &answer : queued)
            answers.enqueue(answer);
        connect(&timer, &QTimer::timeout, this, &ModalDriver::poll);
        timer.start(10);
    }
    ModalDriver &then(Answer answer) {
        answers.enqueue(std::move(answer));
        return *this;
    }
    static Answer press(QMessageBox::StandardButton button) {
        return [button](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (box && box->button(button))
                box->button(button)->click();
            else
                reject(w);
        };
    }
    // As press, and the box's icon is written to `icon`.
    static Answer pressNotingIcon(QMessageBox::StandardButton button, QMessageBox::Icon &icon) {
        return [button, &icon](QWidget *w) {
            if (auto *box = qobject_cast<QMessageBox *>(w))
                icon = box->icon();
            press(button)(w);
        };
    }
    // With removeAfter the file is deleted once the dialog has accepted it, before it is read.
    static Answer chooseFile(const QString &path, bool removeAfter = false) {
        return [path, removeAfter](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            if (!dialog)
                return reject(w);
            // selectFile leaves the name field alone while it has the focus; type it instead.
            if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                name->setText(path);
            else
                dialog->selectFile(path);
            static_cast<QDialog *>(dialog)->accept();
            if (removeAfter)
                QFile::remove(path);
        };
    }
    static Answer cancel() { return reject; }
    // Runs `action` from the dialog's own event loop, so that the boxes it opens are answered
    // too and a dialog shown again is answered again.
    static Answer later(Answer action) {
        return [action](QWidget *w) { QTimer::singleShot(0, w, [w, action] { action(w); }); };
    }

private:
    static void reject(QWidget *w) {
        if (auto *dialog = qobject_cast<QDialog *>(w))
            dialog->reject();
        else
            w->close();
    }
    void poll() {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || !w->isVisible())
            return;
        if (w == current) {
            // A file dialog may refuse an accept while it still lists its folder: try again.
            if (++pollsSinceAnswer % 10 == 0)
                currentAnswer(w);
            return;
        }
        if (auto *box = qobject_cast<QMessageBox *>(w))
            seen << box->windowTitle() + QLatin1Char('|') + box->text();
        else if (qobject_cast<QFileDialog *>(w))
            seen << QStringLiteral("file:") + w->windowTitle();
        else
            seen << QStringLiteral("other:") + QLatin1String(w->metaObject()->className());
        current = w;
        pollsSinceAnswer = 0;
        currentAnswer = answers.isEmpty() ? cancel() : answers.dequeue();
        currentAnswer(w);
    }

    QPointer<QWidget> current;
    Answer currentAnswer;
    int pollsSinceAnswer = 0;
    QTimer timer;
    QQueue<Answer> answers;
};

class MainWindowTestAccess {
public:
    static QList<Volum> &volums(MainWindow &w) { return w.volums; }
    static Ui::MainWindow &ui(MainWindow &w) { return *w.ui; }
    static GLWidget *view(MainWindow &w) { return w.qglWidget; }
    static QAction *solid(MainWindow &w) { return w.solid; }
    static QAction *atomic(MainWindow &w) { return w.atomic; }
    static bool modified(MainWindow &w) { return w.project_modified; }
    static void setModified(MainWindow &w) { w.setProjectModified(); }
    // As after a save: the undo stack's present state is the saved one.
    static void clearModified(MainWindow &w) {
        w.undo->setClean();
        w.project_modified = false;
    }
    static QString curFile(MainWindow &w) { return w.curFile; }
    static QList<Category> &categories(MainWindow &w) { return w.categories; }
    static int &version(MainWindow &w) { return w.version; }
    static double &yMesure(MainWindow &w) { return w.yScaleMesure; }
    static float xprecision(MainWindow &w) { return w.xprecision; }
    static bool selectedVolum(MainWindow &w) { return w.selectedVolum; }
    static int selectedVolumIndex(MainWindow &w) { return w.selectedVolumIndex; }
    static bool selectedAtom(MainWindow &w) { return w.selectedAtom; }
    static int selectedAtomIndex(MainWindow &w) { return w.selectedAtomIndex; }
    static QString volumSelectedAtom(MainWindow &w) { return w.volumSelectedAtom; }
    static int numberOfAtoms(MainWindow &w) { return w.getNumberOfAtoms(); }
    static Run *simulation(MainWindow &w) { return w.simulation; }
    static QString outputPath(MainWindow &w) { return w.simulationOutputPath; }
    static bool saveFile(MainWindow &w, const QString &f) { return w.saveFile(f); }
    static bool saveAs(MainWindow &w) { return w.saveAs(); }
    static void newSim(MainWindow &w) { w.newSim(); }
    static void showFault(MainWindow &w, const QString &verdict) { w.showFault(verdict); }
    static QMenu *recentMenu(MainWindow &w) { return w.recentMenu; }
    // A file dragged over the window and dropped; false when the window refuses it.
    static bool drop(MainWindow &w, const QString &file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        w.dragEnterEvent(&enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        w.dropEvent(&drop);
        return drop.isAccepted();
    }
    static QString selectionDetails(MainWindow &w) { return w.selectionLabel->text(); }
    // The project file's text for the window's design as it is now; nothing is saved.
    static QByteArray projectText(MainWindow &w) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("project.txt"));
        if (!writeProjectFile(path, w.projectDesign(), *MaterialsManager::getInstance()))
            return QByteArray();
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void openSim(MainWindow &w) { w.openSim(); }
    static bool save(MainWindow &w) { return w.save(); }
    static void autosave(MainWindow &w) { w.autosave(); }
};
using A = MainWindowTestAccess;

namespace uitest {

template <typename T> T *child(const QObject *parent, const char *name) {
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

inline void press(QWidget *dialog, QDialogButtonBox::StandardButton which) {
    child<QDialogButtonBox>(dialog, "buttonBox")->button(which)->click();
}

inline bool writeFile(const QString &path, const QByteArray &content, bool executable = false) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        return false;
    f.close();
    return !executable || f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
}

inline QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly | QIODevice::Text) ? f.readAll() : QByteArray();
}

// Makes `dir` the working folder, with two small catalogues and one material.
inline bool enterWorkFolder(const QTemporaryDir &dir) {
    return dir.isValid() && QDir(dir.path()).mkpath(QStringLiteral("data/materials")) &&
           writeFile(dir.filePath("data/properties.txt"),
                     "1\n2\n2 General settings\nTemperature 2 300 Lattice (K)\nSteps 1 10 Steps\n"
                     "1 Output\nVerbose 0 1 Write more output\n") &&
           writeFile(dir.filePath("data/volum_properties.txt"),
                     "1\n1 Boundaries\nContact 0 0 The volum is a contact\n") &&
           writeFile(dir.filePath("data/materials/si.txt"),
                     "M\nSi\n1\n200 100 50\n1 0 0\n0 1 0\n0 0 1\n1\n0 0 0 Si\n0\n") &&
           QDir::setCurrent(dir.path());
}

// Simple cubic lattice of unit spacing whose offsets all name the material itself.
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
    registry->addMaterial(cubic("Si", 1));
    registry->addMaterial(cubic("Ox", 2, {Coord(), Coord(0.5, 0, 0), Coord(0, 0.5, 0)}));
}

inline Material *material(const QString &name) {
    return MaterialsManager::getInstance()->getMaterial(name);
}

inline Volum cube(const QString &name, double x, float edge = 1.0f, Material *m = nullptr) {
    Volum v(name, 10, 10, 10);
    v.addCoords(Coord(x, 0, 0), edge, edge, edge);
    v.setMaterial(m);
    return v;
}

// Appends a placed cube with 10 meshes per axis and lists the design again.
inline void addCube(MainWindow &w, const QString &name, double x, float edge = 1.0f,
                    const QString &materialName = QStringLiteral("Si")) {
    A::volums(w).append(cube(name, x, edge, material(materialName)));
    w.updateVolums(QString(), QString());
}

// Quiet debug output and the test materials, before each test.
inline void quietWithTestMaterials() {
    QLoggingCategory::setFilterRules("karveno.*.debug=false\ndefault.debug=false");
    useTestMaterials();
}

// The test materials in place of those the window read, and Si cubes "a" at x = 0 and "b" at 2.
inline void twoCubes(MainWindow &w) {
    useTestMaterials();
    addCube(w, "a", 0);
    addCube(w, "b", 2);
}

// A data table of one bool column: a row tagged `no` (false) and one tagged `yes` (true).
inline void boolRows(const char *column, const char *no, const char *yes) {
    QTest::addColumn<bool>(column);
    QTest::newRow(no) << false;
    QTest::newRow(yes) << true;
}

inline QStringList itemTexts(MainWindow &w) {
    QStringList texts;
    for (int i = 0; i < A::ui(w).volumsList->count(); ++i)
        texts << A::ui(w).volumsList->item(i)->text();
    return texts;
}

inline QAction *viewAction(MainWindow &w, const QString &text) {
    for (QAction *action : A::view(w)->findChildren<QAction *>()) {
        if (action->text() == text)
            return action;
    }
    qFatal("no view action %s", qPrintable(text));
}

} // namespace uitest

#endif // KARVENO_TESTS_UI_UITEST_H
