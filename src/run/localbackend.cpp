#include "run/localbackend.h"

#include "run/programlookup.h"
#include "run/run.h"

#include <QFile>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <sys/types.h>
#include <utility>

LocalBackend::LocalBackend(QObject *parent) : RunBackend(parent) {
    maxRunning = qMax(1, QThread::idealThreadCount());
    adoptedTimer.setInterval(500);
    connect(&adoptedTimer, &QTimer::timeout, this, &LocalBackend::poll);
}

LocalBackend::~LocalBackend() {
    // Processes still running when the designer ends are stopped with it, as before.
    for (QProcess *process : std::as_const(running)) {
        process->disconnect(this);
        process->kill();
        process->waitForFinished(3000);
    }
}

void LocalBackend::submit(const QList<Run *> &runs) {
    for (Run *run : runs)
        waiting.enqueue(run);
    startWaiting();
}

void LocalBackend::setLimit(int limit) {
    RunBackend::setLimit(limit);
    startWaiting();
}

bool LocalBackend::busy() const {
    for (const QPointer<Run> &run : waiting)
        if (run)
            return true;
    for (const Adopted &a : adopted)
        if (a.run && !a.run->isDone())
            return true;
    return !running.isEmpty();
}

int LocalBackend::ownRunCount() const {
    int count = int(running.size());
    for (const QPointer<Run> &run : waiting)
        count += run && run->state() == Run::State::Queued ? 1 : 0;
    return count;
}

void LocalBackend::stopOwnRuns() {
    // The queue first: a killed simulator frees its place, which would start the next run.
    const QQueue<QPointer<Run>> queued = std::exchange(waiting, {});
    for (const QPointer<Run> &run : queued)
        if (run && run->state() == Run::State::Queued)
            run->setState(Run::State::Cancelled);
    const QList<Run *> started = running.keys();
    for (Run *run : started) {
        QProcess *process = running.value(run);
        if (!process)
            continue;
        run->markCancelRequested();
        process->kill();
        // Emits finished(), which ends the run as cancelled and releases the process.
        process->waitForFinished(3000);
    }
}

void LocalBackend::adopt(Run *run) {
    bool ok = false;
    const qint64 pid =
        run->jobId().startsWith(QLatin1String("pid:")) ? run->jobId().mid(4).toLongLong(&ok) : 0;
    Adopted a;
    a.run = run;
    a.pid = ok ? pid : 0;
    adopted << a;
    poll();
    adoptedTimer.start();
}

bool LocalBackend::stillRunning(const Adopted &a) const {
    // The pid alone could have been reused: the process must still be the simulator on this
    // run's project.
    if (a.pid <= 0)
        return false;
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(a.pid));
    if (!cmdline.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> args = cmdline.readAll().split('\0');
    return args.contains(a.run->project().toLocal8Bit());
}

void LocalBackend::poll() {
    for (Adopted &a : adopted) {
        if (!a.run || a.run->isDone())
            continue;
        const bool alive = stillRunning(a);
        // The owner of the run writes its log; it is read here, not written.
        QFile log(a.run->outputFolder() + QStringLiteral("log.txt"));
        if (log.open(QIODevice::ReadOnly) && log.seek(a.offset)) {
            const QByteArray chunk = log.readAll();
            a.offset += chunk.size();
            a.run->receiveOutput(chunk);
        }
        if (alive) {
            a.run->setState(Run::State::Running);
            continue;
        }
        a.run->endOutput();
        if (a.run->outputSaysCompleted())
            a.run->setState(Run::State::Finished);
        else if (a.run->cancelRequested())
            a.run->setState(Run::State::Cancelled);
        else
            a.run->setState(Run::State::Failed, a.run->outputEndsInError()
                                                    ? a.run->lastStatus()
                                                    : tr("The simulator is no longer running."));
    }
    adopted.removeIf([](const Adopted &a) { return !a.run || a.run->isDone(); });
    if (adopted.isEmpty())
        adoptedTimer.stop();
}

void LocalBackend::startWaiting() {
    while (!waiting.isEmpty() && (maxRunning == 0 || running.size() < maxRunning)) {
        const QPointer<Run> run = waiting.dequeue();
        if (run && run->state() == Run::State::Queued)
            start(run);
    }
}

void LocalBackend::start(Run *run) {
    auto *process = new QProcess(this);
    process->setProcessChannelMode(QProcess::MergedChannels);
    if (!run->workingDirectory().isEmpty())
        process->setWorkingDirectory(run->workingDirectory());
    running.insert(run, process);
    run->openLog();

    const QPointer<Run> watched(run);
    connect(process, &QProcess::readyReadStandardOutput, this, [process, watched] {
        if (watched)
            watched->receiveOutput(process->readAllStandardOutput());
    });
    auto release = [this, run, process] {
        running.remove(run);
        process->deleteLater();
        startWaiting();
    };
    connect(process, &QProcess::finished, this,
            [process, watched, release](int code, QProcess::ExitStatus exit) {
                if (watched) {
                    watched->receiveOutput(process->readAllStandardOutput());
                    watched->finishFromExit(exit == QProcess::NormalExit, code);
                }
                release();
            });
    connect(
        process, &QProcess::errorOccurred, this,
        [process, watched, release](QProcess::ProcessError error) {
            // Only a failed start ends without a finished(); other errors are followed by it.
            if (error != QProcess::FailedToStart)
                return;
            if (watched)
                watched->setState(
                    Run::State::Failed,
                    Run::tr("The simulator could not be started: %1").arg(process->errorString()));
            release();
        });
    // Destroying a run that still runs stops its simulator.
    connect(run, &QObject::destroyed, process, [process] { process->kill(); });

    const QString program =
        simulator.isEmpty() ? resolveProgram(QStringLiteral("KARVENOCOM.exe")) : simulator;
    process->start(program, {run->project(), run->outputFolder()},
                   QIODevice::ReadWrite | QIODevice::Text);
    if (process->state() != QProcess::NotRunning) {
        run->setJobId(QStringLiteral("pid:%1").arg(process->processId()));
        run->setState(Run::State::Running);
    }
}

void LocalBackend::cancel(Run *run) {
    if (!run || run->isDone())
        return;
    run->markCancelRequested();
    if (QProcess *process = running.value(run)) {
        process->kill();
        return;
    }
    for (const Adopted &a : adopted) {
        if (a.run == run) {
            if (stillRunning(a))
                ::kill(pid_t(a.pid), SIGTERM);
            poll();
            return;
        }
    }
    // Not started yet: it simply leaves the queue.
    waiting.removeAll(QPointer<Run>(run));
    run->setState(Run::State::Cancelled);
}
