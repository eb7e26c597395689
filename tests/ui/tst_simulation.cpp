// The simulation monitor and the "Simulate" command: how simulator lines change the monitor and
// reach the log, a simulator that prints in pieces or cannot start, the status file, the program
// lookup, and the whole run with a shell script standing in for the simulator.

#include "run/localbackend.h"
#include "run/programlookup.h"
#include "ui/simulationprocessdialog.h"

#include "run/runsettings.h"
#include "run/study.h"
#include "ui/studymonitor.h"

#include "../run/slurmcluster.h"
#include "uitest.h"

#include <QElapsedTimer>
#include <QTableWidget>

#include <memory>

using namespace uitest;

namespace {

QPushButton *button(QWidget *monitor, QDialogButtonBox::StandardButton which) {
    return child<QDialogButtonBox>(monitor, "buttonBox")->button(which);
}

QString status(QWidget *monitor) {
    return child<QLabel>(monitor, "statusLabel")->text();
}

// Clicks a monitor button once `ready` holds; gives up after 15 s by closing the monitor, so
// that the test fails instead of hanging.
ModalDriver::Answer clickWhen(QDialogButtonBox::StandardButton which, std::function<bool()> ready) {
    return [which, ready](QWidget *monitor) {
        auto *poll = new QTimer(monitor);
        auto clock = std::make_shared<QElapsedTimer>();
        clock->start();
        QObject::connect(poll, &QTimer::timeout, monitor, [=] {
            if (button(monitor, which)->isEnabled() && ready()) {
                poll->stop();
                button(monitor, which)->click();
            } else if (clock->elapsed() > 15000) {
                poll->stop();
                static_cast<QDialog *>(monitor)->done(-1);
            }
        });
        poll->start(20);
    };
}

const QString kFolderDialog = QStringLiteral("file:Choose the simulation output folder.");
const QByteArray kScriptedRun = "#!/bin/sh\n"
                                "printf '%s\\n' \"$1\" \"$2\" > args.txt\n"
                                "echo '[OK] Reading project'\n"
                                "echo 'SIMULATED TIME: 100 %'\n"
                                "echo 'Simulation ended correctly'\n";

} // namespace

class TestSimulation : public QObject {
    Q_OBJECT

    QTemporaryDir work;
    QString path(const QString &name) const { return work.filePath(name); }

    // The private one-node Slurm, started by the first test that needs it.
    SlurmCluster cluster;
    QString slurmWhy;
    bool slurmStarted() {
        if (!cluster.running() && slurmWhy.isEmpty() && !cluster.start(&slurmWhy))
            qInfo().noquote() << "Slurm cases are skipped:" << slurmWhy;
        return cluster.running();
    }

    // Runs `script` as the simulator on the project saved as device.txt, into out/.
    void simulate(MainWindow &w, ModalDriver &driver, const QByteArray &script,
                  ModalDriver::Answer monitor) {
        QVERIFY(writeFile(path("KARVENOCOM.exe"), script, true));
        QVERIFY(A::saveFile(w, path("device.txt")));
        driver.then(ModalDriver::chooseFile(path("out"))).then(std::move(monitor));
        child<QAction>(&w, "actionSimulate")->trigger();
    }

private slots:
    void initTestCase() {
        // The run settings of the test's own user, not the developer's.
        qputenv("XDG_CONFIG_HOME", path("config").toLocal8Bit());
        qputenv("KARVENOCOM_STEP_MS", "2");
        QVERIFY(enterWorkFolder(work));
        QVERIFY(QDir(work.path()).mkdir("out"));
    }

    void lineInterpretation_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("okEnabled");
        QTest::addColumn<QString>("label");
        const QString initial = QStringLiteral("Status: Simulation initialized.");
        const QString red = QStringLiteral("<span style=\"color: red; font-weight: bold;\">");
        QTest::newRow("full time enables OK")
            << QStringList{"SIMULATED TIME: 100   %"} << true << initial;
        QTest::newRow("fractional time")
            << QStringList{"SIMULATED TIME: 99.9 %"} << false << initial;
        QTest::newRow("ok line sets the message")
            << QStringList{"[OK] Mesh built"} << false << "Mesh built";
        QTest::newRow("first matching test wins")
            << QStringList{"ERROR? no: [OK] recovered"} << false << "recovered";
        QTest::newRow("error is bold red")
            << QStringList{"ERROR 3008 bad"} << false << red + "ERROR 3008 bad</span>";
        QTest::newRow("end after error enables OK")
            << QStringList{"ERROR x", "Simulation ended correctly"} << true
            << "<span style=\"color: green; font-weight: bold;\">Simulation ended correctly</span>";
        QTest::newRow("error after full time disables OK")
            << QStringList{"SIMULATED TIME: 100 %", "ERROR late"} << false
            << red + "ERROR late</span>";
        QTest::newRow("other lines are only logged")
            << QStringList{"step 4 of 9"} << false << initial;
    }
    void lineInterpretation() {
        QFETCH(QStringList, lines);
        QFETCH(bool, okEnabled);
        QFETCH(QString, label);
        SimulationProcessDialog dialog(nullptr, nullptr);
        QVERIFY(!button(&dialog, QDialogButtonBox::Ok)->isEnabled());
        for (const QString &line : lines)
            dialog.interpretLine(line);
        QCOMPARE(button(&dialog, QDialogButtonBox::Ok)->isEnabled(), okEnabled);
        QCOMPARE(status(&dialog), label);
    }

    void piecesWithoutFinalLineEndAreLogged() {
        QTemporaryDir out;
        QVERIFY(writeFile(out.filePath("sim.sh"),
                          "#!/bin/sh\nprintf '[OK] Start'; sleep 0.2; printf 'ing\\nSIMULATED "
                          "TIME: 10'; sleep 0.2; printf '0 %%\\nSimulation ended correctly'\n",
                          true));
        LocalBackend local;
        local.setProgram(out.filePath("sim.sh"));
        Run run(out.filePath("project.txt"), out.path());
        {
            SimulationProcessDialog dialog(nullptr, &run);
            local.submit({&run});
            QTRY_VERIFY_WITH_TIMEOUT(run.isDone(), 5000);
            QCOMPARE(run.state(), Run::State::Finished);
            QVERIFY(status(&dialog).contains("Simulation ended correctly"));
            QVERIFY(button(&dialog, QDialogButtonBox::Ok)->isEnabled());
        }
        QCOMPARE(readFile(out.filePath("log.txt")),
                 QByteArray("[OK] Starting\nSIMULATED TIME: 100 %\nSimulation ended correctly\n"));
    }

    void failedStartIsShownInRedAndStatusFileOnRequest() {
        LocalBackend local;
        local.setProgram(path("no-such-simulator"));
        Run run(path("device.txt"), path("out"));
        SimulationProcessDialog dialog(nullptr, &run);
        local.submit({&run});
        QTRY_VERIFY(status(&dialog).contains("color: red"));
        QVERIFY(status(&dialog).contains("could not be started"));
        QVERIFY(!button(&dialog, QDialogButtonBox::Ok)->isEnabled());
        QVERIFY(button(&dialog, QDialogButtonBox::Cancel)->isEnabled());

        QVERIFY(writeFile("STATUS.TXT", "step 12 of 40\n"));
        dialog.on_pushButton_clicked();
        QCOMPARE(child<QTextBrowser>(&dialog, "textBrowser")->toPlainText(),
                 QStringLiteral("step 12 of 40\n"));
    }

    void programLookupPrefersWorkingDirectoryThenPath() {
        QTemporaryDir onPath;
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", onPath.path().toLocal8Bit() + ":" + oldPath);
        auto restore = qScopeGuard([&] { qputenv("PATH", oldPath); });
        QFile::remove("KARVENOCOM.exe");
        QCOMPARE(resolveProgram("KARVENOCOM.exe"), QStringLiteral("KARVENOCOM.exe"));
        const QString fromPath = onPath.filePath("KARVENOCOM.exe");
        QVERIFY(writeFile(fromPath, "#!/bin/sh\n", true));
        QVERIFY(QDir(onPath.path()).mkdir("plot"));
        QVERIFY(writeFile(onPath.filePath("plot/Graph_KARVENO.exe"), "#!/bin/sh\n", true));
        QCOMPARE(resolveProgram("KARVENOCOM.exe"), fromPath);
        QCOMPARE(resolveProgram("plot/Graph_KARVENO.exe"),
                 onPath.filePath("plot/Graph_KARVENO.exe"));
        QVERIFY(writeFile(path("KARVENOCOM.exe"), "#!/bin/sh\n", true));
        QCOMPARE(resolveProgram("KARVENOCOM.exe"), path("KARVENOCOM.exe"));
        // A file that is not executable is not a program.
        QFile::setPermissions(path("KARVENOCOM.exe"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(resolveProgram("KARVENOCOM.exe"), fromPath);
    }

    void scriptedRunIsLoggedAndLeftAloneAfterOk() {
        MainWindow w;
        ModalDriver driver;
        simulate(w, driver, kScriptedRun, clickWhen(QDialogButtonBox::Ok, [&] {
                     return readFile(path("out/log.txt")).contains("ended correctly");
                 }));
        QCOMPARE(driver.seen, QStringList({kFolderDialog, "other:SimulationProcessDialog"}));
        QTRY_VERIFY(A::simulation(w)->isDone());
        QCOMPARE(A::simulation(w)->state(), Run::State::Finished);
        QCOMPARE(readFile(path("args.txt")), (path("device.txt\n") + path("out/\n")).toUtf8());
        QCOMPARE(readFile(path("out/log.txt")),
                 QByteArray("[OK] Reading project\nSIMULATED TIME: 100 %\n"
                            "Simulation ended correctly\n"));
    }

    void cancelKillsTheSimulator() {
        MainWindow w;
        ModalDriver driver;
        simulate(w, driver, "#!/bin/sh\necho 'SIMULATED TIME: 5 %'\nexec sleep 30\n",
                 clickWhen(QDialogButtonBox::Cancel,
                           [&] { return readFile(path("out/log.txt")).contains("5 %"); }));
        QTRY_VERIFY_WITH_TIMEOUT(A::simulation(w)->isDone(), 20000);
        QCOMPARE(A::simulation(w)->state(), Run::State::Cancelled);
    }

    // Closing would kill local simulators: it asks first, and Cancel keeps window and run.
    void closingAsksBeforeStoppingLocalRuns() {
        MainWindow w;
        ModalDriver driver;
        // OK leaves the simulator to write its last files.
        simulate(w, driver, "#!/bin/sh\necho 'SIMULATED TIME: 100 %'\nexec sleep 30\n",
                 clickWhen(QDialogButtonBox::Ok, [] { return true; }));
        const QPointer<Run> run = A::simulation(w);
        QVERIFY(run && run->state() == Run::State::Running);

        driver.then(ModalDriver::press(QMessageBox::Cancel));
        QVERIFY(!w.close());
        QCOMPARE(driver.seen.last(),
                 QStringLiteral("KARVENO Simulator|A simulation started from this designer is "
                                "still running on this computer."));
        QCOMPARE(run->state(), Run::State::Running);

        driver.then(ModalDriver::press(QMessageBox::Yes));
        QVERIFY(w.close());
        QCOMPARE(driver.seen.size(), 4);
        QCOMPARE(run->state(), Run::State::Cancelled);
        // With nothing left running, closing asks nothing.
        QVERIFY(w.close());
        QCOMPARE(driver.seen.size(), 4);
    }

    void onlyAModifiedProjectIsSavedAndCancelStartsNothing() {
        QVERIFY(writeFile(path("KARVENOCOM.exe"), kScriptedRun, true));
        QFile::remove(path("args.txt"));
        MainWindow w;
        const QString project = path("saved.txt");
        QVERIFY(A::saveFile(w, project));
        QFile::remove(project);
        ModalDriver driver{ModalDriver::cancel()};
        child<QAction>(&w, "actionSimulate")->trigger();
        QVERIFY2(!QFile::exists(project), "an unmodified project was saved again");
        QCOMPARE(driver.seen, QStringList{kFolderDialog});
        QVERIFY(A::outputPath(w).isEmpty());

        A::setModified(w);
        driver.then(ModalDriver::cancel());
        child<QAction>(&w, "actionSimulate")->trigger();
        QVERIFY(QFile::exists(project));
        QVERIFY(!A::modified(w));
        QVERIFY(!QFile::exists(path("args.txt")));

        // A project never saved has no file for the simulator: it is saved first, even when
        // unmodified, and a cancelled save runs nothing.
        MainWindow fresh;
        driver.then(ModalDriver::cancel());
        child<QAction>(&fresh, "actionSimulate")->trigger();
        QCOMPARE(driver.seen.last(), QStringLiteral("file:Save Project"));
        QVERIFY(!A::simulation(fresh));
    }

    // Simulate on Slurm: the monitor shows the job, and OK comes with the simulator's end.
    void simulateOnSlurmShowsTheJob() {
        if (!slurmStarted())
            QSKIP(qPrintable("no test Slurm: " + slurmWhy));
        RunSettings settings;
        settings.backend = RunSettings::Slurm;
        settings.nodeSimulator = QStringLiteral(KARVENO_BINARY_DIR "/bin/KARVENOCOM.exe");
        settings.pollMs = 200;
        settings.save();
        auto local = qScopeGuard([] { RunSettings().save(); });
        const QString device = path("slurm-simulate.txt");
        QVERIFY(QFile::copy(QStringLiteral(KARVENO_SOURCE_DIR "/examples/classical_mosfet.txt"),
                            device));
        QVERIFY(QDir().mkpath(path("slurm-out")));
        MainWindow w;
        ModalDriver driver{ModalDriver::chooseFile(device)};
        A::openSim(w);
        QString jobShown;
        driver.then(ModalDriver::chooseFile(path("slurm-out")))
            .then(clickWhen(QDialogButtonBox::Ok, [&] {
                auto *monitor = w.findChild<SimulationProcessDialog *>();
                jobShown = monitor ? child<QLabel>(monitor, "jobLabel")->text() : QString();
                return monitor && status(monitor).contains("Simulation ended correctly");
            }));
        child<QAction>(&w, "actionSimulate")->trigger();
        QVERIFY2(jobShown.startsWith("Slurm job " + A::simulation(w)->jobId() + ": "),
                 qPrintable(jobShown));
        QTRY_VERIFY_WITH_TIMEOUT(A::simulation(w)->isDone(), 60000);
        QCOMPARE(A::simulation(w)->state(), Run::State::Finished);
        QVERIFY(
            readFile(path("slurm-out/karveno-run.sbatch")).contains("#SBATCH --job-name=karveno"));
        QVERIFY(readFile(path("slurm-out/log.txt")).contains("Simulation ended correctly"));
    }

    // "Parameter study..." on the chosen back-end: the dialog offers the project's settings, the
    // non-modal monitor follows the points, and the point the checker refuses is never run.
    void parameterStudyFromTheDesigner_data() { boolRows("onSlurm", "local", "slurm"); }
    void parameterStudyFromTheDesigner() {
        QFETCH(bool, onSlurm);
        if (onSlurm && !slurmStarted())
            QSKIP(qPrintable("no test Slurm: " + slurmWhy));
        const QString standIn = QStringLiteral(KARVENO_BINARY_DIR "/bin/KARVENOCOM.exe");
        QFile::remove(path("KARVENOCOM.exe"));
        QVERIFY(QFile::link(standIn, path("KARVENOCOM.exe")));
        RunSettings settings;
        settings.backend = onSlurm ? RunSettings::Slurm : RunSettings::Local;
        settings.localLimit = 2;
        settings.arrayLimit = 2;
        settings.pollMs = 200;
        settings.save();

        const QString device = path(onSlurm ? "slurm-device.txt" : "local-device.txt");
        QVERIFY(QFile::copy(QStringLiteral(KARVENO_SOURCE_DIR "/examples/classical_mosfet.txt"),
                            device));
        const QString folder = path(onSlurm ? "slurm-study" : "local-study");
        MainWindow w;
        ModalDriver driver{ModalDriver::chooseFile(device)};
        A::openSim(w);
        driver.then([folder](QWidget *dialog) {
            child<QComboBox>(dialog, "setting1Box")->setCurrentText("NPARTICLES");
            child<QLineEdit>(dialog, "values1Edit")->setText("1, 0, 3");
            child<QLineEdit>(dialog, "folderEdit")->setText(folder);
            child<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
        });
        child<QAction>(&w, "actionParameter_study")->trigger();
        QCOMPARE(driver.seen.last(), QStringLiteral("other:StudyDialog"));

        auto *monitor = w.findChild<StudyMonitor *>();
        QVERIFY(monitor && monitor->isVisible() && !monitor->isModal());
        QTRY_VERIFY_WITH_TIMEOUT(!monitor->study()->active(), 90000);
        auto *table = child<QTableWidget>(monitor, "pointsTable");
        QCOMPARE(table->rowCount(), 3);
        for (int row : {0, 1, 2})
            QCOMPARE(table->item(row, 2)->text(), row == 1 ? "not run" : "finished");
        QVERIFY(table->item(1, 4)->text().contains("3035"));
        QCOMPARE(table->item(2, 3)->text(), QStringLiteral("100 %"));
        QVERIFY(readFile(folder + "/003/output/log.txt").contains("Simulation ended correctly"));
        QVERIFY(readFile(folder + "/study.csv").contains(",finished,003/output/,"));
        monitor->close();
    }
};

QTEST_MAIN(TestSimulation)
#include "tst_simulation.moc"
