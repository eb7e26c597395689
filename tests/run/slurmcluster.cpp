#include "slurmcluster.h"

#include "../app/programs.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace {

// Runs a program to its end; whether it ended with status 0, and its output, errors included.
bool runs(const QString &program, const QStringList &args, QString *out = nullptr,
          int timeoutMs = 20000) {
    const Finished f = runProgram(program, args, Launch().mergeChannels().waitMs(timeoutMs));
    if (out)
        *out = f.out.trimmed();
    return f.exitCode == 0;
}

qint64 memoryMb() {
    const QList<QByteArray> first =
        readFile("/proc/meminfo").split('\n')[0].simplified().split(' ');
    return qMax<qint64>(512, first.value(1).toLongLong() / 1024 - 512);
}

QString tail(const QString &file) {
    return QString::fromLocal8Bit(readFile(file).right(600));
}

pid_t pidIn(const QString &pidFile) {
    return pid_t(readFile(pidFile).trimmed().toLongLong());
}

// A test that crashes never reaches the destructor: its daemons would live on. They are stopped
// from the crash itself (kill() is safe in a signal handler), then the crash goes on as before.
pid_t daemonPids[3] = {0, 0, 0};
struct sigaction previousActions[3];
constexpr int kCrashSignals[3] = {SIGSEGV, SIGABRT, SIGBUS};

void stopDaemonsOnCrash(int signal) {
    for (const pid_t pid : daemonPids)
        if (pid > 1)
            ::kill(pid, SIGTERM);
    for (int i = 0; i < 3; ++i)
        if (kCrashSignals[i] == signal)
            ::sigaction(signal, &previousActions[i], nullptr);
    ::raise(signal);
}

void guardAgainstCrashes(const QList<pid_t> &pids) {
    for (int i = 0; i < 3; ++i)
        daemonPids[i] = pids.value(i);
    struct sigaction action = {};
    action.sa_handler = stopDaemonsOnCrash;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 3; ++i)
        ::sigaction(kCrashSignals[i], &action, &previousActions[i]);
}

void stopByPidFile(const QString &pidFile) {
    const pid_t pid = pidIn(pidFile);
    if (pid <= 1)
        return;
    ::kill(pid, SIGTERM);
    const QDeadlineTimer deadline(10000);
    while (::kill(pid, 0) == 0 && !deadline.hasExpired())
        QThread::msleep(50);
    if (::kill(pid, 0) == 0)
        ::kill(pid, SIGKILL);
}

} // namespace

SlurmCluster::~SlurmCluster() {
    stop();
}

bool SlurmCluster::fail(QString *why, const QString &reason) {
    failure = reason;
    if (why)
        *why = reason;
    else
        qInfo().noquote() << "Slurm cases are skipped:" << reason;
    return false;
}

bool SlurmCluster::start(QString *why) {
    for (const char *program : {"munged", "slurmctld", "slurmd", "sinfo", "sbatch"}) {
        if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty() &&
            QStandardPaths::findExecutable(QLatin1String(program), {"/usr/sbin", "/sbin"})
                .isEmpty())
            return fail(why, QStringLiteral("%1 is not installed (scripts/setup.sh installs Slurm)")
                                 .arg(QLatin1String(program)));
    }
    if (::geteuid() != 0)
        return fail(why, QStringLiteral("the test Slurm runs its daemons as root"));
    if (!dir.isValid())
        return fail(why, QStringLiteral("no temporary folder"));
    QDir root(dir.path());
    for (const char *sub : {"munge", "spool", "state", "log", "run"})
        root.mkdir(QLatin1String(sub));
    // munged wants its socket's folders open to every user (but not writable by them).
    const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                      QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(dir.path(), open);
    QFile::setPermissions(path("munge"), open);

    QFile random(QStringLiteral("/dev/urandom"));
    if (!random.open(QIODevice::ReadOnly) || !writeFile(path("munge/munge.key"), random.read(1024)))
        return fail(why, QStringLiteral("cannot write the munge key"));
    QFile::setPermissions(path("munge/munge.key"), QFile::ReadOwner);

    QString out;
    if (!runs(QStringLiteral("munged"),
              {"--key-file=" + path("munge/munge.key"), "--socket=" + path("munge/munge.sock"),
               "--pid-file=" + path("munge/munged.pid"), "--log-file=" + path("munge/munged.log"),
               "--seed-file=" + path("munge/seed")},
              &out))
        return fail(why, QStringLiteral("munged did not start: ") + out);
    started = true; // from here on stop() has something to stop

    // Ports of their own, so that clusters of tests running side by side do not meet.
    const int port = 20000 + int(::getpid() % 10000) * 2;
    const QString host = QSysInfo::machineHostName().section(QLatin1Char('.'), 0, 0);
    const QString conf =
        QStringLiteral("ClusterName=karvenotest\nSlurmctldHost=%1(127.0.0.1)\n"
                       "SlurmctldPort=%2\nSlurmdPort=%3\n"
                       "AuthType=auth/munge\nAuthInfo=socket=%4\nCryptoType=crypto/munge\n"
                       "SlurmUser=root\nSlurmdUser=root\n"
                       "StateSaveLocation=%5\nSlurmdSpoolDir=%6\n"
                       "SlurmctldPidFile=%7\nSlurmdPidFile=%8\n"
                       "SlurmctldLogFile=%9\nSlurmdLogFile=%10\n"
                       "ProctrackType=proctrack/linuxproc\nTaskPlugin=task/none\n"
                       "SelectType=select/cons_tres\nSelectTypeParameters=CR_Core\n"
                       "SchedulerType=sched/backfill\nSchedulerParameters=sched_interval=1\n"
                       "JobAcctGatherType=jobacct_gather/none\n"
                       "AccountingStorageType=accounting_storage/none\n"
                       "MpiDefault=none\nReturnToService=2\n"
                       "NodeName=%1 NodeAddr=127.0.0.1 CPUs=%11 RealMemory=%12 State=UNKNOWN\n"
                       "PartitionName=debug Nodes=%1 Default=YES MaxTime=INFINITE State=UP\n")
            .arg(host)
            .arg(port)
            .arg(port + 1)
            .arg(path("munge/munge.sock"), path("state"), path("spool"), path("run/slurmctld.pid"),
                 path("run/slurmd.pid"), path("log/slurmctld.log"), path("log/slurmd.log"))
            .arg(QThread::idealThreadCount())
            .arg(memoryMb());
    if (!writeFile(path("slurm.conf"), conf.toUtf8()))
        return fail(why, QStringLiteral("cannot write slurm.conf"));
    qputenv("SLURM_CONF", path("slurm.conf").toLocal8Bit());

    for (const char *daemon : {"slurmctld", "slurmd"}) {
        const QString name = QLatin1String(daemon);
        if (!runs(name, {}, &out))
            return fail(why, QStringLiteral("%1 did not start: %2 %3")
                                 .arg(name, out, tail(path("log/" + name + ".log"))));
    }
    const QDeadlineTimer deadline(60000);
    QString state;
    while (!deadline.hasExpired()) {
        if (runs(QStringLiteral("sinfo"), {"-h", "-o", "%t"}, &state, 5000) &&
            state == QLatin1String("idle")) {
            guardAgainstCrashes({pidIn(path("run/slurmd.pid")), pidIn(path("run/slurmctld.pid")),
                                 pidIn(path("munge/munged.pid"))});
            return true;
        }
        QThread::msleep(250);
    }
    return fail(why, QStringLiteral("the node did not become idle (sinfo: %1); slurmd log: %2")
                         .arg(state, tail(path("log/slurmd.log"))));
}

void SlurmCluster::stop() {
    if (!started)
        return;
    started = false;
    // Jobs a failed test left behind would outlive slurmd in their slurmstepd: end them first.
    runs(QStringLiteral("scancel"), {"--quiet", "--user=root"}, nullptr, 10000);
    const QDeadlineTimer deadline(15000);
    QString queued;
    while (!deadline.hasExpired() &&
           (runs(QStringLiteral("squeue"), {"-h", "-o", "%i"}, &queued, 5000), !queued.isEmpty()))
        QThread::msleep(200);
    stopByPidFile(path("run/slurmd.pid"));
    stopByPidFile(path("run/slurmctld.pid"));
    stopByPidFile(path("munge/munged.pid"));
}
