#include "run/programlookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace {
bool isRunnable(const QString &path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}
} // namespace

QString resolveProgram(const QString &name) {
    if (QDir::isAbsolutePath(name))
        return name;
    const QString local = QDir::current().absoluteFilePath(name);
    if (isRunnable(local))
        return local;
    const QString path = QProcessEnvironment::systemEnvironment().value(QStringLiteral("PATH"));
    for (const QString &folder : path.split(QDir::listSeparator(), Qt::SkipEmptyParts)) {
        const QString candidate = QDir(folder).absoluteFilePath(name);
        if (isRunnable(candidate))
            return candidate;
    }
    // Last, beside the running program, where the build and an installation put the stand-ins.
    if (QCoreApplication::instance()) {
        const QString beside = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(name);
        if (isRunnable(beside))
            return beside;
    }
    return name;
}
