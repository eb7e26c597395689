#pragma once

// What "Run settings..." chooses: the back-end and its options, kept with QSettings so that the
// designer and karveno-study share them.

#include <QString>

struct RunSettings {
    enum Backend { Local = 0, Slurm = 1 };
    Backend backend = Local;
    int localLimit = 0; // simultaneous local runs; 0: the number of processor cores

    // Slurm job options; an empty text or 0 leaves the site's default.
    QString jobName = QStringLiteral("karveno");
    QString partition;
    QString timeLimit;  // Slurm's forms: "minutes", "hours:minutes:seconds", "days-hours"
    int cpus = 0;       // CPUs per task
    QString memory;     // per node, as Slurm reads it ("4G", "500M")
    int arrayLimit = 0; // at most this many points of a study at once; 0: no limit

    // Slurm programs; a bare name is looked up on the PATH.
    QString sbatch = QStringLiteral("sbatch");
    QString squeue = QStringLiteral("squeue");
    QString scontrol = QStringLiteral("scontrol");
    QString scancel = QStringLiteral("scancel");
    // The simulator as the nodes start it; empty: the program the designer itself would start.
    QString nodeSimulator;
    int pollMs = 2000; // how often jobs are looked at

    static RunSettings load();
    void save() const;
};
