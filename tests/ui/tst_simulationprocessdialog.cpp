// The simulation monitor: how simulator lines change the dialog, what reaches the log, and how a
// process that prints in pieces or cannot start is shown.

#include "ui/programlookup.h"
#include "ui/simulationprocessdialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

class TestSimulationProcessDialog : public QObject {
    Q_OBJECT

private:
    static QPushButton *button(QDialog &d, QDialogButtonBox::StandardButton which) {
        return d.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(which);
    }
    static QString status(QDialog &d) {
        return d.findChild<QLabel *>(QStringLiteral("statusLabel"))->text();
    }
    static QString writeScript(const QString &dir, const QString &name, const QString &body) {
        const QString path = QDir(dir).filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(("#!/bin/sh\n" + body).toUtf8());
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
        return path;
    }

private slots:
    void lineInterpretation_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("okEnabled");
        QTest::addColumn<QString>("label");
        const QString initial = QStringLiteral("Status: Simulation initialized.");
        QTest::newRow("full time enables OK")
            << QStringList{"SIMULATED TIME: 100   %"} << true << initial;
        QTest::newRow("fractional time is not an integer")
            << QStringList{"SIMULATED TIME: 99.9 %"} << false << initial;
        QTest::newRow("partial time") << QStringList{"SIMULATED TIME: 42 %"} << false << initial;
        QTest::newRow("ok line sets the message")
            << QStringList{"[OK] Mesh built"} << false << QStringLiteral("Mesh built");
        QTest::newRow("first matching test wins")
            << QStringList{"ERROR? no: [OK] recovered"} << false << QStringLiteral("recovered");
        QTest::newRow("error is bold red")
            << QStringList{"ERROR 3008 bad"} << false
            << QStringLiteral(
                   "<span style=\"color: red; font-weight: bold;\">ERROR 3008 bad</span>");
        QTest::newRow("end after error enables OK again")
            << QStringList{"ERROR x", "Simulation ended correctly"} << true
            << QStringLiteral("<span style=\"color: green; font-weight: bold;\">Simulation ended "
                              "correctly</span>");
        QTest::newRow("error after full time disables OK")
            << QStringList{"SIMULATED TIME: 100 %", "ERROR late"} << false
            << QStringLiteral("<span style=\"color: red; font-weight: bold;\">ERROR late</span>");
        QTest::newRow("other lines are only logged")
            << QStringList{"step 4 of 9"} << false << initial;
    }

    void lineInterpretation() {
        QFETCH(QStringList, lines);
        QFETCH(bool, okEnabled);
        QFETCH(QString, label);
        QTemporaryDir out;
        SimulationProcessDialog dialog(nullptr, nullptr, out.path() + '/');
        QVERIFY(!button(dialog, QDialogButtonBox::Ok)->isEnabled());
        for (const QString &line : lines)
            dialog.interpretLine(line);
        QCOMPARE(button(dialog, QDialogButtonBox::Ok)->isEnabled(), okEnabled);
        QCOMPARE(status(dialog), label);
    }

    void piecesAndMissingFinalLineEndAreLogged() {
        QTemporaryDir out;
        const QString script = writeScript(
            out.path(), "sim.sh",
            "printf '[OK] Start'; sleep 0.2; printf 'ing\\nSIMULATED TIME: 10'; sleep 0.2;"
            "printf '0 %%\\nSimulation ended correctly'\n");
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        {
            SimulationProcessDialog dialog(nullptr, &process, out.path() + '/');
            process.start(script, {});
            QVERIFY(process.waitForStarted());
            QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 5000);
            QTRY_VERIFY(status(dialog).contains("Simulation ended correctly"));
            QVERIFY(button(dialog, QDialogButtonBox::Ok)->isEnabled());
        }
        QFile log(out.path() + "/log.txt");
        QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
        QCOMPARE(
            QString::fromUtf8(log.readAll()),
            QStringLiteral("[OK] Starting\nSIMULATED TIME: 100 %\nSimulation ended correctly\n"));
    }

    void failedStartIsShownInRed() {
        QTemporaryDir out;
        QProcess process;
        SimulationProcessDialog dialog(nullptr, &process, out.path() + '/');
        process.start(out.path() + "/no-such-simulator", {});
        QTRY_VERIFY(status(dialog).contains("color: red"));
        QVERIFY(status(dialog).contains("could not be started"));
        QVERIFY(!button(dialog, QDialogButtonBox::Ok)->isEnabled());
        QVERIFY(button(dialog, QDialogButtonBox::Cancel)->isEnabled());
    }

    void statusButtonShowsStatusFile() {
        QTemporaryDir work;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(work.path());
        SimulationProcessDialog dialog(nullptr, nullptr, work.path() + '/');
        QFile status("STATUS.TXT");
        QVERIFY(status.open(QIODevice::WriteOnly | QIODevice::Text));
        status.write("step 12 of 40\n");
        status.close();
        dialog.on_pushButton_clicked();
        QCOMPARE(dialog.findChild<QTextBrowser *>("textBrowser")->toPlainText(),
                 QStringLiteral("step 12 of 40\n"));
        QDir::setCurrent(previous);
    }

    void programLookupPrefersWorkingDirectoryThenPath() {
        QTemporaryDir work, onPath;
        const QString previous = QDir::currentPath();
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", onPath.path().toLocal8Bit() + ":" + oldPath);
        QDir::setCurrent(work.path());

        QCOMPARE(resolveProgram("KARVENOCOM.exe"), QStringLiteral("KARVENOCOM.exe"));
        const QString fromPath = writeScript(onPath.path(), "KARVENOCOM.exe", "exit 0\n");
        const QString viewerOnPath =
            writeScript(onPath.path(), "plot/Graph_KARVENO.exe", "exit 0\n");
        QCOMPARE(resolveProgram("KARVENOCOM.exe"), fromPath);
        QCOMPARE(resolveProgram("plot/Graph_KARVENO.exe"), viewerOnPath);
        const QString local = writeScript(work.path(), "KARVENOCOM.exe", "exit 0\n");
        QCOMPARE(resolveProgram("KARVENOCOM.exe"), local);
        // A file that is not executable is not a program.
        QFile::setPermissions(local, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(resolveProgram("KARVENOCOM.exe"), fromPath);

        QDir::setCurrent(previous);
        qputenv("PATH", oldPath);
    }
};

QTEST_MAIN(TestSimulationProcessDialog)
#include "tst_simulationprocessdialog.moc"
