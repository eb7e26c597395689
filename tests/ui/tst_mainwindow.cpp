// The main window's own behaviour: start-up state, title rule and modified flag, the connections
// made with each new view, and the project life cycle with its unsaved-changes guard. Runs in a
// temporary folder with small catalogues of its own, so it does not depend on data/.

#include "ui/mainwindow.h"

#include "modaldriver.h"
#include "model/material.h"
#include "model/materialsmanager.h"
#include "ui_mainwindow.h"
#include "view/glwidget.h"

#include <QActionGroup>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

class MainWindowTestAccess {
public:
    static QList<Volum> &volums(MainWindow &w) { return w.volums; }
    static Ui::MainWindow &ui(MainWindow &w) { return *w.ui; }
    static GLWidget *view(MainWindow &w) { return w.qglWidget; }
    static QAction *solid(MainWindow &w) { return w.solid; }
    static QAction *atomic(MainWindow &w) { return w.atomic; }
    static bool modified(MainWindow &w) { return w.project_modified; }
    static QString curFile(MainWindow &w) { return w.curFile; }
    static QList<Category> &categories(MainWindow &w) { return w.categories; }
    static int version(MainWindow &w) { return w.version; }
    static double &xMesure(MainWindow &w) { return w.xScaleMesure; }
    static int &xUnit(MainWindow &w) { return w.xScaleUnit; }
    static bool saveFile(MainWindow &w, const QString &f) { return w.saveFile(f); }
    static void loadFile(MainWindow &w, const QString &f) { w.loadFile(f); }
    static bool save(MainWindow &w) { return w.save(); }
    static bool saveAs(MainWindow &w) { return w.saveAs(); }
    static void newSim(MainWindow &w) { w.newSim(); }
    static void openSim(MainWindow &w) { w.openSim(); }
    static void setModified(MainWindow &w) { w.setProjectModified(); }
};
using A = MainWindowTestAccess;

namespace {

// QObject::receivers is protected; a pointer to it formed through a derived class may be applied
// to any object.
struct ReceiverCount : QObject {
    static int of(const QObject *sender, const char *signal) {
        return (sender->*(&ReceiverCount::receivers))(signal);
    }
};

void writeFile(const QString &path, const QByteArray &content) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Text), qPrintable(path));
    f.write(content);
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return f.readAll();
}

// Adds a placed, visible 1 x 1 x 1 volum of the first registered material at x.
void addVolum(MainWindow &w, const QString &name, double x) {
    Volum v(name, 2, 2, 2);
    v.setMaterial(MaterialsManager::getInstance()->getMaterials()->value(0));
    v.addCoords(Coord(x, 0, 0), 1.0f, 1.0f, 1.0f);
    A::volums(w).append(v);
}

QStringList itemTexts(MainWindow &w) {
    QStringList texts;
    QListWidget *list = A::ui(w).volumsList;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

const QString kUnexpected = QStringLiteral("Application|Unexpected file format");
const QString kGuard = QStringLiteral("KARVENO Simulator|The current project has been modified.\n"
                                      "Do you want to save your changes?");

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void startsEmptyUnnamedAndUnmodified();
    void titleFollowsModifiedFlagAndFile();

    void viewConnectionsExistOnceAfterNewAndOpen();

    void guardAsksNothingWhenUnmodified();
    void guardCancelLeavesEverythingAsItWas();
    void guardDiscardStartsEmptyProject();
    void guardSaveThatWritesNothingStopsTheCommand();
    void guardSaveWritesThenGoesOn();
    void closingRespectsTheGuard();

    void saveAsAddsTxtExtension_data();
    void saveAsAddsTxtExtension();
    void saveAsAsksBeforeReplacingTheExtendedName();
    void failedWriteKeepsStateAndPreviousFile();

    void openListsEveryVolumCheckedAndNamesTheProject();
    void unreadableFileLeavesProjectUntouched();
    void missingMarkersWarnOncePerMarker_data();
    void missingMarkersWarnOncePerMarker();
    void newReloadsCataloguesAndMaterialsButKeepsDefaults();

private:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
};

void TestMainWindow::initTestCase() {
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("data/materials")));
    writeFile(path("data/properties.txt"), "1\n"
                                           "2\n"
                                           "2 General settings\n"
                                           "Temperature 2 300 Lattice temperature (K)\n"
                                           "Steps 1 10 Number of time steps\n"
                                           "1 Output\n"
                                           "Verbose 0 1 Write more output\n");
    writeFile(path("data/volum_properties.txt"), "1\n"
                                                 "1 Boundaries\n"
                                                 "Contact 0 0 The volum is a contact\n");
    writeFile(path("data/materials/si.txt"), "M\nSi\n1\n200 100 50\n1 0 0\n0 1 0\n0 0 1\n"
                                             "1\n0 0 0 Si\n0\n");
    QVERIFY(QDir::setCurrent(dir.path()));
}

void TestMainWindow::startsEmptyUnnamedAndUnmodified() {
    MainWindow w;
    Ui::MainWindow &ui = A::ui(w);
    QCOMPARE(w.windowTitle(), QStringLiteral("New unsaved project - KARVENO Simulator"));
    QCOMPARE(ui.volumsList->count(), 0);
    QVERIFY(!ui.editButton->isEnabled());
    QVERIFY(!ui.duplicateButton->isEnabled());
    QVERIFY(!ui.deleteButton->isEnabled());
    QVERIFY(ui.actionShow_Axis->isChecked());
    QVERIFY(!ui.actionShow_Grid->isChecked());
    QVERIFY(A::solid(w)->isChecked());
    QVERIFY(ui.modeBox->isHidden());
    QVERIFY(A::view(w));
    QCOMPARE(A::view(w)->getRMode(), 0);
    // The loaders ran: version, general categories and the material folder.
    QCOMPARE(A::version(w), 1);
    QCOMPARE(A::categories(w).size(), 2);
    QCOMPARE(A::categories(w).at(0).getName(), QStringLiteral("General settings"));
    QCOMPARE(MaterialsManager::getInstance()->getMaterials()->size(), 1);
}

void TestMainWindow::titleFollowsModifiedFlagAndFile() {
    MainWindow w;
    A::setModified(w);
    QVERIFY(A::modified(w));
    QCOMPARE(w.windowTitle(), QStringLiteral("* New unsaved project - KARVENO Simulator"));

    const QString file = path("title.txt");
    QVERIFY(A::saveFile(w, file));
    QCOMPARE(w.windowTitle(), file + QStringLiteral(" - KARVENO Simulator"));
    QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("File saved"));
    A::setModified(w);
    QCOMPARE(w.windowTitle(), QStringLiteral("* ") + file + QStringLiteral(" - KARVENO Simulator"));

    // A language change re-applies the form's texts; the title rule still holds.
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&w, &change);
    QCOMPARE(w.windowTitle(), QStringLiteral("* ") + file + QStringLiteral(" - KARVENO Simulator"));
}

void TestMainWindow::viewConnectionsExistOnceAfterNewAndOpen() {
    MainWindow w;
    const char *viewSignals[] = {SIGNAL(mouseMoved(QString)),
                                 SIGNAL(volumMoved(double, double, double)),
                                 SIGNAL(mouseClicked(double, double, double)),
                                 SIGNAL(editAtomSignal()),
                                 SIGNAL(deleteAtomSignal()),
                                 SIGNAL(mouseDoubleClick(double, double, double))};
    Ui::MainWindow &ui = A::ui(w);
    auto counts = [&] {
        QList<int> c;
        for (const char *signal : viewSignals)
            c << ReceiverCount::of(A::view(w), signal);
        c << ReceiverCount::of(A::solid(w), SIGNAL(triggered(bool)))
          << ReceiverCount::of(A::atomic(w), SIGNAL(triggered(bool)))
          << ReceiverCount::of(ui.actionShow_Axis, SIGNAL(toggled(bool)))
          << ReceiverCount::of(ui.actionShow_Grid, SIGNAL(toggled(bool)))
          << ReceiverCount::of(&w, SIGNAL(volumSelected(double, double, double)))
          << ReceiverCount::of(&w, SIGNAL(volumSelected(QString)))
          << ReceiverCount::of(&w, SIGNAL(projectLoaded(double, double, double)))
          << ReceiverCount::of(ui.actionNewSim, SIGNAL(triggered(bool)))
          << ReceiverCount::of(ui.actionOpen, SIGNAL(triggered(bool)));
        return c;
    };
    const QList<int> atStart = counts();
    for (int i = 0; i < 6; ++i)
        QCOMPARE(atStart.at(i), 1);
    QCOMPARE(ReceiverCount::of(&w, SIGNAL(projectLoaded(double, double, double))), 1);
    QCOMPARE(ReceiverCount::of(&w, SIGNAL(volumSelected(double, double, double))), 1);

    QPointer<GLWidget> first = A::view(w);
    A::newSim(w);
    QVERIFY(first.isNull());
    QCOMPARE(counts(), atStart);

    const QString file = path("connections.txt");
    QVERIFY(A::saveFile(w, file));
    ModalDriver driver;
    driver.then(ModalDriver::chooseFile(file));
    QPointer<GLWidget> second = A::view(w);
    A::openSim(w);
    QCOMPARE(driver.seen, QStringList{QStringLiteral("file:Open a Project")});
    QVERIFY(second.isNull());
    QCOMPARE(counts(), atStart);

    // The check marks follow the new view, which starts with axes shown and the grid hidden.
    ui.actionShow_Grid->setChecked(true);
    A::newSim(w);
    QVERIFY(!ui.actionShow_Grid->isChecked());
    QVERIFY(!A::view(w)->gridShown());
    ui.actionShow_Grid->setChecked(true);
    QVERIFY(A::view(w)->gridShown());
}

void TestMainWindow::guardAsksNothingWhenUnmodified() {
    MainWindow w;
    ModalDriver driver;
    A::newSim(w);
    driver.then(ModalDriver::cancel()); // the open-file dialog, not a question
    A::openSim(w);
    QVERIFY(w.close());
    QCOMPARE(driver.seen, QStringList{QStringLiteral("file:Open a Project")});
}

void TestMainWindow::guardCancelLeavesEverythingAsItWas() {
    MainWindow w;
    addVolum(w, "gate", 0);
    A::ui(w).volumsList->addItem("gate [1]");
    A::setModified(w);
    QPointer<GLWidget> view = A::view(w);
    const QString title = w.windowTitle();

    ModalDriver driver;
    driver.then(ModalDriver::press(QMessageBox::Cancel))
        .then(ModalDriver::press(QMessageBox::Cancel))
        .then(ModalDriver::press(QMessageBox::Cancel));
    A::newSim(w);
    A::openSim(w);
    QVERIFY(!w.close());
    QCOMPARE(driver.seen, QStringList({kGuard, kGuard, kGuard}));
    QCOMPARE(A::volums(w).size(), 1);
    QCOMPARE(A::view(w), view);
    QCOMPARE(itemTexts(w), QStringList{"gate [1]"});
    QVERIFY(A::modified(w));
    QCOMPARE(w.windowTitle(), title);
}

void TestMainWindow::guardDiscardStartsEmptyProject() {
    MainWindow w;
    addVolum(w, "gate", 0);
    A::ui(w).volumsList->addItem("gate [1]");
    A::ui(w).editButton->setEnabled(true);
    A::ui(w).deleteButton->setEnabled(true);
    A::xMesure(w) = 2.5;
    A::xUnit(w) = -9;
    A::setModified(w);

    ModalDriver driver;
    driver.then(ModalDriver::press(QMessageBox::Discard));
    A::newSim(w);
    QCOMPARE(driver.seen, QStringList{kGuard});
    QVERIFY(A::volums(w).isEmpty());
    QCOMPARE(A::ui(w).volumsList->count(), 0);
    QVERIFY(!A::ui(w).editButton->isEnabled());
    QVERIFY(!A::ui(w).deleteButton->isEnabled());
    QCOMPARE(A::xMesure(w), 1.0);
    QCOMPARE(A::xUnit(w), -10);
    QVERIFY(!A::modified(w));
    QCOMPARE(w.windowTitle(), QStringLiteral("New unsaved project - KARVENO Simulator"));
}

void TestMainWindow::guardSaveThatWritesNothingStopsTheCommand() {
    // Save chosen on a project never saved: the save dialog is cancelled, so nothing is written
    // and the command must not throw the changes away.
    MainWindow w;
    addVolum(w, "gate", 0);
    A::setModified(w);
    ModalDriver driver;
    driver.then(ModalDriver::press(QMessageBox::Save)).then(ModalDriver::cancel());
    A::newSim(w);
    QCOMPARE(driver.seen, QStringList({kGuard, QStringLiteral("file:Save Project")}));
    QCOMPARE(A::volums(w).size(), 1);
    QVERIFY(A::modified(w));

    // The same for closing: the window stays open.
    driver.seen.clear();
    driver.then(ModalDriver::press(QMessageBox::Save)).then(ModalDriver::cancel());
    QVERIFY(!w.close());
    QCOMPARE(driver.seen.size(), 2);
    QCOMPARE(A::volums(w).size(), 1);
}

void TestMainWindow::guardSaveWritesThenGoesOn() {
    MainWindow w;
    const QString file = path("guard-save.txt");
    QVERIFY(A::saveFile(w, file));
    addVolum(w, "gate", 0);
    A::setModified(w);

    ModalDriver driver;
    driver.then(ModalDriver::press(QMessageBox::Save)).then(ModalDriver::cancel());
    A::openSim(w);
    // Saved, then the open dialog was cancelled: the project stays open and is not modified.
    QCOMPARE(driver.seen, QStringList({kGuard, QStringLiteral("file:Open a Project")}));
    QVERIFY(!A::modified(w));
    QCOMPARE(A::volums(w).size(), 1);
    QCOMPARE(A::curFile(w), file);
    QVERIFY(readFile(file).contains("\ngate\n"));
}

void TestMainWindow::closingRespectsTheGuard() {
    MainWindow w;
    A::setModified(w);
    ModalDriver driver;
    // Quit goes through the window's close handling.
    driver.then(ModalDriver::press(QMessageBox::Cancel));
    A::ui(w).actionQuit->trigger();
    QCOMPARE(driver.seen, QStringList{kGuard});
    driver.then(ModalDriver::press(QMessageBox::Cancel));
    QVERIFY(!w.close());
    driver.then(ModalDriver::press(QMessageBox::Discard));
    QVERIFY(w.close());
    QCOMPARE(driver.seen, QStringList({kGuard, kGuard, kGuard}));
}

void TestMainWindow::saveAsAddsTxtExtension_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "plain"
                                  << "plain.txt";
    QTest::newRow("txt kept") << "kept.txt"
                              << "kept.txt";
    QTest::newRow("upper-case TXT is not .txt") << "upper.TXT"
                                                << "upper.TXT.txt";
}

void TestMainWindow::saveAsAddsTxtExtension() {
    QFETCH(QString, typed);
    QFETCH(QString, written);
    MainWindow w;
    A::setModified(w);
    ModalDriver driver;
    driver.then(ModalDriver::chooseFile(path(typed)));
    QVERIFY(A::saveAs(w));
    QCOMPARE(driver.seen, QStringList{QStringLiteral("file:Save Project")});
    QCOMPARE(A::curFile(w), path(written));
    QVERIFY(QFile::exists(path(written)));
    QVERIFY(!A::modified(w));
}

void TestMainWindow::saveAsAsksBeforeReplacingTheExtendedName() {
    // "report" is typed; "report.txt" holds another project. The dialog only saw "report".
    const QString other = path("report.txt");
    writeFile(other, "another project\n");
    MainWindow w;
    A::setModified(w);
    const QString question = QStringLiteral("KARVENO Simulator|") +
                             QDir::toNativeSeparators(other) +
                             QStringLiteral(" already exists.\nDo you want to replace it?");
    ModalDriver driver;
    driver.then(ModalDriver::chooseFile(path("report"))).then(ModalDriver::press(QMessageBox::No));
    QVERIFY(!A::saveAs(w));
    QCOMPARE(driver.seen, QStringList({QStringLiteral("file:Save Project"), question}));
    QCOMPARE(readFile(other), QByteArray("another project\n"));
    QVERIFY(A::modified(w));

    driver.then(ModalDriver::chooseFile(path("report"))).then(ModalDriver::press(QMessageBox::Yes));
    QVERIFY(A::saveAs(w));
    QCOMPARE(A::curFile(w), other);
    QVERIFY(readFile(other).startsWith("1\nP "));
}

void TestMainWindow::failedWriteKeepsStateAndPreviousFile() {
    MainWindow w;
    const QString good = path("previous.txt");
    QVERIFY(A::saveFile(w, good));
    const QByteArray before = readFile(good);
    addVolum(w, "gate", 0);
    A::setModified(w);

    ModalDriver driver;
    driver.then(ModalDriver::press(QMessageBox::Ok));
    const QString bad = path("no-such-folder/project.txt");
    QVERIFY(!A::saveFile(w, bad));
    QCOMPARE(driver.seen.size(), 1);
    QVERIFY(driver.seen.at(0).startsWith(QStringLiteral("Application|Cannot write file ")));
    QVERIFY(driver.seen.at(0).contains(QDir::toNativeSeparators(bad)));
    QCOMPARE(A::curFile(w), good);
    QVERIFY(A::modified(w));
    QCOMPARE(readFile(good), before);
}

void TestMainWindow::openListsEveryVolumCheckedAndNamesTheProject() {
    const QString file = path("two-volums.txt");
    {
        MainWindow w;
        addVolum(w, "source", 0);
        addVolum(w, "drain", 1);
        A::volums(w)[1].setVisible(false);
        QVERIFY(A::saveFile(w, file));
    }
    MainWindow w;
    ModalDriver driver;
    driver.then(ModalDriver::chooseFile(file));
    A::openSim(w);
    QCOMPARE(driver.seen, QStringList{QStringLiteral("file:Open a Project")});
    QCOMPARE(itemTexts(w), QStringList({"source [1]", "drain [2]"}));
    for (int i = 0; i < 2; ++i)
        QCOMPARE(A::ui(w).volumsList->item(i)->checkState(), Qt::Checked);
    // Listing a volum with a checked box shows it.
    QVERIFY(A::volums(w).at(1).isVisible());
    QVERIFY(A::view(w)->getSelectMode());
    QVERIFY(!A::ui(w).duplicateButton->isEnabled());
    QCOMPARE(A::curFile(w), file);
    QCOMPARE(w.windowTitle(), file + QStringLiteral(" - KARVENO Simulator"));
}

void TestMainWindow::unreadableFileLeavesProjectUntouched() {
    MainWindow w;
    const QString current = path("current.txt");
    addVolum(w, "gate", 0);
    QVERIFY(A::saveFile(w, current));
    A::ui(w).volumsList->addItem("gate [1]");
    A::setModified(w);
    QPointer<GLWidget> view = A::view(w);

    const QString vanishing = path("vanishing.txt");
    writeFile(vanishing, "1\nP 0\nM 0\nV 1 1 1 0\n");
    ModalDriver driver;
    driver.then(ModalDriver::press(QMessageBox::Discard))
        .then(ModalDriver::chooseFile(vanishing, true))
        .then(ModalDriver::press(QMessageBox::Ok));
    A::openSim(w);
    QCOMPARE(driver.seen.size(), 3);
    QVERIFY(driver.seen.at(2).startsWith(QStringLiteral("Application|Cannot read file ")));
    QCOMPARE(A::volums(w).size(), 1);
    QCOMPARE(A::view(w), view);
    QCOMPARE(itemTexts(w), QStringList{"gate [1]"});
    QCOMPARE(A::curFile(w), current);
    QVERIFY(A::modified(w));
}

void TestMainWindow::missingMarkersWarnOncePerMarker_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("warnings");
    QTest::addColumn<bool>("named");
    QTest::newRow("version only") << QByteArray("1\n") << 3 << false;
    QTest::newRow("no materials") << QByteArray("1\nP 0\nV 1 1 1 0\n") << 1 << true;
    QTest::newRow("complete, empty") << QByteArray("1\nP 0\nM 0\nV 1 1 1 0\n") << 0 << true;
    // A scale line with a single field ends the load without refreshing or naming the project.
    QTest::newRow("short scale line") << QByteArray("1\nP 0\nM 0\nV 3\n") << 0 << false;
}

void TestMainWindow::missingMarkersWarnOncePerMarker() {
    QFETCH(QByteArray, content);
    QFETCH(int, warnings);
    QFETCH(bool, named);
    const QString file = path("markers.txt");
    writeFile(file, content);

    MainWindow w;
    ModalDriver driver;
    driver.then(ModalDriver::chooseFile(file));
    for (int i = 0; i < warnings; ++i)
        driver.then(ModalDriver::press(QMessageBox::Ok));
    A::openSim(w);
    QStringList expected{QStringLiteral("file:Open a Project")};
    for (int i = 0; i < warnings; ++i)
        expected << kUnexpected;
    QCOMPARE(driver.seen, expected);
    QCOMPARE(A::curFile(w), named ? file : QString());
    QVERIFY(!A::modified(w));
}

void TestMainWindow::newReloadsCataloguesAndMaterialsButKeepsDefaults() {
    MainWindow w;
    // A project's own settings and materials replace the catalogue's and the folder's.
    const QString file = path("own-settings.txt");
    writeFile(file, "-1\nP 1\n0 Empty\nM 1\nGaAs\n7\n10 20 30\n1 0 0\n0 1 0\n0 0 1\n0\n0\n"
                    "V 1 1 1 0\n");
    ModalDriver driver;
    driver.then(ModalDriver::chooseFile(file));
    A::openSim(w);
    QCOMPARE(A::version(w), -1);
    QCOMPARE(A::categories(w).size(), 1);
    QCOMPARE(MaterialsManager::getInstance()->getMaterials()->size(), 1);
    QCOMPARE(MaterialsManager::getInstance()->getMaterials()->at(0)->getName(), "GaAs");

    A::newSim(w);
    QCOMPARE(A::version(w), 1);
    QCOMPARE(A::categories(w).size(), 2);
    QCOMPARE(MaterialsManager::getInstance()->getMaterials()->at(0)->getName(), "Si");
    QVERIFY(A::curFile(w).isEmpty());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
