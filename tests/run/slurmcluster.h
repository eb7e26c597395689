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

    // Starts the daemons and waits until the node is idle; false with the reason otherwise.
    bool start(QString *why);
    void stop();
    bool running() const { return started; }

private:
    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    bool started = false;
};
