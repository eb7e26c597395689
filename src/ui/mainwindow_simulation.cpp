// The window's commands that start the external programs: the simulator, followed by the monitor
// dialog, and the results viewer.

#include "ui/mainwindow.h"

#include "ui/programlookup.h"
#include "ui/simulationprocessdialog.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QProcess>

void MainWindow::on_actionSimulate_triggered() {
    // The simulator reads the saved file: a project never saved is saved first, like a modified one.
    if ((project_modified || curFile.isEmpty()) && !save())
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
    if (simulator->state() != QProcess::NotRunning && !simulator->waitForFinished(5000)) {
        simulator->kill();
        simulator->waitForFinished(3000);
    }

    SimulationProcessDialog monitor(this, simulator, simulationOutputPath);
    simulator->start(resolveProgram(QStringLiteral("KARVENOCOM.exe")),
                     {curFile, simulationOutputPath}, QIODevice::ReadWrite | QIODevice::Text);
    if (monitor.exec() != QDialog::Accepted) {
        simulator->kill();
        simulator->waitForFinished(3000);
    }
}

void MainWindow::on_action3D_Graphs_triggered() {
    // Each start is a new viewer, left to run on its own; the process object lives with the window.
    auto *viewer = new QProcess(this);
    viewer->start(resolveProgram(QStringLiteral("plot/Graph_KARVENO.exe")), {},
                  QIODevice::ReadWrite);
}
