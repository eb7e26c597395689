#include "slurmcluster.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace {

// Runs a program to its end; its standard output, or empty with `ok` false.
QString runProgram(const QString &program, const QStringList &args, bool *ok,
                   int timeoutMs = 20000) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    *ok = process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit &&
          process.exitCode() == 0;
    return QString::fromLocal8Bit(process.readAll());
}

qint64 memoryMb() {
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly))
        return 1024;
    const QList<QByteArray> first = meminfo.readLine().simplified().split(' ');
    return qMax<qint64>(512, first.value(1).toLongLong() / 1024 - 512);
}

QString tail(const QString &file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray all = f.readAll();
    return QString::fromLocal8Bit(all.right(600));
}

pid_t pidIn(const QString &pidFile) {
    QFile f(pidFile);
    return f.open(QIODevice::ReadOnly) ? pid_t(f.readAll().trimmed().toLongLong()) : 0;
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

bool SlurmCluster::start(QString *why) {
    for (const char *program : {"munged", "slurmctld", "slurmd", "sinfo", "sbatch"}) {
        if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty() &&
            QStandardPaths::findExecutable(QLatin1String(program), {"/usr/sbin", "/sbin"})
                .isEmpty()) {
            *why = QStringLiteral("%1 is not installed (scripts/setup.sh installs Slurm)")
                       .arg(QLatin1String(program));
            return false;
        }
    }
    if (::geteuid() != 0) {
        *why = QStringLiteral("the test Slurm runs its daemons as root");
        return false;
    }
    if (!dir.isValid()) {
        *why = QStringLiteral("no temporary folder");
        return false;
    }
    QDir root(dir.path());
    for (const char *sub : {"munge", "spool", "state", "log", "run"})
        root.mkdir(QLatin1String(sub));
    // munged wants its socket's folders open to every user (but not writable by them).
    const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                      QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(dir.path(), open);
    QFile::setPermissions(path("munge"), open);

    QFile key(path("munge/munge.key"));
    QFile random(QStringLiteral("/dev/urandom"));
    if (!key.open(QIODevice::WriteOnly) || !random.open(QIODevice::ReadOnly) ||
        key.write(random.read(1024)) != 1024) {
        *why = QStringLiteral("cannot write the munge key");
        return false;
    }
    key.close();
    QFile::setPermissions(key.fileName(), QFile::ReadOwner);

    bool ok = false;
    const QString mungeOut =
        runProgram(QStringLiteral("munged"),
                   {"--key-file=" + path("munge/munge.key"), "--socket=" + path("munge/munge.sock"),
                    "--pid-file=" + path("munge/munged.pid"),
                    "--log-file=" + path("munge/munged.log"), "--seed-file=" + path("munge/seed")},
                   &ok);
    if (!ok) {
        *why = QStringLiteral("munged did not start: ") + mungeOut.trimmed();
        return false;
    }
    started = true; // from here on stop() has something to stop

    // Ports of their own, so that clusters of tests running side by side do not meet.
    const int port = 20000 + int(::getpid() % 10000) * 2;
    const QString host = QSysInfo::machineHostName().section(QLatin1Char('.'), 0, 0);
    QString conf =
        QStringLiteral("ClusterName=karvenotest\n"
                       "SlurmctldHost=%1(127.0.0.1)\n"
                       "SlurmctldPort=%2\n"
                       "SlurmdPort=%3\n"
                       "AuthType=auth/munge\n"
                       "AuthInfo=socket=%4\n"
                       "CryptoType=crypto/munge\n"
                       "SlurmUser=root\n"
                       "SlurmdUser=root\n"
                       "StateSaveLocation=%5\n"
                       "SlurmdSpoolDir=%6\n"
                       "SlurmctldPidFile=%7\n"
                       "SlurmdPidFile=%8\n"
                       "SlurmctldLogFile=%9\n"
                       "SlurmdLogFile=%10\n"
                       "ProctrackType=proctrack/linuxproc\n"
                       "TaskPlugin=task/none\n"
                       "SelectType=select/cons_tres\n"
                       "SelectTypeParameters=CR_Core\n"
                       "SchedulerType=sched/backfill\n"
                       "JobAcctGatherType=jobacct_gather/none\n"
                       "AccountingStorageType=accounting_storage/none\n"
                       "MpiDefault=none\n"
                       "ReturnToService=2\n"
                       "SchedulerParameters=sched_interval=1\n"
                       "NodeName=%1 NodeAddr=127.0.0.1 CPUs=%11 RealMemory=%12 State=UNKNOWN\n"
                       "PartitionName=debug Nodes=%1 Default=YES MaxTime=INFINITE State=UP\n");
    conf =
        conf.arg(host)
            .arg(port)
            .arg(port + 1)
            .arg(path("munge/munge.sock"), path("state"), path("spool"), path("run/slurmctld.pid"),
                 path("run/slurmd.pid"), path("log/slurmctld.log"), path("log/slurmd.log"))
            .arg(QThread::idealThreadCount())
            .arg(memoryMb());
    QFile confFile(path("slurm.conf"));
    if (!confFile.open(QIODevice::WriteOnly) || confFile.write(conf.toUtf8()) < 0) {
        *why = QStringLiteral("cannot write slurm.conf");
        return false;
    }
    confFile.close();
    qputenv("SLURM_CONF", path("slurm.conf").toLocal8Bit());

    const QString ctldOut = runProgram(QStringLiteral("slurmctld"), {}, &ok);
    if (!ok) {
        *why = QStringLiteral("slurmctld did not start: %1 %2")
                   .arg(ctldOut.trimmed(), tail(path("log/slurmctld.log")));
        return false;
    }
    const QString slurmdOut = runProgram(QStringLiteral("slurmd"), {}, &ok);
    if (!ok) {
        *why = QStringLiteral("slurmd did not start: %1 %2")
                   .arg(slurmdOut.trimmed(), tail(path("log/slurmd.log")));
        return false;
    }
    const QDeadlineTimer deadline(60000);
    QString state;
    while (!deadline.hasExpired()) {
        state = runProgram(QStringLiteral("sinfo"), {"-h", "-o", "%t"}, &ok, 5000).trimmed();
        if (ok && state == QLatin1String("idle")) {
            guardAgainstCrashes({pidIn(path("run/slurmd.pid")), pidIn(path("run/slurmctld.pid")),
                                 pidIn(path("munge/munged.pid"))});
            return true;
        }
        QThread::msleep(250);
    }
    *why = QStringLiteral("the node did not become idle (sinfo: %1); slurmd log: %2")
               .arg(state, tail(path("log/slurmd.log")));
    return false;
}

void SlurmCluster::stop() {
    if (!started)
        return;
    started = false;
    // Jobs a failed test left behind would outlive slurmd in their slurmstepd: end them first.
    bool ok = false;
    runProgram(QStringLiteral("scancel"), {"--quiet", "--user=root"}, &ok, 10000);
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired() &&
           !runProgram(QStringLiteral("squeue"), {"-h", "-o", "%i"}, &ok, 5000).trimmed().isEmpty())
        QThread::msleep(200);
    stopByPidFile(path("run/slurmd.pid"));
    stopByPidFile(path("run/slurmctld.pid"));
    stopByPidFile(path("munge/munged.pid"));
}
