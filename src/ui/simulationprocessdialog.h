#ifndef SIMULATIONPROCESSDIALOG_H
#define SIMULATIONPROCESSDIALOG_H

// The monitor of a simulation run: logs the simulator's output to "log.txt" in the output folder
// and turns its progress, status and error lines into the dialog's state.

#include <QDialog>
#include <QFile>
#include <QProcess>
#include <QTimer>

namespace Ui {
class SimulationProcessDialog;
}

class SimulationProcessDialog : public QDialog {
    Q_OBJECT

public:
    // `process` is the window's simulator process (not owned); `outputPath` ends with "/".
    SimulationProcessDialog(QWidget *parent, QProcess *process, const QString &outputPath);
    ~SimulationProcessDialog() override;

    // Interprets one complete output line (without its line end), as the simulator's lines arrive.
    void interpretLine(const QString &line);

public slots:
    void updateProcessStatus();
    void on_pushButton_clicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    void handleLine(const QString &line);
    void processFailed(QProcess::ProcessError error);
    void flushPartialLine();
    void setOkAvailable(bool ok);

    Ui::SimulationProcessDialog *ui;
    QProcess *simulator;
    QTimer timer;
    QFile logfile;
    // Output received after the last line end; kept until the line is complete or the process ends.
    QByteArray pending;
};

#endif
