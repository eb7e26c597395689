#pragma once

// A private one-node Slurm for the tests: its own munged (own key and socket), slurmctld and
// slurmd on 127.0.0.1 with ports of their own, configured in a temporary folder. start() points
// SLURM_CONF at it; the daemons are stopped by their pid files when the object goes.

#include <QString>
#include <QTemporaryDir>

class SlurmCluster {
public:
    SlurmCluster() = default;
    ~SlurmCluster();
    SlurmCluster(const SlurmCluster &) = delete;
    SlurmCluster &operator=(const SlurmCluster &) = delete;

    // Starts the daemons and waits until the node is idle; otherwise false, with the reason
    // logged, kept in whyNot() and written to `why` when given.
    bool start(QString *why = nullptr);
    void stop();
    bool running() const { return started; }
    const QString &whyNot() const { return failure; }

private:
    bool fail(QString *why, const QString &reason);
    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    bool started = false;
    QString failure;
};

// Skips a case of the Slurm back-end when the test Slurm did not start.
#define SKIP_WITHOUT_SLURM(cluster, backend)                                                       \
    if ((backend) == QLatin1String("slurm") && !(cluster).whyNot().isEmpty())                      \
    QSKIP(qPrintable("no test Slurm: " + (cluster).whyNot()))
