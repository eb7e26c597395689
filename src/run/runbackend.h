#pragma once

// Where runs go: the one narrow interface that the local back-end and the Slurm back-end share.
// A back-end drives the runs it is given through their states; it never owns them.

#include <QList>
#include <QObject>
#include <QString>

class Run;

class RunBackend : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual QString name() const = 0;
    // Takes queued runs; several runs given at once belong together (a study) and may be sent
    // as one job. A run that cannot be submitted ends as failed with the reason.
    virtual void submit(const QList<Run *> &runs) = 0;
    // Follows a run submitted earlier (by another designer or karveno-study), known by its job
    // id; its state, progress and status come from what the back-end and the files still tell.
    virtual void adopt(Run *run) = 0;
    // Looks at the runs now instead of at the next regular look.
    virtual void poll() {}
    // Asks for the run to stop; the run reports "cancelled" once it has stopped.
    virtual void cancel(Run *run) = 0;
    // How many runs may run at once (0: no limit of the back-end's own).
    int limit() const { return maxRunning; }
    virtual void setLimit(int limit) { maxRunning = limit < 0 ? 0 : limit; }
    // Where several runs submitted together keep what they share (a job script); default: the
    // folder above the first run's output folder.
    void setBatchFolder(const QString &folder) { batchDir = folder; }
    // True while any run given to this back-end has not ended.
    virtual bool busy() const = 0;

signals:
    // A command of the back-end failed in a way the user must see (its own message).
    void problem(const QString &message);

protected:
    int maxRunning = 0;
    QString batchDir;
};
