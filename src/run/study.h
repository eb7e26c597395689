#pragma once

// A parameter study in its folder: one project per point ("001/project.txt"), each checked by the
// design checker before it may run, an output folder per point ("001/output/") and "study.csv",
// the table of points that is rewritten atomically whenever a point's state changes. A study is
// made once, then run, followed and cancelled, by the designer or by karveno-study, and can be
// opened again from its folder at any time.

#include "run/run.h"
#include "run/studydefinition.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class RunBackend;

struct StudyPoint {
    int number = 0;
    QStringList values;
    QString project;  // relative to the study folder
    QString verdict;  // the checker's line
    QString state;    // "ready", "not run" (the checker refused it) or a run state
    QString output;   // relative to the study folder, ending in "/"
    QString job;      // the back-end's job id once submitted; before that, the waiting mark of
                      // the session that queued the point
    int progress = 0; // per cent of simulated time, while followed
    QString status;   // the last status line, while followed
    QString message;  // why it failed, while followed

    // True once the back-end has given the point a job id.
    bool hasJob() const { return !job.isEmpty() && !job.startsWith(QLatin1String("waiting:")); }
};

class Study : public QObject {
    Q_OBJECT

public:
    static inline const QString kReady = QStringLiteral("ready");
    static inline const QString kNotRun = QStringLiteral("not run");
    static inline const QString kTableName = QStringLiteral("study.csv");

    explicit Study(QObject *parent = nullptr);
    ~Study() override;

    // Writes a study of `base` (a project file) into `folder`, which must not hold a study yet.
    static bool make(const QString &base, const QString &folder, const StudyDefinition &definition,
                     QString *error);

    // Reads the study in `folder` (its study.csv).
    bool open(const QString &folder, QString *error);
    // Rewrites study.csv atomically. Another session (karveno-study, a second designer) may
    // follow the same study: the points this one has not changed are taken, and kept, as the
    // file has them now.
    bool save(QString *error = nullptr);

    QString folder() const { return dir; }
    QStringList settingPaths() const { return paths; }
    const QList<StudyPoint> &points() const { return list; }
    QString absolute(const QString &relative) const;

    // Submits every point that is ready (with `again`, also those that failed or were cancelled)
    // to the back-end; returns how many. Local runs keep to the back-end's limit; on Slurm the
    // points go as one job array.
    int start(RunBackend *backend, bool again = false);
    // Follows the points that a previous session left queued or running with a job id (after
    // reclaiming the abandoned ones).
    int follow(RunBackend *backend);
    // Points queued by a session on this machine that ended before handing them to its back-end
    // (or by one that left no mark) become ready again; returns how many. Points waiting in a
    // live session, or in one on another machine, are left to it.
    int reclaimAbandoned();
    // True when a point has a Slurm job: the study runs on Slurm.
    bool onSlurm() const;
    // The job column of a point that this session has queued and not yet handed to its back-end.
    static QString waitingMark();
    void cancel(int index);
    void cancelAll();
    // True while any point is followed and has not ended.
    bool active() const;
    // Points whose state is one of `states`.
    int count(const QStringList &states) const;

signals:
    void pointChanged(int index);
    // Every followed point has ended.
    void ended();
    // study.csv could not be written.
    void saveFailed(const QString &message);

private:
    Run *attach(int index, RunBackend *backend);
    void update(int index);
    // Saves, and tells through saveFailed when study.csv cannot be written.
    void saveOrReport();

    QString dir;
    QStringList paths;
    QList<StudyPoint> list;
    QList<QPointer<Run>> runs; // one per point while followed
    QSet<int> touched;         // points whose row this session has changed
    QPointer<RunBackend> backend;
};
