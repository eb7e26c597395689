// karveno-study: parameter studies from the command line, for scripts and for login nodes
// without a display. The same study folders as the designer's "Parameter study...".

#include "run/localbackend.h"
#include "run/runsettings.h"
#include "run/slurmbackend.h"
#include "run/study.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

const char kUsage[] =
    "Usage: karveno-study make PROJECT.txt FOLDER --set PATH=VALUES [--set PATH=VALUES] "
    "[--paired]\n"
    "       karveno-study run FOLDER [--backend local|slurm] [--limit N] [--again] [--no-wait]\n"
    "                              [--partition P] [--time T] [--cpus N] [--mem M] [--job-name J]\n"
    "       karveno-study status FOLDER\n"
    "       karveno-study cancel FOLDER [POINT...]\n"
    "\n"
    "make    writes one project per point (FOLDER/001/project.txt, ...) from PROJECT.txt with the\n"
    "        settings changed, checks each with the design checker (a point that fails is listed\n"
    "        with the checker's line and never runs) and writes FOLDER/study.csv.\n"
    "        PATH names a setting: general/NAME, volum/VOLUM/NAME or material/MATERIAL/NAME.\n"
    "        VALUES is a list (1,2,5) or start:step:end; a choice takes the names of its\n"
    "        alternatives. Two settings give every combination, or with --paired pairs of values.\n"
    "run     runs the points that are ready (with --again also those that failed or were\n"
    "        cancelled, and those that a session which ended on this machine had queued but never\n"
    "        handed over) on the back-end of the run settings, or the one given, and follows them\n"
    "        to their end. Local runs keep to the limit (default: the number of cores); on Slurm\n"
    "        the study is one job array (--limit N adds %N). With --no-wait a Slurm study is\n"
    "        only submitted.\n"
    "status  refreshes the states from the output files and from Slurm, rewrites study.csv and\n"
    "        prints one line per point; points left queued by a session that ended are ready.\n"
    "cancel  cancels the given points (default: all) that are queued or running.\n"
    "\n"
    "Exit status: 0 success (run, status: every point that passed the checker has finished);\n"
    "1 some point did not finish (failed, cancelled, still running, or refused by the checker\n"
    "when made or run); 2 wrong usage or a file that cannot be read or written; 3 the back-end\n"
    "refused (a Slurm command failed).\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

int fail(const QString &text, int status = 2) {
    std::fprintf(stderr, "karveno-study: %s\n", qPrintable(text));
    return status;
}

void say(const QString &text) {
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

// Takes "--name VALUE" out of args; false when the option is there without a value.
bool takeOption(QStringList &args, const QString &name, QString *value) {
    const qsizetype at = args.indexOf(name);
    if (at < 0)
        return true;
    if (at + 1 >= args.size())
        return false;
    *value = args[at + 1];
    args.remove(at, 2);
    return true;
}

bool takeFlag(QStringList &args, const QString &name) {
    return args.removeAll(name) > 0;
}

QString pointLine(const StudyPoint &p) {
    QString line = QStringLiteral("%1  %2  %3")
                       .arg(p.number, 3, 10, QLatin1Char('0'))
                       .arg(p.values.join(QLatin1Char(' ')), p.state);
    if (p.state == Study::kNotRun)
        line += QStringLiteral("  ") + p.verdict;
    else if (p.state == QLatin1String("failed") && !p.message.isEmpty())
        line += QStringLiteral("  ") + p.message;
    else if (p.state == QLatin1String("running"))
        line += QStringLiteral("  %1 %  %2").arg(p.progress).arg(p.status);
    if (p.hasJob())
        line += QStringLiteral("  [%1]").arg(p.job);
    return line;
}

std::unique_ptr<RunBackend> backendFor(const RunSettings &settings) {
    if (settings.backend == RunSettings::Slurm)
        return std::make_unique<SlurmBackend>(settings);
    auto local = std::make_unique<LocalBackend>();
    if (settings.localLimit > 0)
        local->setLimit(settings.localLimit);
    return local;
}

// The back-end a study already started runs on: Slurm when a point has a Slurm job, else local.
std::unique_ptr<RunBackend> backendFor(const Study &study) {
    RunSettings settings = RunSettings::load();
    settings.backend = study.onSlurm() ? RunSettings::Slurm : RunSettings::Local;
    return backendFor(settings);
}

// Prints every problem the back-end reports and sets `refused` once there was one.
void reportProblems(RunBackend &backend, bool *refused) {
    QObject::connect(&backend, &RunBackend::problem, [refused](const QString &message) {
        *refused = true;
        std::fprintf(stderr, "karveno-study: %s\n", qPrintable(message));
    });
}

// Exit status of a study by its points' states.
int verdict(const Study &study) {
    return study.count({QStringLiteral("finished")}) == study.points().size() ? 0 : 1;
}

// Waits until `done` holds or the deadline passes, serving the event loop.
template <typename Done> void waitFor(Done done, int ms) {
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
}

// Follows what a previous session left running and looks once at every point.
void refresh(Study &study, RunBackend &backend) {
    study.follow(&backend);
    if (auto *slurm = qobject_cast<SlurmBackend *>(&backend)) {
        bool looked = false;
        QObject::connect(slurm, &SlurmBackend::looked, slurm, [&looked] { looked = true; });
        slurm->poll();
        waitFor([&] { return looked; }, 60000);
    } else {
        backend.poll();
    }
}

int make(QStringList args) {
    StudyDefinition definition;
    definition.paired = takeFlag(args, QStringLiteral("--paired"));
    QString set;
    while (args.contains(QStringLiteral("--set"))) {
        if (!takeOption(args, QStringLiteral("--set"), &set))
            return usage();
        const qsizetype eq = set.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return fail(QStringLiteral("--set wants PATH=VALUES, not %1").arg(set));
        StudySetting setting;
        setting.path = set.left(eq);
        QString error;
        if (!StudyDefinition::parseValues(set.mid(eq + 1), &setting.values, &error))
            return fail(setting.path + QStringLiteral(": ") + error);
        definition.settings << setting;
    }
    if (args.size() != 2 || definition.settings.isEmpty())
        return usage();
    QString error;
    if (!Study::make(args[0], args[1], definition, &error))
        return fail(error);
    Study study;
    if (!study.open(args[1], &error))
        return fail(error);
    for (const StudyPoint &p : study.points())
        say(pointLine(p));
    const int refused = study.count({Study::kNotRun});
    say(QStringLiteral("%1 points made in %2, %3 refused by the design checker")
            .arg(study.points().size())
            .arg(study.folder())
            .arg(refused));
    return refused == 0 ? 0 : 1;
}

int run(QStringList args) {
    RunSettings settings = RunSettings::load();
    QString backendName, limit, partition, time, cpus, memory, jobName;
    if (!takeOption(args, QStringLiteral("--backend"), &backendName) ||
        !takeOption(args, QStringLiteral("--limit"), &limit) ||
        !takeOption(args, QStringLiteral("--partition"), &partition) ||
        !takeOption(args, QStringLiteral("--time"), &time) ||
        !takeOption(args, QStringLiteral("--cpus"), &cpus) ||
        !takeOption(args, QStringLiteral("--mem"), &memory) ||
        !takeOption(args, QStringLiteral("--job-name"), &jobName))
        return usage();
    const bool again = takeFlag(args, QStringLiteral("--again"));
    const bool noWait = takeFlag(args, QStringLiteral("--no-wait"));
    if (args.size() != 1)
        return usage();
    if (backendName == QLatin1String("slurm"))
        settings.backend = RunSettings::Slurm;
    else if (backendName == QLatin1String("local"))
        settings.backend = RunSettings::Local;
    else if (!backendName.isEmpty())
        return fail(QStringLiteral("unknown back-end %1 (local or slurm)").arg(backendName));
    bool ok = true;
    if (!limit.isEmpty()) {
        const int n = limit.toInt(&ok);
        if (!ok || n < 0)
            return fail(QStringLiteral("--limit wants a whole number, not %1").arg(limit));
        settings.localLimit = n;
        settings.arrayLimit = n;
    }
    if (!cpus.isEmpty()) {
        settings.cpus = cpus.toInt(&ok);
        if (!ok || settings.cpus < 0)
            return fail(QStringLiteral("--cpus wants a whole number, not %1").arg(cpus));
    }
    if (!partition.isEmpty())
        settings.partition = partition;
    if (!time.isEmpty())
        settings.timeLimit = time;
    if (!memory.isEmpty())
        settings.memory = memory;
    if (!jobName.isEmpty())
        settings.jobName = jobName;

    Study study;
    QString error;
    if (!study.open(args[0], &error))
        return fail(error);
    auto backend = backendFor(settings);
    bool refused = false;
    reportProblems(*backend, &refused);
    QObject::connect(&study, &Study::saveFailed, [](const QString &message) { fail(message); });
    QObject::connect(&study, &Study::pointChanged, [&study](int index) {
        static QHash<int, QString> shown;
        const StudyPoint &p = study.points().at(index);
        if (shown.value(index) != p.state) {
            shown.insert(index, p.state);
            say(pointLine(p));
        }
    });
    // Points that a session which ended had queued, but never handed over, are run now.
    if (const int reclaimed = study.reclaimAbandoned())
        say(QStringLiteral("%1 points left queued by a session that ended are ready again")
                .arg(reclaimed));
    const int started = study.start(backend.get(), again);
    say(QStringLiteral("%1 points submitted to the %2 back-end").arg(started).arg(backend->name()));
    if (started == 0)
        return verdict(study);
    if (noWait && settings.backend == RunSettings::Slurm) {
        // Waits only for Slurm's answer to the submission.
        auto answered = [&study] {
            for (const StudyPoint &p : study.points())
                if (p.state == QLatin1String("queued") && !p.hasJob())
                    return false;
            return true;
        };
        waitFor(answered, 60000);
        return refused ? 3 : 0;
    }
    while (study.active())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 200);
    say(QStringLiteral("%1 of %2 points finished")
            .arg(study.count({QStringLiteral("finished")}))
            .arg(study.points().size()));
    return refused ? 3 : verdict(study);
}

int status(QStringList args) {
    if (args.size() != 1)
        return usage();
    Study study;
    QString error;
    if (!study.open(args[0], &error))
        return fail(error);
    auto backend = backendFor(study);
    bool refused = false;
    reportProblems(*backend, &refused);
    refresh(study, *backend);
    if (!study.save(&error))
        return fail(QStringLiteral("study.csv cannot be written: %1").arg(error));
    for (const StudyPoint &p : study.points())
        say(pointLine(p));
    return refused ? 3 : verdict(study);
}

int cancel(QStringList args) {
    if (args.isEmpty())
        return usage();
    Study study;
    QString error;
    if (!study.open(args.takeFirst(), &error))
        return fail(error);
    QList<int> indexes;
    for (const QString &word : args) {
        bool ok = false;
        const int number = word.toInt(&ok);
        qsizetype index = -1;
        for (qsizetype i = 0; ok && i < study.points().size(); ++i)
            if (study.points()[i].number == number)
                index = i;
        if (index < 0)
            return fail(QStringLiteral("the study has no point %1").arg(word));
        indexes << int(index);
    }
    if (indexes.isEmpty())
        for (int i = 0; i < study.points().size(); ++i)
            indexes << i;
    auto backend = backendFor(study);
    bool refused = false;
    reportProblems(*backend, &refused);
    refresh(study, *backend);
    for (int index : indexes)
        study.cancel(index);
    auto ended = [&] {
        for (int index : indexes) {
            const QString &state = study.points()[index].state;
            if (state == QLatin1String("queued") || state == QLatin1String("running"))
                return false;
        }
        return true;
    };
    waitFor([&] { return refused || ended(); }, 60000);
    for (int index : indexes)
        say(pointLine(study.points()[index]));
    return refused ? 3 : ended() ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[]) {
    // Each simulator line is a debug trace in the designer; here it would bury the report.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.contains(QStringLiteral("--version"))) {
        std::puts("karveno-study " KARVENO_VERSION);
        return 0;
    }
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    if (command == QLatin1String("make"))
        return make(args);
    if (command == QLatin1String("run"))
        return run(args);
    if (command == QLatin1String("status"))
        return status(args);
    if (command == QLatin1String("cancel"))
        return cancel(args);
    return usage();
}
