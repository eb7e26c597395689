#pragma once

#include <QMutex>
#include <QStringList>
#include <QtGlobal>

// Collects the debug channel's lines while alive, so tests can check what was reported.
class MessageLog {
public:
    MessageLog() {
        previous = qInstallMessageHandler(&MessageLog::handler);
        current() = this;
    }
    ~MessageLog() {
        qInstallMessageHandler(previous);
        current() = nullptr;
    }
    int count(const QString &text) const { return int(lines.count(text)); }

private:
    static MessageLog *&current() {
        static MessageLog *log = nullptr;
        return log;
    }
    static void handler(QtMsgType, const QMessageLogContext &, const QString &message) {
        if (current())
            current()->lines.append(message);
    }
    QtMessageHandler previous = nullptr;
    QStringList lines;
};
