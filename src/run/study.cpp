#include "run/study.h"

#include "check/handover.h"
#include "io/projectfile.h"
#include "model/materialsmanager.h"
#include "run/runbackend.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSysInfo>
#include <QTextStream>

#include <memory>

namespace {

QString csvField(const QString &field) {
    if (!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"')) &&
        !field.contains(QLatin1Char('\n')) && !field.contains(QLatin1Char('\r')))
        return field;
    QString quoted = field;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Splits CSV text into records of fields (quotes as RFC 4180 writes them).
QList<QStringList> readCsv(const QString &text) {
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            record << field;
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            record << field;
            field.clear();
            records << record;
            record.clear();
        } else if (c != QLatin1Char('\r')) {
            field += c;
        }
    }
    if (!field.isEmpty() || !record.isEmpty())
        records << (record << field);
    return records;
}

const QLatin1String kWaiting("waiting:");

// When the process started, in clock ticks since boot (field 22 of /proc/PID/stat); empty when
// there is no such process. With the pid it names one process, whatever pids are reused.
QByteArray processStart(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = stat.readAll();
    // The command name, in parentheses, may hold blanks; the fields after it are plain.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.value(19);
}

// True when the session that wrote `mark` ("waiting:HOST:PID:START") has ended on this machine,
// or when there is no mark at all.
bool markedSessionEnded(const QString &mark) {
    if (mark.isEmpty())
        return true;
    const QStringList parts = mark.mid(kWaiting.size()).split(QLatin1Char(':'));
    if (!mark.startsWith(kWaiting) || parts.size() != 3)
        return false; // a job id, or a mark this version does not know
    if (parts[0] != QSysInfo::machineHostName())
        return false; // nothing here can tell about another machine
    bool ok = false;
    const qint64 pid = parts[1].toLongLong(&ok);
    return ok && processStart(pid) != parts[2].toLatin1();
}

const QStringList kTail = {QStringLiteral("project"), QStringLiteral("verdict"),
                           QStringLiteral("state"), QStringLiteral("output"),
                           QStringLiteral("job")};

} // namespace

Study::Study(QObject *parent) : QObject(parent) {}

Study::~Study() = default;

QString Study::absolute(const QString &relative) const {
    return QDir(dir).absoluteFilePath(relative);
}

bool Study::make(const QString &base, const QString &folder, const StudyDefinition &definition,
                 QString *error) {
    QList<QStringList> values;
    if (!definition.points(&values, error))
        return false;
    QFile baseFile(base);
    if (!baseFile.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = tr("cannot read %1: %2").arg(base, baseFile.errorString());
        return false;
    }
    const QString baseText = QString::fromUtf8(baseFile.readAll());
    QDir root(folder);
    if (root.exists(kTableName)) {
        *error = tr("%1 already holds a study").arg(folder);
        return false;
    }
    if (!QDir().mkpath(folder)) {
        *error = tr("cannot create the folder %1").arg(folder);
        return false;
    }

    Study study;
    study.dir = QFileInfo(folder).absoluteFilePath();
    for (const StudySetting &s : definition.settings)
        study.paths << s.path;
    const int width = qMax(3, int(QString::number(values.size()).size()));
    for (qsizetype i = 0; i < values.size(); ++i) {
        StudyPoint point;
        point.number = int(i + 1);
        point.values = values[i];
        const QString name = QStringLiteral("%1").arg(point.number, width, 10, QLatin1Char('0'));
        point.project = name + QStringLiteral("/project.txt");
        point.output = name + QStringLiteral("/output/");

        // Each point starts from the base file as read, with a registry of its own, so that no
        // change of one point reaches another.
        QString text = baseText;
        QTextStream in(&text, QIODevice::ReadOnly);
        MaterialsManager registry;
        ProjectDesign design;
        if (!readProject(in, design, registry).volumsRead) {
            *error = tr("%1 has no project structure").arg(base);
            return false;
        }
        for (qsizetype s = 0; s < definition.settings.size(); ++s) {
            QString why;
            if (!applyStudySetting(design, registry, definition.settings[s].path, point.values[s],
                                   &why)) {
                *error = why;
                return false;
            }
        }
        if (!root.mkpath(point.output)) {
            *error = tr("cannot create the folder %1").arg(study.absolute(point.output));
            return false;
        }
        QString why;
        if (!writeProjectFile(study.absolute(point.project), design, registry, &why)) {
            *error = tr("cannot write %1: %2").arg(study.absolute(point.project), why);
            return false;
        }
        const CheckVerdict verdict = checkDesign(design, registry);
        point.verdict = verdict.trimmed();
        point.state = verdict.ok() ? kReady : kNotRun;
        study.list << point;
    }
    return study.save(error);
}

bool Study::save(QString *error) {
    // One writer at a time; a lock left by a session that died is taken over after a while.
    QLockFile lock(QDir(dir).filePath(kTableName + QStringLiteral(".lock")));
    lock.setStaleLockTime(30000);
    lock.tryLock(10000);
    Study onDisk;
    QString ignored;
    if (onDisk.open(dir, &ignored) && onDisk.paths == paths && onDisk.list.size() == list.size()) {
        for (int i = 0; i < list.size(); ++i) {
            if (touched.contains(i) || (runs.value(i) && !runs[i]->isDone()))
                continue;
            const StudyPoint &other = onDisk.list[i];
            list[i].state = other.state;
            list[i].job = other.job;
            list[i].verdict = other.verdict;
        }
    }
    QSaveFile file(QDir(dir).filePath(kTableName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QTextStream out(&file);
    QStringList header{QStringLiteral("point")};
    header << paths << kTail;
    for (QString &h : header)
        h = csvField(h);
    out << header.join(QLatin1Char(',')) << '\n';
    for (const StudyPoint &p : list) {
        QStringList fields{QString::number(p.number)};
        fields << p.values << p.project << p.verdict << p.state << p.output << p.job;
        for (QString &f : fields)
            f = csvField(f);
        out << fields.join(QLatin1Char(',')) << '\n';
    }
    out.flush();
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool Study::open(const QString &folder, QString *error) {
    const QString path = QDir(folder).filePath(kTableName);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = tr("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    const QList<QStringList> records = readCsv(QString::fromUtf8(file.readAll()));
    const QStringList header = records.value(0);
    const qsizetype settings = header.size() - 1 - kTail.size();
    if (header.size() < 2 + kTail.size() || header.first() != QLatin1String("point") ||
        header.mid(1 + settings) != kTail) {
        *error = tr("%1 is not a study table").arg(path);
        return false;
    }
    QList<StudyPoint> points;
    for (qsizetype r = 1; r < records.size(); ++r) {
        const QStringList &f = records[r];
        if (f.size() == 1 && f.first().isEmpty())
            continue;
        bool ok = false;
        StudyPoint p;
        p.number = f.value(0).toInt(&ok);
        Run::State state;
        if (f.size() != header.size() || !ok || p.number <= 0 ||
            (f[settings + 3] != kReady && f[settings + 3] != kNotRun &&
             !Run::stateFromName(f[settings + 3], &state))) {
            *error = tr("%1, line %2: not a point of the study").arg(path).arg(r + 1);
            return false;
        }
        p.values = f.mid(1, settings);
        p.project = f[settings + 1];
        p.verdict = f[settings + 2];
        p.state = f[settings + 3];
        p.output = f[settings + 4];
        p.job = f[settings + 5];
        if (p.state == Run::stateName(Run::State::Finished))
            p.progress = 100;
        points << p;
    }
    dir = QFileInfo(folder).absoluteFilePath();
    paths = header.mid(1, settings);
    list = points;
    runs = QList<QPointer<Run>>(list.size());
    return true;
}

Run *Study::attach(int index, RunBackend *to) {
    StudyPoint &p = list[index];
    auto *run = new Run(absolute(p.project), absolute(p.output), this);
    run->setTask(p.number);
    // Each point runs in its own output folder, so that the files a simulator writes in its
    // working directory (its status file) stay apart.
    run->setWorkingDirectory(absolute(p.output));
    if (runs.size() != list.size())
        runs.resize(list.size());
    runs[index] = run;
    backend = to;
    connect(run, &Run::stateChanged, this, [this, index] {
        update(index);
        if (!active())
            emit ended();
    });
    connect(run, &Run::detailsChanged, this, [this, index] { update(index); });
    connect(run, &Run::progressChanged, this, [this, index] { update(index); });
    return run;
}

void Study::update(int index) {
    Run *run = runs.value(index);
    if (!run)
        return;
    StudyPoint &p = list[index];
    const QString state = Run::stateName(run->state());
    const bool recorded = p.state != state || p.job != run->jobId();
    p.state = state;
    // A point waiting for its job keeps this session's mark, so that another session can tell
    // it from one abandoned by a session that died.
    p.job =
        run->jobId().isEmpty() && run->state() == Run::State::Queued ? waitingMark() : run->jobId();
    p.progress = run->progress();
    p.status = run->lastStatus();
    p.message = run->message();
    if (recorded) {
        touched.insert(index);
        saveOrReport();
    }
    emit pointChanged(index);
}

int Study::start(RunBackend *to, bool again) {
    QList<Run *> batch;
    for (int i = 0; i < list.size(); ++i) {
        const QString &state = list[i].state;
        const bool wanted =
            state == kReady || (again && (state == Run::stateName(Run::State::Failed) ||
                                          state == Run::stateName(Run::State::Cancelled)));
        if (!wanted || (runs.value(i) && !runs[i]->isDone()))
            continue;
        QDir().mkpath(absolute(list[i].output));
        Run *run = attach(i, to);
        list[i].state = Run::stateName(Run::State::Queued);
        list[i].job = waitingMark();
        touched.insert(i);
        batch << run;
    }
    if (batch.isEmpty())
        return 0;
    saveOrReport();
    to->setBatchFolder(dir);
    to->submit(batch);
    return int(batch.size());
}

void Study::saveOrReport() {
    QString why;
    if (!save(&why))
        emit saveFailed(tr("%1 cannot be written: %2").arg(kTableName, why));
}

QString Study::waitingMark() {
    static const QString mark =
        kWaiting + QSysInfo::machineHostName() + QLatin1Char(':') +
        QString::number(QCoreApplication::applicationPid()) + QLatin1Char(':') +
        QString::fromLatin1(processStart(QCoreApplication::applicationPid()));
    return mark;
}

int Study::reclaimAbandoned() {
    QList<int> reclaimed;
    for (int i = 0; i < list.size(); ++i) {
        if (list[i].state != Run::stateName(Run::State::Queued) ||
            (runs.value(i) && !runs[i]->isDone()) || !markedSessionEnded(list[i].job))
            continue;
        list[i].state = kReady;
        list[i].job.clear();
        touched.insert(i);
        reclaimed << i;
    }
    if (reclaimed.isEmpty())
        return 0;
    saveOrReport();
    for (int i : reclaimed)
        emit pointChanged(i);
    return int(reclaimed.size());
}

bool Study::onSlurm() const {
    for (const StudyPoint &p : list)
        if (p.hasJob() && !p.job.startsWith(QLatin1String("pid:")))
            return true;
    return false;
}

int Study::follow(RunBackend *to) {
    reclaimAbandoned();
    int followed = 0;
    for (int i = 0; i < list.size(); ++i) {
        const QString &state = list[i].state;
        if (state != Run::stateName(Run::State::Queued) &&
            state != Run::stateName(Run::State::Running))
            continue;
        if (runs.value(i) && !runs[i]->isDone())
            continue;
        // Queued and waiting in a live session (or in one on another machine): there is
        // nothing to follow yet, and nothing to declare failed.
        if (!list[i].hasJob())
            continue;
        Run *run = attach(i, to);
        run->setJobId(list[i].job);
        to->setBatchFolder(dir);
        to->adopt(run);
        ++followed;
    }
    return followed;
}

void Study::cancel(int index) {
    if (Run *run = runs.value(index); run && backend) {
        backend->cancel(run);
        return;
    }
    // Made but never submitted: nothing runs, and the point is simply not run.
    if (index >= 0 && index < list.size() && list[index].state == kReady) {
        list[index].state = Run::stateName(Run::State::Cancelled);
        touched.insert(index);
        save();
        emit pointChanged(index);
    }
}

void Study::cancelAll() {
    for (int i = 0; i < list.size(); ++i)
        cancel(i);
}

bool Study::active() const {
    for (const QPointer<Run> &run : runs)
        if (run && !run->isDone())
            return true;
    return false;
}

int Study::count(const QStringList &states) const {
    int n = 0;
    for (const StudyPoint &p : list)
        n += states.contains(p.state) ? 1 : 0;
    return n;
}
