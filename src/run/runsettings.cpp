#include "run/runsettings.h"

#include <QSettings>

#include <climits>

namespace {

QSettings openSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Karveno"),
                     QStringLiteral("designer"));
}

// The settings kept as text and as whole numbers, under their keys.
const struct {
    const char *key;
    QString RunSettings::*field;
} kTexts[] = {{"slurm/jobName", &RunSettings::jobName},
              {"slurm/partition", &RunSettings::partition},
              {"slurm/timeLimit", &RunSettings::timeLimit},
              {"slurm/memory", &RunSettings::memory},
              {"slurm/sbatch", &RunSettings::sbatch},
              {"slurm/squeue", &RunSettings::squeue},
              {"slurm/scontrol", &RunSettings::scontrol},
              {"slurm/scancel", &RunSettings::scancel},
              {"slurm/nodeSimulator", &RunSettings::nodeSimulator}};

const struct {
    const char *key;
    int RunSettings::*field;
    int least, most;
} kNumbers[] = {{"run/localLimit", &RunSettings::localLimit, 0, INT_MAX},
                {"slurm/cpus", &RunSettings::cpus, 0, INT_MAX},
                {"slurm/arrayLimit", &RunSettings::arrayLimit, 0, INT_MAX},
                {"slurm/pollMs", &RunSettings::pollMs, 100, 600000}};

} // namespace

RunSettings RunSettings::load() {
    const QSettings s = openSettings();
    RunSettings r;
    r.backend = s.value("run/backend").toString() == QLatin1String("slurm") ? Slurm : Local;
    for (const auto &t : kTexts)
        r.*t.field = s.value(t.key, r.*t.field).toString();
    for (const auto &n : kNumbers)
        r.*n.field = qBound(n.least, s.value(n.key, r.*n.field).toInt(), n.most);
    return r;
}

void RunSettings::save() const {
    QSettings s = openSettings();
    s.setValue("run/backend", backend == Slurm ? "slurm" : "local");
    for (const auto &t : kTexts)
        s.setValue(t.key, this->*t.field);
    for (const auto &n : kNumbers)
        s.setValue(n.key, this->*n.field);
}
