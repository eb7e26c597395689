// The "Simulate" command from the window's side: saving first when needed, the output folder
// dialog, the two arguments, the monitor filling the log, and the simulator being killed unless
// the monitor ends by OK. A shell script stands in for the simulator.

#include "ui/mainwindow.h"

#include "modaldriver.h"
#include "ui_mainwindow.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class MainWindowTestAccess {
public:
    static QProcess *simulator(MainWindow &w) { return w.simulator; }
    static QString outputPath(MainWindow &w) { return w.simulationOutputPath; }
    static QString curFile(MainWindow &w) { return w.curFile; }
    static bool saveFile(MainWindow &w, const QString &f) { return w.saveFile(f); }
    static void setModified(MainWindow &w) { w.setProjectModified(); }
    static bool modified(MainWindow &w) { return w.project_modified; }
};
using A = MainWindowTestAccess;

namespace {

void writeFile(const QString &path, const QByteArray &content, bool executable = false) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(content);
    f.close();
    if (executable)
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly | QIODevice::Text) ? f.readAll() : QByteArray();
}

QPushButton *monitorButton(QWidget *monitor, QDialogButtonBox::StandardButton which) {
    auto *box = monitor->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    return box ? box->button(which) : nullptr;
}

// Clicks a monitor button as soon as `ready` holds, polling the dialog from its own event loop.
ModalDriver::Answer clickWhen(QDialogButtonBox::StandardButton which,
                              std::function<bool(QWidget *)> ready) {
    return [which, ready](QWidget *monitor) {
        auto *poll = new QTimer(monitor);
        auto clock = std::make_shared<QElapsedTimer>();
        clock->start();
        QObject::connect(poll, &QTimer::timeout, monitor, [=] {
            QPushButton *button = monitorButton(monitor, which);
            if (button && button->isEnabled() && ready(monitor)) {
                poll->stop();
                button->click();
            } else if (clock->elapsed() > 15000) {
                // Never got there: close it so that the test fails instead of hanging.
                poll->stop();
                static_cast<QDialog *>(monitor)->done(-1);
            }
        });
        poll->start(20);
    };
}

const QByteArray kScriptedRun = "#!/bin/sh\n"
                                "printf '%s\\n' \"$1\" \"$2\" > args.txt\n"
                                "echo '[OK] Reading project'\n"
                                "echo 'SIMULATED TIME: 50 %'\n"
                                "echo 'SIMULATED TIME: 100 %'\n"
                                "echo 'Simulation ended correctly'\n";

} // namespace

class TestSimulateRun : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(work.isValid());
        QVERIFY(QDir(work.path()).mkpath(QStringLiteral("data/materials")));
        QVERIFY(QDir(work.path()).mkpath(QStringLiteral("out")));
        writeFile(work.filePath("data/properties.txt"), "1\n1\n1 General\nSteps 1 10 Steps\n");
        writeFile(work.filePath("data/volum_properties.txt"), "1\n1 Boundaries\nContact 0 0 x\n");
        writeFile(work.filePath("data/materials/si.txt"),
                  "M\nSi\n1\n200 100 50\n1 0 0\n0 1 0\n0 0 1\n1\n0 0 0 Si\n0\n");
        QVERIFY(QDir::setCurrent(work.path()));
    }

    void scriptedRunIsLoggedAndLeftAloneAfterOk() {
        writeFile(work.filePath("KARVENOCOM.exe"), kScriptedRun, true);
        MainWindow w;
        const QString project = work.filePath("device.txt");
        QVERIFY(A::saveFile(w, project));
        const QString out = work.filePath("out");

        ModalDriver driver;
        driver.then(ModalDriver::chooseFile(out))
            .then(clickWhen(QDialogButtonBox::Ok, [](QWidget *m) {
                return m->findChild<QLabel *>("statusLabel")->text().contains("ended correctly");
            }));
        w.findChild<QAction *>("actionSimulate")->trigger();

        QCOMPARE(driver.seen.size(), 2);
        QCOMPARE(driver.seen.at(0), QStringLiteral("file:Choose the simulation output folder."));
        QCOMPARE(driver.seen.at(1), QStringLiteral("other:SimulationProcessDialog"));
        QCOMPARE(A::outputPath(w), out + '/');
        QTRY_COMPARE(A::simulator(w)->state(), QProcess::NotRunning);
        QCOMPARE(A::simulator(w)->exitStatus(), QProcess::NormalExit);
        QCOMPARE(readFile(work.filePath("args.txt")), (project + '\n' + out + "/\n").toUtf8());
        QCOMPARE(readFile(out + "/log.txt"),
                 QByteArray("[OK] Reading project\nSIMULATED TIME: 50 %\nSIMULATED TIME: 100 %\n"
                            "Simulation ended correctly\n"));
    }

    void cancelKillsTheSimulator() {
        writeFile(work.filePath("KARVENOCOM.exe"),
                  "#!/bin/sh\necho 'SIMULATED TIME: 5 %'\nexec sleep 30\n", true);
        MainWindow w;
        QVERIFY(A::saveFile(w, work.filePath("device.txt")));
        ModalDriver driver;
        driver.then(ModalDriver::chooseFile(work.filePath("out")))
            .then(clickWhen(QDialogButtonBox::Cancel, [&](QWidget *) {
                return readFile(work.filePath("out/log.txt")).contains("5 %");
            }));
        QElapsedTimer clock;
        clock.start();
        w.findChild<QAction *>("actionSimulate")->trigger();
        QTRY_COMPARE(A::simulator(w)->state(), QProcess::NotRunning);
        QVERIFY(clock.elapsed() < 20000);
        QCOMPARE(A::simulator(w)->exitStatus(), QProcess::CrashExit);
    }

    void cancelledFolderDialogStartsNothing() {
        writeFile(work.filePath("KARVENOCOM.exe"), kScriptedRun, true);
        QFile::remove(work.filePath("args.txt"));
        MainWindow w;
        QVERIFY(A::saveFile(w, work.filePath("device.txt")));
        ModalDriver driver;
        driver.then(ModalDriver::cancel());
        w.findChild<QAction *>("actionSimulate")->trigger();
        QCOMPARE(driver.seen, QStringList{"file:Choose the simulation output folder."});
        QVERIFY(A::outputPath(w).isEmpty());
        QCOMPARE(A::simulator(w)->state(), QProcess::NotRunning);
        QVERIFY(!QFile::exists(work.filePath("args.txt")));
    }

    void onlyAModifiedProjectIsSavedFirst() {
        MainWindow w;
        const QString project = work.filePath("saved.txt");
        QVERIFY(A::saveFile(w, project));
        QFile::remove(project);

        ModalDriver unmodified;
        unmodified.then(ModalDriver::cancel());
        w.findChild<QAction *>("actionSimulate")->trigger();
        QVERIFY2(!QFile::exists(project), "an unmodified project was saved again");

        A::setModified(w);
        ModalDriver modified;
        modified.then(ModalDriver::cancel());
        w.findChild<QAction *>("actionSimulate")->trigger();
        QVERIFY(QFile::exists(project));
        QVERIFY(!A::modified(w));
    }

    void unsavedNewProjectWhoseSaveIsCancelledDoesNotRun() {
        MainWindow w;
        A::setModified(w);
        ModalDriver driver;
        driver.then(ModalDriver::cancel()); // the Save As dialog
        w.findChild<QAction *>("actionSimulate")->trigger();
        QCOMPARE(driver.seen.size(), 1);
        QVERIFY(driver.seen.at(0).startsWith("file:"));
        QVERIFY(A::modified(w));
        QCOMPARE(A::simulator(w)->state(), QProcess::NotRunning);
    }

private:
    QTemporaryDir work;
};

QTEST_MAIN(TestSimulateRun)
#include "tst_simulaterun.moc"
