#pragma once
// Checks the design in the background after each change. The hand-over is built on the calling
// (GUI) thread from the design as it is then, so later edits cannot disturb a run; the checker
// runs on one worker thread, at most one run at a time; a change that arrives during a run
// starts one more run after it, and only the verdict of the newest design is reported.

#include "check/handover.h"

#include <QObject>
#include <QThread>
#include <QTimer>

#include <functional>
#include <memory>

class LiveCheck : public QObject {
    Q_OBJECT

public:
    // `design` gives the design to check as it is when a run starts; it is called on the thread
    // that owns this object, and what it points to must stay valid during that call only.
    explicit LiveCheck(std::function<CheckInput()> design, QObject *parent = nullptr);
    ~LiveCheck() override;

    bool isEnabled() const { return enabled_; }
    // Off: nothing is checked and a run under way is not reported. On: the design is checked.
    void setEnabled(bool on);
    // Quiet time after a change before its run starts, so that a burst of edits (a key held
    // down) costs one run (milliseconds).
    void setDelay(int ms) { delay_.setInterval(ms); }
    // True from a change until the verdict of the design as it is has been reported.
    bool isChecking() const { return changed_ || running_; }

public slots:
    // The design changed: check it again.
    void designChanged();

signals:
    // A change awaits its verdict.
    void checking();
    // The verdict of the design as it is now.
    void verdictReady(const CheckVerdict &verdict);

private:
    void start();
    void finished(const CheckVerdict &verdict);

    std::function<CheckInput()> design_;
    QThread thread_;
    std::unique_ptr<QObject> worker_; // lives in thread_; every run is posted to it
    QTimer delay_;
    bool enabled_ = true;
    bool changed_ = false; // a change has not been handed to a run yet
    bool running_ = false; // a run is under way on the worker
    bool pending_ = false; // the delay ran out during a run: start the next one when it ends
};
