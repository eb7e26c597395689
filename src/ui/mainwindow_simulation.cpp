// The window's commands that start the external programs: the simulator, followed by the monitor
// dialog, parameter studies with their monitors, and the results viewer.

#include "ui/mainwindow.h"
#include "ui_mainwindow.h"

#include "run/localbackend.h"
#include "run/programlookup.h"
#include "run/run.h"
#include "run/runbackend.h"
#include "run/runsettings.h"
#include "run/slurmbackend.h"
#include "run/study.h"
#include "ui/runsettingsdialog.h"
#include "ui/simulationprocessdialog.h"
#include "ui/studydialog.h"
#include "ui/studymonitor.h"

#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QThread>

void MainWindow::createRunMenus() {
    ui->menuDessign->addSeparator();
    auto *settings = ui->menuDessign->addAction(tr("Run settings..."));
    settings->setObjectName(QStringLiteral("actionRun_settings"));
    connect(settings, &QAction::triggered, this, &MainWindow::runSettingsDialog);
    auto *study = ui->menuDessign->addAction(tr("Parameter study..."));
    study->setObjectName(QStringLiteral("actionParameter_study"));
    connect(study, &QAction::triggered, this, &MainWindow::parameterStudyDialog);
    auto *reopen = ui->menuDessign->addAction(tr("Open study..."));
    reopen->setObjectName(QStringLiteral("actionOpen_study"));
    connect(reopen, &QAction::triggered, this, &MainWindow::openStudy);
}

bool MainWindow::saveBeforeRun() {
    // The simulator reads the saved file: a project never saved is saved first, like a modified
    // one; a recovery copy is written before, in case the save is declined.
    autosave();
    return !((project_modified || curFile.isEmpty()) && !save());
}

RunBackend *MainWindow::runBackend() {
    const RunSettings settings = RunSettings::load();
    if (!localRuns)
        localRuns = new LocalBackend(this);
    if (settings.localLimit > 0)
        localRuns->setLimit(settings.localLimit);
    else
        localRuns->setLimit(qMax(1, QThread::idealThreadCount()));
    if (settings.backend == RunSettings::Local)
        return localRuns;
    // Each Slurm use has a back-end of its own with the settings of that moment; it stays with
    // the window, following its jobs.
    return new SlurmBackend(settings, this);
}

void MainWindow::on_actionSimulate_triggered() {
    if (!saveBeforeRun())
        return;

    // Start the folder dialog where the project file is.
    const QStringList parts = curFile.split(QLatin1Char('/'));
    simulationOutputPath.clear();
    for (qsizetype i = 0; i + 1 < parts.size(); ++i)
        simulationOutputPath += parts[i] + QDir::separator();

    simulationOutputPath = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Choose the simulation output folder."), simulationOutputPath,
        QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (simulationOutputPath.isEmpty())
        return;
    simulationOutputPath += QLatin1Char('/');

    // One simulation at a time: a run left by OK may still be writing its last files.
    if (simulation && !simulation->isDone()) {
        const QDeadlineTimer deadline(5000);
        while (!simulation->isDone() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    delete simulation;

    RunBackend *backend = runBackend();
    auto *run = new Run(curFile, simulationOutputPath, this);
    simulation = run;
    if (backend != localRuns)
        connect(run, &QObject::destroyed, backend, &QObject::deleteLater);
    SimulationProcessDialog monitor(this, run);
    connect(backend, &RunBackend::problem, &monitor, &SimulationProcessDialog::showProblem);
    backend->submit({run});
    if (monitor.exec() != QDialog::Accepted && simulation && !simulation->isDone()) {
        backend->cancel(run);
        // A local simulator is gone within moments; a batch job is left to Slurm's scancel.
        if (backend == localRuns) {
            const QDeadlineTimer deadline(3000);
            while (simulation && !simulation->isDone() && !deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
    }
}

bool MainWindow::maybeStopRuns() {
    const int count = localRuns ? localRuns->ownRunCount() : 0;
    if (count == 0)
        return true;
    QMessageBox box(QMessageBox::Warning, appname,
                    count == 1 ? tr("A simulation started from this designer is still running "
                                    "on this computer.")
                               : tr("%1 simulations started from this designer are still "
                                    "running or waiting on this computer.")
                                     .arg(count),
                    QMessageBox::Yes | QMessageBox::Cancel, this);
    box.setInformativeText(tr("Quitting stops them. Jobs on Slurm are not affected."));
    box.button(QMessageBox::Yes)->setText(tr("Stop and Quit"));
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Yes;
}

void MainWindow::runSettingsDialog() {
    RunSettingsDialog dialog(this);
    dialog.setWindowTitle(tr("Run settings"));
    dialog.setSettings(RunSettings::load());
    if (dialog.exec() == QDialog::Accepted)
        dialog.settings().save();
}

void MainWindow::parameterStudyDialog() {
    if (!saveBeforeRun())
        return;
    StudyDialog dialog(this, curFile);
    dialog.setWindowTitle(tr("Parameter study"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString error;
    if (!Study::make(curFile, dialog.folder(), dialog.definition(), &error)) {
        QMessageBox::warning(this, QStringLiteral("Application"),
                             tr("The study cannot be made: %1").arg(error));
        return;
    }
    auto *monitor = new StudyMonitor(this, runBackend());
    if (!monitor->open(dialog.folder(), &error)) {
        delete monitor;
        QMessageBox::warning(this, QStringLiteral("Application"), error);
        return;
    }
    monitor->show();
    monitor->startStudy();
}

void MainWindow::openStudy() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, tr("Choose a study folder."), QString(),
        QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (folder.isEmpty())
        return;
    // A study is followed on the back-end it was run on: Slurm when its points have job ids
    // other than local pids.
    Study probe;
    QString error;
    if (!probe.open(folder, &error)) {
        QMessageBox::warning(this, QStringLiteral("Application"), error);
        return;
    }
    RunBackend *backend = nullptr;
    if (probe.onSlurm()) {
        RunSettings settings = RunSettings::load();
        settings.backend = RunSettings::Slurm;
        backend = new SlurmBackend(settings, this);
    } else {
        runBackend();
        backend = localRuns;
    }
    auto *monitor = new StudyMonitor(this, backend);
    if (!monitor->open(folder, &error)) {
        delete monitor;
        QMessageBox::warning(this, QStringLiteral("Application"), error);
        return;
    }
    monitor->show();
}

void MainWindow::on_action3D_Graphs_triggered() {
    // Each start is a new viewer, left to run on its own; the process object lives with the window.
    auto *viewer = new QProcess(this);
    viewer->start(resolveProgram(QStringLiteral("plot/Graph_KARVENO.exe")), {},
                  QIODevice::ReadWrite);
}
