#pragma once

// Runs the simulator as Slurm jobs: submits a generated batch script with sbatch (one job, or one
// job array for runs submitted together), follows the jobs with squeue and their output files,
// and cancels with scancel. Only Slurm's machine-readable answers are read; every failed command
// is reported with the command's own message.

#include "run/run.h"
#include "run/runbackend.h"
#include "run/runsettings.h"

#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QProcess;

class SlurmBackend : public RunBackend {
    Q_OBJECT

public:
    explicit SlurmBackend(const RunSettings &settings, QObject *parent = nullptr);

    QString name() const override { return QStringLiteral("slurm"); }
    void submit(const QList<Run *> &runs) override;
    void adopt(Run *run) override;
    void poll() override;
    void cancel(Run *run) override;
    bool busy() const override;

    // The batch script that submit() writes for these runs: lines of text, for a user to read and
    // resubmit. `outputPattern` is the job's output file as Slurm writes it.
    QString batchScript(const QList<Run *> &runs, const QString &outputPattern) const;

    // Slurm's job state word (squeue's %T) as a run state; false while the job has not ended.
    static Run::State stateOf(const QString &slurmState, bool *ended);

signals:
    // A look at every followed job has ended (whatever it found).
    void looked();

private:
    struct Followed {
        QPointer<Run> run;
        QString job;     // the job as squeue lists it: "17" or "17_3"
        QString array;   // the job id that squeue is asked about: "17"
        QString outFile; // Slurm's output file of this run
        qint64 offset = 0;
        int unseen = 0;      // looks in a row in which squeue did not list the run
        bool asking = false; // scontrol was asked about the run and has not answered yet
        bool cancelWhenSubmitted = false;
    };
    using Done = std::function<void(int exitCode, const QString &out, const QString &err)>;

    // Starts a Slurm program; `done` receives its exit code and output, or -1 and the reason when
    // it could not be started.
    void command(const QString &program, const QStringList &args, Done done);
    void submitted(const QList<Run *> &runs, const QString &outputPattern, int code,
                   const QString &out, const QString &err);
    void lookAt(const QStringList &arrays);
    void applyStates(const QString &array, const QString &listing);
    void forget(const QString &array, const QString &reason);
    // Asks scontrol about a run that squeue no longer lists.
    void askAbout(Followed &followed);
    void readOutput(Followed &followed);
    void end(Followed &followed, Run::State state, const QString &message = QString());
    void reportProblem(const QString &message);
    Followed *find(Run *run);
    QString outputFileOf(const QString &job, const Run *run) const;
    QString simulatorProgram() const;

    RunSettings settings;
    QList<Followed> followed;
    QTimer timer;
    bool looking = false;
    QString lastProblem;
};
