#include "run/runsettings.h"

#include <QSettings>

RunSettings RunSettings::load() {
    const QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Karveno"),
                      QStringLiteral("designer"));
    RunSettings r;
    r.backend = s.value("run/backend").toString() == QLatin1String("slurm") ? Slurm : Local;
    r.localLimit = qMax(0, s.value("run/localLimit", r.localLimit).toInt());
    r.jobName = s.value("slurm/jobName", r.jobName).toString();
    r.partition = s.value("slurm/partition", r.partition).toString();
    r.timeLimit = s.value("slurm/timeLimit", r.timeLimit).toString();
    r.cpus = qMax(0, s.value("slurm/cpus", r.cpus).toInt());
    r.memory = s.value("slurm/memory", r.memory).toString();
    r.arrayLimit = qMax(0, s.value("slurm/arrayLimit", r.arrayLimit).toInt());
    r.sbatch = s.value("slurm/sbatch", r.sbatch).toString();
    r.squeue = s.value("slurm/squeue", r.squeue).toString();
    r.scontrol = s.value("slurm/scontrol", r.scontrol).toString();
    r.scancel = s.value("slurm/scancel", r.scancel).toString();
    r.nodeSimulator = s.value("slurm/nodeSimulator", r.nodeSimulator).toString();
    r.pollMs = qBound(100, s.value("slurm/pollMs", r.pollMs).toInt(), 600000);
    return r;
}

void RunSettings::save() const {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Karveno"),
                QStringLiteral("designer"));
    s.setValue("run/backend", backend == Slurm ? "slurm" : "local");
    s.setValue("run/localLimit", localLimit);
    s.setValue("slurm/jobName", jobName);
    s.setValue("slurm/partition", partition);
    s.setValue("slurm/timeLimit", timeLimit);
    s.setValue("slurm/cpus", cpus);
    s.setValue("slurm/memory", memory);
    s.setValue("slurm/arrayLimit", arrayLimit);
    s.setValue("slurm/sbatch", sbatch);
    s.setValue("slurm/squeue", squeue);
    s.setValue("slurm/scontrol", scontrol);
    s.setValue("slurm/scancel", scancel);
    s.setValue("slurm/nodeSimulator", nodeSimulator);
    s.setValue("slurm/pollMs", pollMs);
}
