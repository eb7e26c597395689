#ifndef STUDYMONITOR_H
#define STUDYMONITOR_H

// The monitor of a parameter study: not modal, so the designer stays usable. Lists the points
// with their values, state, progress and last status line; cancels one point or all; refreshes
// the states of a study opened again from the files and the batch system.

#include <QDialog>
#include <QPointer>

namespace Ui {
class StudyMonitor;
}
class RunBackend;
class Study;

class StudyMonitor : public QDialog {
    Q_OBJECT

public:
    // `backend` runs and follows the points; it is not owned.
    StudyMonitor(QWidget *parent, RunBackend *backend);
    ~StudyMonitor() override;

    // Opens the study in `folder` and follows its points that are still queued or running.
    bool open(const QString &folder, QString *error);
    // Runs every point that is ready.
    void startStudy();
    Study *study() const { return current; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showPoint(int index);
    void showSummary();
    void cancelSelected();
    void refresh();

    Ui::StudyMonitor *ui;
    QPointer<RunBackend> backend;
    Study *current = nullptr;
};

#endif
