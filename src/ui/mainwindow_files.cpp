// What the main window says about files beyond opening and saving them: reading problems,
// memory that runs out, and the recovery copies of modified designs.

#include "ui/mainwindow.h"

#include "view/glwidget.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>

#include <new>

namespace {

// How often a modified design is copied for recovery, in milliseconds.
constexpr int kAutosaveInterval = 2 * 60 * 1000;

QString nativeName(const QString &path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

void MainWindow::startAutosave() {
    auto *timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("autosaveTimer"));
    timer->setInterval(kAutosaveInterval);
    connect(timer, &QTimer::timeout, this, &MainWindow::autosave);
    timer->start();
}

void MainWindow::autosave() {
    if (!project_modified)
        return;
    QString error;
    try {
        if (recovery.write(curFile, projectDesign(), *materialsManager, &error))
            return;
    } catch (const std::bad_alloc &) {
        error = tr("not enough memory");
    }
    statusBar()->showMessage(tr("No recovery copy written: %1").arg(error),
                             kRecoveryMessageTimeout);
}

void MainWindow::discardRecovery() {
    recovery.remove(curFile);
}

void MainWindow::offerRecovery() {
    for (const RecoveryFiles::Copy &copy : recovery.pending()) {
        const QString name = copy.projectPath.isEmpty() ? tr("New unsaved project")
                                                        : QFileInfo(copy.projectPath).fileName();
        if (QMessageBox::question(this, appname, tr("Recover unsaved changes of %1?").arg(name),
                                  QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::Yes) != QMessageBox::Yes) {
            recovery.remove(copy.projectPath);
            continue;
        }
        if (!loadFile(copy.copyPath))
            return;
        qglWidget->setSelectMode(true);
        startProject();
        // The copy stands for its project: a save goes to the project's file.
        setCurrentFile(copy.projectPath);
        project_modified = true;
        updateWindowTitle();
        emit projectLoaded(getMaxVolumsX(), getMaxVolumsY(), getMaxVolumsZ());
        return; // one design at a time; the other copies are offered at the next start
    }
}

void MainWindow::showReadingProblems(const QString &fileName, const ReadProblems &problems) {
    readProblemsFile = problems.isEmpty() ? QString() : QFileInfo(fileName).absoluteFilePath();
    readProblemsCount = int(problems.size());
    if (problems.isEmpty())
        return;
    QMessageBox box(QMessageBox::Warning, tr("Application"),
                    tr("%1 was read with %n problem(s). The design as read is kept and marked "
                       "modified; compare it with the file before saving over it.",
                       nullptr, int(problems.size()))
                        .arg(nativeName(fileName)),
                    QMessageBox::Ok, this);
    box.setInformativeText(problemList(problems));
    box.exec();
}

bool MainWindow::confirmSaveOverProblems(const QString &fileName) {
    if (readProblemsFile.isEmpty() || QFileInfo(fileName).absoluteFilePath() != readProblemsFile)
        return true;
    return QMessageBox::question(this, appname,
                                 tr("This file was read with %1 problems. Saving replaces it "
                                    "with the design as read. Save anyway?")
                                     .arg(readProblemsCount),
                                 QMessageBox::Save | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Save;
}

void MainWindow::showDataProblems() {
    if (dataProblems.isEmpty())
        return;
    QStringList lines;
    int count = 0;
    for (const FileProblems &file : std::as_const(dataProblems)) {
        for (const ReadProblem &problem : file.problems) {
            if (++count <= kListedProblems)
                lines << problemWithFile(nativeName(file.path), problem);
        }
    }
    if (count > kListedProblems)
        lines << tr("... and %1 more").arg(count - kListedProblems);
    QMessageBox box(QMessageBox::Warning, tr("Application"),
                    tr("Some catalogues or materials were read with problems. What was read is "
                       "used; the files are left as they are."),
                    QMessageBox::Ok, this);
    box.setInformativeText(lines.join(QLatin1Char('\n')));
    box.exec();
    dataProblems.clear();
}

void MainWindow::notEnoughMemory(const QString &what) {
    QMessageBox::warning(this, tr("Application"),
                         tr("Not enough memory to %1. The design is kept as it was.").arg(what),
                         QMessageBox::Ok);
}
