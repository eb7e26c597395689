#pragma once

#include <QFile>
#include <QStringList>
#include <QtGlobal>

// Collects the debug channel's lines while alive, so tests can check what was reported.
class MessageLog {
public:
    MessageLog() {
        lines().clear();
        previous = qInstallMessageHandler(&collect);
    }
    ~MessageLog() { qInstallMessageHandler(previous); }
    int count(const QString &text) const { return int(lines().count(text)); }

private:
    static QStringList &lines() {
        static QStringList collected;
        return collected;
    }
    static void collect(QtMsgType, const QMessageLogContext &, const QString &message) {
        lines().append(message);
    }
    QtMessageHandler previous = nullptr;
};

inline bool writeFile(const QString &path, const QByteArray &content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// The file's content, empty when it cannot be opened.
inline QByteArray readFile(const QString &path, QIODevice::OpenMode mode = QIODevice::ReadOnly) {
    QFile file(path);
    return file.open(mode) ? file.readAll() : QByteArray();
}
