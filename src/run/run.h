#pragma once

// One simulator run: a project file, an output folder and the back-end that runs it. A small
// state machine (queued, running, then finished, failed or cancelled) that back-ends drive and
// that monitors only observe. The run writes the simulator's output to "log.txt" in the output
// folder and reads progress and status from it by the simulator's line rules.

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>

class Run : public QObject {
    Q_OBJECT

public:
    enum class State { Queued, Running, Finished, Failed, Cancelled };

    // `outputFolder` is used as given; the simulator receives it with a trailing "/".
    Run(const QString &project, const QString &outputFolder, QObject *parent = nullptr);

    QString project() const { return projectFile; }
    QString outputFolder() const { return output; }
    // Where the simulator runs; empty: the designer's own working directory.
    QString workingDirectory() const { return workDir; }
    void setWorkingDirectory(const QString &dir) { workDir = dir; }

    // The run's number among runs submitted together (a study's point number); 0 for none.
    int task() const { return taskNumber; }
    void setTask(int number) { taskNumber = number; }

    State state() const { return current; }
    bool isDone() const { return current >= State::Finished; }
    int progress() const { return percent; }
    // The last "[OK]" message, error line or end line.
    QString lastStatus() const { return status; }
    // Why the run failed or was refused (a back-end's or Slurm's own message); empty otherwise.
    QString message() const { return why; }
    // The back-end's name for the run: a Slurm job id ("17", "17_3") or "pid:N" for a local run.
    QString jobId() const { return job; }
    // The back-end's own state word (Slurm's "PENDING", "RUNNING", ..., or "SUBMITTING" until
    // sbatch answers); empty for local runs.
    QString backendState() const { return backendWord; }
    bool cancelRequested() const { return cancelAsked; }

    // True when the output said the simulation reached its end (100 % simulated time or "ended
    // correctly") and no error line came after it.
    bool outputSaysCompleted() const { return completed; }
    // True when an error line came after the last sign of completion.
    bool outputEndsInError() const { return sawError && !completed; }

    static QString stateName(State state);
    // Reads a name written by stateName; false for an unknown word.
    static bool stateFromName(const QString &name, State *state);

    // For back-ends. ---------------------------------------------------------------------------
    // Opens (replacing) log.txt; output read before this is not logged.
    void openLog();
    // Feeds output as it arrives; complete lines are logged, interpreted and announced.
    void receiveOutput(const QByteArray &chunk);
    // Interprets and logs a last line that had no line end.
    void endOutput();
    void setState(State state, const QString &message = QString());
    void setJobId(const QString &id);
    void setBackendState(const QString &word);
    void markCancelRequested() { cancelAsked = true; }
    // Sets the final state from how the simulator ended: a run ends well when it exited with
    // status 0 and its output does not end in an error.
    void finishFromExit(bool normalExit, int exitCode);

signals:
    void stateChanged(Run::State state);
    void progressChanged(int percent);
    // One complete output line, without its line end, after it was logged and interpreted.
    void lineReceived(const QString &line);
    // The job id, the back-end's state word or the last status changed.
    void detailsChanged();

private:
    void handleLine(const QByteArray &raw);

    QString projectFile;
    QString output;
    QString workDir;
    int taskNumber = 0;
    State current = State::Queued;
    int percent = 0;
    QString status;
    QString why;
    QString job;
    QString backendWord;
    bool completed = false;
    bool sawError = false;
    bool cancelAsked = false;
    QFile log;
    QByteArray pending;
};
