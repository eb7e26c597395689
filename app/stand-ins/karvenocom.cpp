// Stand-in for the external simulator, so that the designer's "Simulate" command can be used and
// tested end to end. It does not simulate any physics.
//
// Usage: KARVENOCOM.exe PROJECT_FILE OUTPUT_FOLDER
// Reads the project, runs the design checker on it (a broken design ends with a line containing
// "ERROR" and exit status 1), then reports "[OK]" status lines and "SIMULATED TIME: n %" from 0 to
// 100 at a steady pace, keeps "STATUS.TXT" in the working directory up to date, writes a results
// file into the output folder and ends with "Simulation ended correctly".
// KARVENOCOM_STEP_MS sets the pause between progress lines (default 40 ms).

#include "resultsfile.h"

#include "check/handover.h"
#include "io/projectfile.h"
#include "model/materialsmanager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <QThread>

#include <cmath>
#include <cstdio>

namespace {

void say(const QString &line) {
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void writeStatus(const QString &text) {
    QSaveFile status(QStringLiteral("STATUS.TXT"));
    if (status.open(QIODevice::WriteOnly | QIODevice::Text)) {
        status.write(text.toLocal8Bit());
        status.commit();
    }
}

// A smooth synthetic transient per volum, so that the viewer has something recognisable to plot.
bool writeResults(const QString &path, const ProjectDesign &design, int steps) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "# Stand-in simulator results: synthetic relaxation curves, not a simulation\n";
    out << "# columns: step";
    for (const Volum &volum : design.volums)
        out << ' ' << volum.getName();
    out << '\n';
    for (int step = 0; step <= steps; ++step) {
        out << step;
        for (qsizetype v = 0; v < design.volums.size(); ++v) {
            const double tau = 10.0 + 7.0 * double(v);
            out << ' ' << (1.0 + 0.25 * double(v)) * (1.0 - std::exp(-double(step) / tau));
        }
        out << '\n';
    }
    out.flush();
    return file.commit();
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        say(QStringLiteral("ERROR usage: KARVENOCOM.exe PROJECT_FILE OUTPUT_FOLDER"));
        return 2;
    }
    const QString project = args[1];
    const QString outputFolder = args[2];
    bool stepOk = false;
    int stepMs = qEnvironmentVariableIntValue("KARVENOCOM_STEP_MS", &stepOk);
    if (!stepOk || stepMs < 0)
        stepMs = 40;

    say(QStringLiteral("[OK] Reading project %1").arg(project));
    ProjectDesign design;
    MaterialsManager &registry = *MaterialsManager::getInstance();
    const ProjectReadResult read = readProjectFile(project, design, registry);
    if (!read.opened) {
        say(QStringLiteral("ERROR cannot read %1: %2").arg(project, read.error));
        return 1;
    }
    if (read.missingMarkers > 0 || !read.volumsRead) {
        say(QStringLiteral("ERROR %1 is not a project file").arg(project));
        return 1;
    }

    say(QStringLiteral("[OK] Checking the design"));
    const CheckVerdict check = checkDesign(design, registry);
    const QString verdict = check.trimmed();
    if (!check.ok()) {
        say(QStringLiteral("ERROR ") + verdict);
        writeStatus(QStringLiteral("Design check failed: %1\n").arg(verdict));
        return 1;
    }
    if (!QDir(outputFolder).exists()) {
        say(QStringLiteral("ERROR output folder %1 does not exist").arg(outputFolder));
        return 1;
    }

    const QString results = QDir(outputFolder).absoluteFilePath(QLatin1String(kResultsFileName));
    const QString resultsLine = QLatin1String(kResultsStatusTag) + results + QLatin1Char('\n');
    say(QStringLiteral("[OK] Simulating %1 volums").arg(design.volums.size()));
    constexpr int kSteps = 100;
    for (int percent = 0; percent <= kSteps; ++percent) {
        say(QStringLiteral("SIMULATED TIME: %1 %").arg(percent));
        // A status line now and then, so that the monitor's status shows the progress too.
        if (percent % 10 == 0 && percent < kSteps)
            say(QStringLiteral("[OK] Simulated %1 % of the time").arg(percent));
        writeStatus(
            QStringLiteral("Project: %1\nSimulated time: %2 %\n").arg(project).arg(percent));
        if (percent < kSteps)
            QThread::msleep(static_cast<unsigned long>(stepMs));
    }
    if (!writeResults(results, design, kSteps)) {
        say(QStringLiteral("ERROR cannot write %1").arg(results));
        return 1;
    }
    say(QStringLiteral("[OK] Results written to %1").arg(results));
    writeStatus(QStringLiteral("Project: %1\nSimulated time: 100 %\nFinished.\n").arg(project) +
                resultsLine);
    say(QStringLiteral("Simulation ended correctly"));
    return 0;
}
