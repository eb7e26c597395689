#include "check/livecheck.h"

#include <new>

LiveCheck::LiveCheck(std::function<CheckInput()> design, QObject *parent)
    : QObject(parent), design_(std::move(design)), worker_(std::make_unique<QObject>()) {
    thread_.setObjectName(QStringLiteral("design check"));
    worker_->moveToThread(&thread_);
    thread_.start();
    delay_.setSingleShot(true);
    delay_.setInterval(150);
    connect(&delay_, &QTimer::timeout, this, [this] {
        if (running_)
            pending_ = true;
        else
            start();
    });
}

LiveCheck::~LiveCheck() {
    delay_.stop();
    // A run under way ends first: the checker cannot be interrupted.
    thread_.quit();
    thread_.wait();
    worker_.reset();
}

void LiveCheck::setEnabled(bool on) {
    if (on == enabled_)
        return;
    enabled_ = on;
    if (on) {
        designChanged();
    } else {
        delay_.stop();
        changed_ = pending_ = false;
    }
}

void LiveCheck::designChanged() {
    if (!enabled_)
        return;
    changed_ = true;
    emit checking();
    delay_.start();
}

void LiveCheck::start() {
    changed_ = false;
    CheckInput input = design_();
    input.atomRecords = false; // the checker reads their number only
    CheckVerdict verdict;
    if (refusesDesign(input, verdict)) {
        emit verdictReady(verdict);
        return;
    }
    // The records are a copy: the worker never reads the design itself.
    std::shared_ptr<const HandOver> handOver;
    try {
        handOver = std::make_shared<const HandOver>(buildHandOver(input));
    } catch (const std::bad_alloc &) {
        emit verdictReady(outOfMemoryVerdict());
        return;
    }
    const int version = input.version;
    running_ = true;
    QMetaObject::invokeMethod(worker_.get(), [this, handOver, version] {
        const CheckVerdict verdict = runChecker(*handOver, version);
        QMetaObject::invokeMethod(
            this, [this, verdict] { finished(verdict); }, Qt::QueuedConnection);
    });
}

void LiveCheck::finished(const CheckVerdict &verdict) {
    running_ = false;
    if (pending_) {
        pending_ = false;
        start();
        return;
    }
    // A change after this run started makes its verdict stale; the delay starts the next run.
    if (enabled_ && !changed_)
        emit verdictReady(verdict);
}
