// The designer window with the shipped data and example projects: each example opens, is listed,
// checks clean through "Check design", and saves back byte for byte.

#include "ui/mainwindow.h"

#include "modaldriver.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

class MainWindowTestAccess {
public:
    static Ui::MainWindow &ui(MainWindow &w) { return *w.ui; }
    static QList<Volum> &volums(MainWindow &w) { return w.volums; }
    static int &version(MainWindow &w) { return w.version; }
    static void openSim(MainWindow &w) { w.openSim(); }
    static bool saveFile(MainWindow &w, const QString &f) { return w.saveFile(f); }
};
using A = MainWindowTestAccess;

namespace {

QByteArray readFile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return f.readAll();
}

} // namespace

class TestMainWindowExamples : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void emptyDesignIsNotChecked();
    void exampleOpensChecksAndSavesBack_data();
    void exampleOpensChecksAndSavesBack();
    void checkShowsTheCheckersVerdictLine();

private:
    QTemporaryDir dir;
};

void TestMainWindowExamples::initTestCase() {
    QVERIFY(dir.isValid());
    // The window ends the program when a catalogue is missing; make that a test failure.
    QVERIFY2(QFile::exists("data/properties.txt") && QFile::exists("data/volum_properties.txt"),
             "run from the repository root, where data/ is");
}

void TestMainWindowExamples::emptyDesignIsNotChecked() {
    MainWindow w;
    ModalDriver driver;
    driver.then(ModalDriver::press(QMessageBox::Ok));
    A::ui(w).actionCheck_design->trigger();
    QCOMPARE(driver.seen, QStringList{"Application|No volums to check!"});
}

void TestMainWindowExamples::exampleOpensChecksAndSavesBack_data() {
    QTest::addColumn<QString>("file");
    const QStringList examples = QDir("examples").entryList({"*.txt"}, QDir::Files, QDir::Name);
    if (examples.isEmpty())
        QSKIP("no example projects");
    for (const QString &name : examples)
        QTest::newRow(qPrintable(name)) << QDir("examples").absoluteFilePath(name);
}

void TestMainWindowExamples::exampleOpensChecksAndSavesBack() {
    QFETCH(QString, file);
    MainWindow w;
    ModalDriver driver;
    driver.then(ModalDriver::chooseFile(file));
    A::openSim(w);
    QCOMPARE(driver.seen, QStringList{"file:Open a Project"});
    QVERIFY(!A::volums(w).isEmpty());
    QCOMPARE(A::ui(w).volumsList->count(), A::volums(w).size());
    QCOMPARE(A::ui(w).volumsList->item(0)->text(), A::volums(w).at(0).getName() + " [1]");
    QCOMPARE(w.windowTitle(), file + " - KARVENO Simulator");

    driver.then(ModalDriver::press(QMessageBox::Ok));
    A::ui(w).actionCheck_design->trigger();
    QCOMPARE(driver.seen.size(), 2);
    QCOMPARE(driver.seen.at(1),
             QStringLiteral("Application|[OK] SIMULATION DESIGN FREE FROM ERRORS"));

    const QString copy = dir.filePath(QFileInfo(file).fileName());
    QVERIFY(A::saveFile(w, copy));
    QCOMPARE(readFile(copy), readFile(file));
}

void TestMainWindowExamples::checkShowsTheCheckersVerdictLine() {
    const QStringList examples = QDir("examples").entryList({"*.txt"}, QDir::Files, QDir::Name);
    if (examples.isEmpty())
        QSKIP("no example projects");
    MainWindow w;
    ModalDriver driver;
    driver.then(ModalDriver::chooseFile(QDir("examples").absoluteFilePath(examples.first())));
    A::openSim(w);
    // A project of a catalogue version that the checker does not know: refused on the spot.
    A::version(w) = 2;
    driver.then(ModalDriver::press(QMessageBox::Ok));
    A::ui(w).actionCheck_design->trigger();
    QCOMPARE(driver.seen.size(), 2);
    QCOMPARE(driver.seen.at(1).simplified(),
             QStringLiteral("Application|KARVENO ERROR [ 1001 ] INCOMPATIBLE VERSION 2"));
}

QTEST_MAIN(TestMainWindowExamples)
#include "tst_mainwindow_examples.moc"
