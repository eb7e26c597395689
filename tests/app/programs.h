#pragma once
// Runs a built program to its end as a user would, and reads and writes the files around it.

#include <QFile>
#include <QProcess>

#include <functional>
#include <utility>

struct Finished {
    int exitCode = -1; // -1: it crashed or did not end in time
    QString out, err;  // with merged channels everything is in out
};

// How to start it: working folder, added environment, a step in the child before the program
// (a resource limit, say), merged channels, and how long to wait.
struct Launch {
    QString folder;
    QList<std::pair<QString, QString>> environment;
    std::function<void()> inChild;
    bool merged = false;
    int timeoutMs = 60000;

    Launch &in(const QString &f) { return folder = f, *this; }
    Launch &with(const QString &name, const QString &value) {
        return environment.append({name, value}), *this;
    }
    Launch &child(std::function<void()> f) { return inChild = std::move(f), *this; }
    Launch &mergeChannels() { return merged = true, *this; }
    Launch &waitMs(int ms) { return timeoutMs = ms, *this; }

    // Applies all but the waiting to a process not yet started.
    void prepare(QProcess &process) const {
        process.setWorkingDirectory(folder);
        if (!environment.isEmpty()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const auto &[name, value] : environment)
                env.insert(name, value);
            process.setProcessEnvironment(env);
        }
        if (inChild)
            process.setChildProcessModifier(inChild);
        if (merged)
            process.setProcessChannelMode(QProcess::MergedChannels);
    }
};

inline Finished runProgram(const QString &program, const QStringList &arguments,
                           const Launch &how = Launch()) {
    QProcess process;
    how.prepare(process);
    process.start(program, arguments);
    Finished result;
    if (process.waitForFinished(how.timeoutMs) && process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

inline QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
