#include "io/datalocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef KARVENO_DATA_FROM_BIN
#define KARVENO_DATA_FROM_BIN "../share/karveno/data"
#endif

namespace {

// The program's folder under the standard data folders, as installed (share/karveno), whatever
// application and organisation names the running program has.
const char kProgramFolder[] = "/karveno";
const char kCatalogueFile[] = "properties.txt";
const char kVolumCatalogueFile[] = "volum_properties.txt";

bool holdsCatalogues(const QString &folder) {
    const QDir dir(folder);
    return QFileInfo(dir.filePath(QLatin1String(kCatalogueFile))).isFile() &&
           QFileInfo(dir.filePath(QLatin1String(kVolumCatalogueFile))).isFile();
}

// The places in the order they are tried, each once.
QStringList candidateFolders() {
    QStringList places;
    const auto add = [&places](const QString &path) {
        if (path.isEmpty())
            return;
        const QString clean = QDir::cleanPath(QDir::current().absoluteFilePath(path));
        if (!places.contains(clean))
            places.append(clean);
    };
    add(QStringLiteral("data"));
    add(qEnvironmentVariable("KARVENO_DATA"));
    if (QCoreApplication::instance()) {
        add(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
            QLatin1String(KARVENO_DATA_FROM_BIN));
    }
    for (const QString &location :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        add(location + QLatin1String(kProgramFolder) + QStringLiteral("/data"));
    return places;
}

} // namespace

DataLocation DataLocation::find() {
    DataLocation location;
    for (const QString &place : candidateFolders()) {
        location.tried.append(place);
        if (holdsCatalogues(place)) {
            location.dataFolder = place;
            break;
        }
    }
    return location;
}

QString DataLocation::filePath(const QString &relative) const {
    if (dataFolder.isEmpty())
        return QStringLiteral("data/") + relative;
    return dataFolder + QLatin1Char('/') + relative;
}

QStringList DataLocation::materialFolders() const {
    QStringList folders{filePath(QStringLiteral("materials"))};
    const QString user = userMaterialFolder();
    if (!user.isEmpty() && QFileInfo(user).isDir() &&
        QFileInfo(user).canonicalFilePath() != QFileInfo(folders.first()).canonicalFilePath())
        folders.append(user);
    return folders;
}

QString DataLocation::writableMaterialFolder() const {
    if (found()) {
        const QString folder = filePath(QStringLiteral("materials"));
        const QFileInfo info(folder);
        const bool usable = info.isDir() ? info.isWritable()
                                         : QFileInfo(dataFolder).isWritable() &&
                                               QDir(dataFolder).mkpath(QStringLiteral("materials"));
        if (usable)
            return folder;
    }
    return userMaterialFolder();
}

QString DataLocation::userMaterialFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return base.isEmpty() ? QString()
                          : base + QLatin1String(kProgramFolder) + QStringLiteral("/materials");
}

QString DataLocation::placesTriedText() const {
    QString text = QCoreApplication::translate("DataLocation", "Looked for the catalogues in:");
    for (const QString &place : tried)
        text += QStringLiteral("\n  ") + QDir::toNativeSeparators(place);
    if (!qEnvironmentVariableIsSet("KARVENO_DATA")) {
        text +=
            QStringLiteral("\n") +
            QCoreApplication::translate("DataLocation", "Set KARVENO_DATA to the folder that holds "
                                                        "properties.txt to use another one.");
    }
    return text;
}
