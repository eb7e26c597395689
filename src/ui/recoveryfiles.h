#pragma once

#include <QList>
#include <QString>

class MaterialsManager;
struct ProjectDesign;

// The recovery copies of modified designs, one per project file (one for a project never
// saved), kept in a folder of the user's application data and never over the user's own file.
// A copy is a project file; beside it a small file names the project it belongs to.
class RecoveryFiles {
public:
    // The folder: "recovery" in QStandardPaths::AppDataLocation.
    static QString defaultFolder();
    explicit RecoveryFiles(QString folder = defaultFolder());

    // Where the copy of `projectPath` (empty: a project never saved) is kept.
    QString copyPath(const QString &projectPath) const;
    // Writes the copy; false, with `error` set, when it cannot be written.
    bool write(const QString &projectPath, const ProjectDesign &design,
               const MaterialsManager &registry, QString *error = nullptr) const;
    // Removes the copy of `projectPath`, if any.
    void remove(const QString &projectPath) const;

    struct Copy {
        QString copyPath;
        QString projectPath; // empty for a project never saved
    };
    // The copies worth offering: newer than their project file, or whose project file is gone
    // or was never saved. Older copies are removed.
    QList<Copy> pending() const;

private:
    QString folder;
};
