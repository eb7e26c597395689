#include "run/slurmbackend.h"

#include "run/programlookup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

#include <algorithm>

namespace {

// Quotes a word for the POSIX shell that runs the batch script.
QString shellWord(const QString &word) {
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// An option value on an "#SBATCH" line; sbatch reads those lines word by word, honouring quotes.
QString optionValue(const QString &value) {
    if (!value.contains(QLatin1Char(' ')) && !value.contains(QLatin1Char('\t')))
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString absoluteFolder(const QString &folder) {
    QString path = QFileInfo(folder).absoluteFilePath();
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

QString firstLine(const QString &text) {
    const QString trimmed = text.trimmed();
    return trimmed.section(QLatin1Char('\n'), 0, 0).trimmed();
}

} // namespace

SlurmBackend::SlurmBackend(const RunSettings &s, QObject *parent)
    : RunBackend(parent), settings(s) {
    maxRunning = s.arrayLimit;
    timer.setInterval(s.pollMs);
    connect(&timer, &QTimer::timeout, this, &SlurmBackend::poll);
}

bool SlurmBackend::busy() const {
    for (const Followed &f : followed)
        if (f.run && !f.run->isDone())
            return true;
    return false;
}

QString SlurmBackend::simulatorProgram() const {
    if (!settings.nodeSimulator.isEmpty())
        return settings.nodeSimulator;
    const QString found = resolveProgram(QStringLiteral("KARVENOCOM.exe"));
    return QFileInfo(found).isAbsolute() ? found : QStringLiteral("KARVENOCOM.exe");
}

QString SlurmBackend::batchScript(const QList<Run *> &runs, const QString &outputPattern) const {
    QStringList lines;
    lines << QStringLiteral("#!/bin/sh")
          << QStringLiteral("# Written by the Karveno designer; submit again with: sbatch %1")
                 .arg(runs.size() == 1 ? QStringLiteral("karveno-run.sbatch")
                                       : QStringLiteral("karveno-study.sbatch"));
    auto option = [&lines](const char *name, const QString &value) {
        if (!value.isEmpty())
            lines << QStringLiteral("#SBATCH --%1=%2").arg(QLatin1String(name), optionValue(value));
    };
    option("job-name", settings.jobName);
    option("output", outputPattern);
    if (runs.size() > 1) {
        // Runs of consecutive numbers become ranges: "1-12,14-20".
        QList<int> numbers;
        for (const Run *run : runs)
            numbers << run->task();
        std::sort(numbers.begin(), numbers.end());
        QStringList tasks;
        for (qsizetype i = 0; i < numbers.size();) {
            qsizetype j = i;
            while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1)
                ++j;
            tasks << (j == i ? QString::number(numbers[i])
                             : QStringLiteral("%1-%2").arg(numbers[i]).arg(numbers[j]));
            i = j + 1;
        }
        QString array = tasks.join(QLatin1Char(','));
        if (maxRunning > 0)
            array += QStringLiteral("%%1").arg(maxRunning);
        option("array", array);
    }
    option("partition", settings.partition);
    option("time", settings.timeLimit);
    if (settings.cpus > 0)
        option("cpus-per-task", QString::number(settings.cpus));
    option("mem", settings.memory);
    lines << QString();

    const QString program = shellWord(simulatorProgram());
    auto commandFor = [&](const Run *run) {
        const QString dir =
            run->workingDirectory().isEmpty() ? QDir::currentPath() : run->workingDirectory();
        return QStringLiteral("cd %1 && exec %2 %3 %4")
            .arg(shellWord(dir), program, shellWord(QFileInfo(run->project()).absoluteFilePath()),
                 shellWord(absoluteFolder(run->outputFolder())));
    };
    if (runs.size() == 1) {
        lines << commandFor(runs.first());
    } else {
        lines << QStringLiteral("case \"$SLURM_ARRAY_TASK_ID\" in");
        for (const Run *run : runs)
            lines << QStringLiteral("%1) %2 ;;").arg(run->task()).arg(commandFor(run));
        lines << QStringLiteral("esac")
              << QStringLiteral("echo \"ERROR no run for array task $SLURM_ARRAY_TASK_ID\"")
              << QStringLiteral("exit 1");
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void SlurmBackend::submit(const QList<Run *> &runs) {
    if (runs.isEmpty())
        return;
    QList<Run *> batch = runs;
    for (Run *run : batch)
        run->setBackendState(QStringLiteral("SUBMITTING"));
    if (batch.size() > 1) {
        // Array tasks are the runs' own numbers; runs without one are numbered in order.
        QSet<int> used;
        bool numbered = true;
        for (const Run *run : batch)
            numbered = numbered && run->task() > 0 && !used.contains(run->task()) &&
                       (used.insert(run->task()), true);
        if (!numbered)
            for (int i = 0; i < batch.size(); ++i)
                batch[i]->setTask(i + 1);
    }

    const QString folder =
        batch.size() == 1 ? absoluteFolder(batch.first()->outputFolder())
        : batchDir.isEmpty()
            ? absoluteFolder(QFileInfo(absoluteFolder(batch.first()->outputFolder()) + "..")
                                 .absoluteFilePath())
            : absoluteFolder(batchDir);
    const QString outputPattern = batch.size() == 1 ? folder + QStringLiteral("slurm-%j.out")
                                                    : folder + QStringLiteral("slurm-%A_%a.out");
    const QString scriptPath =
        folder + (batch.size() == 1 ? QStringLiteral("karveno-run.sbatch")
                                    : QStringLiteral("karveno-study.sbatch"));

    QSaveFile script(scriptPath);
    if (!script.open(QIODevice::WriteOnly | QIODevice::Text) ||
        script.write(batchScript(batch, outputPattern).toLocal8Bit()) < 0 || !script.commit()) {
        const QString why =
            tr("The batch script %1 cannot be written: %2").arg(scriptPath, script.errorString());
        for (Run *run : batch)
            run->setState(Run::State::Failed, why);
        reportProblem(why);
        return;
    }
    QFile::setPermissions(scriptPath, QFile::permissions(scriptPath) | QFile::ExeOwner);

    QList<QPointer<Run>> watched;
    for (Run *run : batch) {
        watched << run;
        Followed f;
        f.run = run;
        followed << f;
    }
    command(settings.sbatch, {QStringLiteral("--parsable"), scriptPath},
            [this, watched, outputPattern](int code, const QString &out, const QString &err) {
                QList<Run *> alive;
                for (const QPointer<Run> &run : watched)
                    if (run)
                        alive << run;
                submitted(alive, outputPattern, code, out, err);
            });
}

void SlurmBackend::submitted(const QList<Run *> &runs, const QString &outputPattern, int code,
                             const QString &out, const QString &err) {
    // "--parsable" prints "jobid" or "jobid;cluster".
    const QString id = firstLine(out).section(QLatin1Char(';'), 0, 0);
    bool numeric = false;
    id.toLongLong(&numeric);
    if (code != 0 || !numeric) {
        // sbatch explains a refusal over several lines; all of them are its message.
        QString why = err.trimmed();
        if (why.isEmpty())
            why = code == 0 ? tr("sbatch gave no job id: %1").arg(firstLine(out))
                            : tr("sbatch failed with exit status %1").arg(code);
        for (Run *run : runs) {
            run->setState(Run::State::Failed, why);
            followed.removeIf([run](const Followed &f) { return f.run == run; });
        }
        reportProblem(why);
        return;
    }
    for (Run *run : runs) {
        Followed *f = find(run);
        if (!f)
            continue;
        f->array = id;
        f->job = runs.size() == 1 ? id : id + QLatin1Char('_') + QString::number(run->task());
        f->outFile = outputPattern;
        f->outFile.replace(QLatin1String("%j"), id)
            .replace(QLatin1String("%A"), id)
            .replace(QLatin1String("%a"), QString::number(run->task()));
        run->setJobId(f->job);
        run->setBackendState(QStringLiteral("PENDING"));
        if (run->cancelRequested())
            cancel(run);
    }
    timer.start();
}

QString SlurmBackend::outputFileOf(const QString &job, const Run *run) const {
    const QString array = job.section(QLatin1Char('_'), 0, 0);
    if (!job.contains(QLatin1Char('_')))
        return absoluteFolder(run->outputFolder()) + QStringLiteral("slurm-%1.out").arg(job);
    const QString folder =
        batchDir.isEmpty()
            ? absoluteFolder(
                  QFileInfo(absoluteFolder(run->outputFolder()) + "..").absoluteFilePath())
            : absoluteFolder(batchDir);
    return folder + QStringLiteral("slurm-%1_%2.out").arg(array, job.section(QLatin1Char('_'), 1));
}

void SlurmBackend::adopt(Run *run) {
    if (!run || run->jobId().isEmpty() || find(run))
        return;
    Followed f;
    f.run = run;
    f.job = run->jobId();
    f.array = f.job.section(QLatin1Char('_'), 0, 0);
    f.outFile = outputFileOf(f.job, run);
    followed << f;
    timer.start();
}

SlurmBackend::Followed *SlurmBackend::find(Run *run) {
    for (Followed &f : followed)
        if (f.run == run)
            return &f;
    return nullptr;
}

void SlurmBackend::poll() {
    followed.removeIf([](const Followed &f) { return !f.run || f.run->isDone(); });
    if (followed.isEmpty()) {
        timer.stop();
        emit looked();
        return;
    }
    if (looking)
        return;
    QStringList arrays;
    for (const Followed &f : followed)
        if (!f.array.isEmpty() && !arrays.contains(f.array))
            arrays << f.array;
    lookAt(arrays);
}

void SlurmBackend::lookAt(const QStringList &arrays) {
    if (arrays.isEmpty()) {
        looking = false;
        emit looked();
        return;
    }
    looking = true;
    const QString array = arrays.first();
    const QStringList rest = arrays.mid(1);
    // One line per job, and per array task ("-r"), in any state ("-t all") while Slurm still
    // keeps the job.
    command(settings.squeue,
            {QStringLiteral("-h"), QStringLiteral("-r"), QStringLiteral("-t"),
             QStringLiteral("all"), QStringLiteral("-j"), array, QStringLiteral("-o"),
             QStringLiteral("%i|%T")},
            [this, array, rest](int code, const QString &out, const QString &err) {
                if (code == 0) {
                    applyStates(array, out);
                } else if (err.contains(QLatin1String("Invalid job id"))) {
                    forget(array, tr("Slurm no longer knows job %1.").arg(array));
                } else {
                    reportProblem(firstLine(err).isEmpty()
                                      ? tr("squeue failed with exit status %1").arg(code)
                                      : firstLine(err));
                }
                lookAt(rest);
            });
}

Run::State SlurmBackend::stateOf(const QString &word, bool *ended) {
    *ended = true;
    if (word == QLatin1String("COMPLETED"))
        return Run::State::Finished;
    if (word == QLatin1String("CANCELLED"))
        return Run::State::Cancelled;
    if (word == QLatin1String("FAILED") || word == QLatin1String("TIMEOUT") ||
        word == QLatin1String("NODE_FAIL") || word == QLatin1String("OUT_OF_MEMORY") ||
        word == QLatin1String("BOOT_FAIL") || word == QLatin1String("DEADLINE") ||
        word == QLatin1String("PREEMPTED") || word == QLatin1String("SPECIAL_EXIT") ||
        word == QLatin1String("REVOKED"))
        return Run::State::Failed;
    *ended = false;
    if (word == QLatin1String("RUNNING") || word == QLatin1String("COMPLETING") ||
        word == QLatin1String("STAGE_OUT") || word == QLatin1String("SIGNALING"))
        return Run::State::Running;
    return Run::State::Queued; // PENDING, CONFIGURING, REQUEUED, SUSPENDED, RESIZING, ...
}

void SlurmBackend::applyStates(const QString &array, const QString &listing) {
    QHash<QString, QString> states;
    for (const QString &line : listing.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString job = line.section(QLatin1Char('|'), 0, 0).trimmed();
        const QString word = line.section(QLatin1Char('|'), 1, 1).trimmed();
        if (!job.isEmpty())
            states.insert(job, word);
    }
    for (Followed &f : followed) {
        if (f.array != array || !f.run || f.run->isDone())
            continue;
        readOutput(f);
        const auto it = states.constFind(f.job);
        if (it == states.constEnd()) {
            // Tasks of an array that has not started may be listed as one line; a run that stays
            // unlisted is asked about by its own id.
            if (++f.unseen >= 3 && !f.asking)
                askAbout(f);
            continue;
        }
        f.unseen = 0;
        f.run->setBackendState(*it);
        bool ended = false;
        const Run::State state = stateOf(*it, &ended);
        if (ended)
            end(f, state,
                state == Run::State::Finished ? QString()
                                              : tr("Slurm job %1 ended %2.").arg(f.job, *it));
        else
            f.run->setState(state);
    }
}

void SlurmBackend::askAbout(Followed &f) {
    f.asking = true;
    const QPointer<Run> run = f.run;
    const QString job = f.job;
    command(settings.scontrol,
            {QStringLiteral("show"), QStringLiteral("job"), QStringLiteral("-o"), job},
            [this, run, job](int code, const QString &out, const QString &err) {
                Followed *f = run ? find(run) : nullptr;
                if (!f || run->isDone())
                    return;
                f->asking = false;
                static const QRegularExpression stateWord(QStringLiteral("\\bJobState=(\\S+)"));
                const QRegularExpressionMatch m = stateWord.match(out);
                if (code == 0 && m.hasMatch()) {
                    f->unseen = 0;
                    run->setBackendState(m.captured(1));
                    bool ended = false;
                    const Run::State state = stateOf(m.captured(1), &ended);
                    if (ended)
                        end(*f, state,
                            state == Run::State::Finished
                                ? QString()
                                : tr("Slurm job %1 ended %2.").arg(job, m.captured(1)));
                    else
                        run->setState(state);
                } else if (err.contains(QLatin1String("Invalid job id"))) {
                    readOutput(*f);
                    end(*f, run->outputSaysCompleted() ? Run::State::Finished : Run::State::Failed,
                        tr("Slurm no longer knows job %1.").arg(job));
                } else if (code != 0) {
                    reportProblem(firstLine(err).isEmpty()
                                      ? tr("scontrol failed with exit status %1").arg(code)
                                      : firstLine(err));
                }
            });
}

void SlurmBackend::forget(const QString &array, const QString &reason) {
    for (Followed &f : followed) {
        if (f.array != array || !f.run || f.run->isDone())
            continue;
        readOutput(f);
        end(f, f.run->outputSaysCompleted() ? Run::State::Finished : Run::State::Failed, reason);
    }
}

void SlurmBackend::end(Followed &f, Run::State state, const QString &message) {
    readOutput(f);
    f.run->endOutput();
    if (state == Run::State::Finished && f.run->outputEndsInError())
        f.run->setState(Run::State::Failed, f.run->lastStatus());
    else
        f.run->setState(state, message);
}

void SlurmBackend::readOutput(Followed &f) {
    QFile file(f.outFile);
    if (f.outFile.isEmpty() || !file.open(QIODevice::ReadOnly))
        return; // not there before the job starts
    const QByteArray all = file.readAll();
    if (all.size() < f.offset)
        f.offset = 0; // written anew (a requeued job)
    if (all.size() == f.offset)
        return;
    const QByteArray chunk = all.mid(f.offset);
    f.offset = all.size();
    // log.txt is the job's output so far, written whole: a second session that follows the
    // same job (a reopened study) writes the same file instead of adding to it.
    QSaveFile log(f.run->outputFolder() + QStringLiteral("log.txt"));
    if (log.open(QIODevice::WriteOnly) && log.write(all) == all.size())
        log.commit();
    f.run->receiveOutput(chunk);
}

void SlurmBackend::cancel(Run *run) {
    Followed *f = find(run);
    if (!run || run->isDone() || !f)
        return;
    run->markCancelRequested();
    if (f->job.isEmpty())
        return; // cancelled as soon as sbatch gives the job id
    const QPointer<Run> watched(run);
    const QString job = f->job;
    command(settings.scancel, {job},
            [this, watched, job](int code, const QString &, const QString &err) {
                if (code != 0) {
                    const QString why =
                        firstLine(err).isEmpty()
                            ? tr("scancel %1 failed with exit status %2").arg(job).arg(code)
                            : firstLine(err);
                    reportProblem(why);
                }
                poll();
            });
}

void SlurmBackend::reportProblem(const QString &message) {
    // A controller that stays unreachable is reported once, not at every look.
    if (message == lastProblem)
        return;
    lastProblem = message;
    emit problem(message);
}

void SlurmBackend::command(const QString &program, const QStringList &args, Done done) {
    auto *process = new QProcess(this);
    auto finish = [process, done](int code, const QString &out, const QString &err) {
        process->disconnect();
        process->deleteLater();
        done(code, out, err);
    };
    connect(process, &QProcess::finished, this, [process, finish](int code, QProcess::ExitStatus) {
        finish(code, QString::fromLocal8Bit(process->readAllStandardOutput()),
               QString::fromLocal8Bit(process->readAllStandardError()));
    });
    connect(process, &QProcess::errorOccurred, this,
            [process, program, finish](QProcess::ProcessError error) {
                if (error == QProcess::FailedToStart)
                    finish(-1, QString(),
                           tr("%1 could not be started: %2").arg(program, process->errorString()));
            });
    process->start(program, args);
}
