#pragma once

// Runs the simulator as local processes, at most limit() at a time; the others wait in order.

#include "run/runbackend.h"

#include <QHash>
#include <QPointer>
#include <QQueue>
#include <QTimer>

class QProcess;

class LocalBackend : public RunBackend {
    Q_OBJECT

public:
    // The limit starts at the number of processor cores.
    explicit LocalBackend(QObject *parent = nullptr);
    ~LocalBackend() override;

    QString name() const override { return QStringLiteral("local"); }
    void submit(const QList<Run *> &runs) override;
    void adopt(Run *run) override;
    void poll() override;
    void cancel(Run *run) override;
    void setLimit(int limit) override;
    bool busy() const override;
    // Runs this back-end started or holds waiting that have not ended; runs adopted from another
    // session are not counted (they go on without this process).
    int ownRunCount() const;
    // Cancels every run counted by ownRunCount(): waiting ones leave the queue, running
    // simulators are killed and waited for, so that each of those runs has ended on return.
    void stopOwnRuns();

    // The simulator to start; empty (the default): "KARVENOCOM.exe" found as the designer finds
    // its programs, at the moment each run starts.
    void setProgram(const QString &program) { simulator = program; }

private:
    void startWaiting();
    void start(Run *run);

    // A run started by another process: followed through its pid and its log file.
    struct Adopted {
        QPointer<Run> run;
        qint64 pid = 0;
        qint64 offset = 0;
    };
    bool stillRunning(const Adopted &adopted) const;

    QString simulator;
    QList<Adopted> adopted;
    QTimer adoptedTimer;
    QQueue<QPointer<Run>> waiting;
    QHash<Run *, QProcess *> running;
};
