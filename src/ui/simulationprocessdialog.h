#ifndef SIMULATIONPROCESSDIALOG_H
#define SIMULATIONPROCESSDIALOG_H

// The monitor of a simulation run: observes a run (its log, progress, status and error lines, and
// for a batch job its job id and state) and turns them into the dialog's state. The run itself is
// driven by its back-end; the dialog only decides when OK may end it.

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include "run/run.h"

namespace Ui {
class SimulationProcessDialog;
}

class SimulationProcessDialog : public QDialog {
    Q_OBJECT

public:
    // `run` is observed, not owned; it may be null (a monitor fed by interpretLine alone).
    SimulationProcessDialog(QWidget *parent, Run *run);
    ~SimulationProcessDialog() override;

    // Interprets one complete output line (without its line end), as the simulator's lines arrive.
    void interpretLine(const QString &line);

    // Shows a failure of the back-end (a Slurm command that failed) in the status line.
    void showProblem(const QString &message);

public slots:
    void on_pushButton_clicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    void runStateChanged();
    void showJob();
    void setOkAvailable(bool ok);

    Ui::SimulationProcessDialog *ui;
    QPointer<Run> run;
    QTimer timer;
};

#endif
