#include "ui/recoveryfiles.h"

#include "io/projectfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

constexpr char kCopySuffix[] = ".txt";
constexpr char kProjectSuffix[] = ".project";

QString baseName(const QString &projectPath) {
    if (projectPath.isEmpty())
        return QStringLiteral("untitled");
    const QByteArray key = QFileInfo(projectPath).absoluteFilePath().toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex());
}

} // namespace

QString RecoveryFiles::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/recovery");
}

RecoveryFiles::RecoveryFiles(QString folder) : folder(std::move(folder)) {}

QString RecoveryFiles::copyPath(const QString &projectPath) const {
    return folder + QLatin1Char('/') + baseName(projectPath) + QLatin1String(kCopySuffix);
}

bool RecoveryFiles::write(const QString &projectPath, const ProjectDesign &design,
                          const MaterialsManager &registry, QString *error) const {
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Cannot make the folder %1.").arg(folder);
        return false;
    }
    const QString base = folder + QLatin1Char('/') + baseName(projectPath);
    QSaveFile name(base + QLatin1String(kProjectSuffix));
    const QByteArray project =
        projectPath.isEmpty() ? QByteArray() : QFileInfo(projectPath).absoluteFilePath().toUtf8();
    if (!name.open(QIODevice::WriteOnly) || name.write(project) < 0 || !name.commit()) {
        if (error)
            *error = name.errorString();
        return false;
    }
    return writeProjectFile(base + QLatin1String(kCopySuffix), design, registry, error);
}

void RecoveryFiles::remove(const QString &projectPath) const {
    const QString base = folder + QLatin1Char('/') + baseName(projectPath);
    QFile::remove(base + QLatin1String(kCopySuffix));
    QFile::remove(base + QLatin1String(kProjectSuffix));
}

QList<RecoveryFiles::Copy> RecoveryFiles::pending() const {
    QList<Copy> copies;
    const QFileInfoList files = QDir(folder).entryInfoList(
        {QStringLiteral("*") + QLatin1String(kCopySuffix)}, QDir::Files, QDir::Time);
    for (const QFileInfo &copy : files) {
        const QString base = copy.absolutePath() + QLatin1Char('/') + copy.completeBaseName();
        QFile name(base + QLatin1String(kProjectSuffix));
        if (!name.open(QIODevice::ReadOnly))
            continue; // not one of ours
        const QString projectPath = QString::fromUtf8(name.readAll());
        const QFileInfo project(projectPath);
        if (!projectPath.isEmpty() && project.exists() &&
            project.lastModified() >= copy.lastModified()) {
            QFile::remove(copy.absoluteFilePath());
            QFile::remove(name.fileName());
            continue;
        }
        copies.append({copy.absoluteFilePath(), projectPath});
    }
    return copies;
}
