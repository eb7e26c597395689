#pragma once

#include "io/categoryblock.h"
#include "io/readproblem.h"

#include <QColor>
#include <QString>
#include <QStringList>

class Material;
class MaterialsManager;
class TokenReader;

inline constexpr char kMaterialFolderPath[] = "data/materials";

// The reading problems of one file.
struct FileProblems {
    QString path;
    ReadProblems problems;
};

// Empties the registry and appends one material per readable material file of the folder
// (regular files only, no symbolic links, in case-insensitive file-name order; a file is a
// material file when its first character is M). False when the folder does not exist: the
// registry is then left as it was. The files' reading problems, when asked for, are appended to
// `problems`.
bool loadMaterialFolder(const QString &folderPath, MaterialsManager &registry,
                        QList<FileProblems> *problems = nullptr);
// The same over several folders, read one after the other into the emptied registry; a material
// whose name an earlier file already gave is left out. False, with the registry left as it was,
// when none of the folders exists.
bool loadMaterialFolders(const QStringList &folderPaths, MaterialsManager &registry,
                         QList<FileProblems> *problems = nullptr);

// The material of one file; nullptr when it cannot be opened or does not begin with M. The
// caller owns the result (hand it to a registry). Reading problems, when asked for, are appended
// to `problems`.
Material *readMaterialFile(const QString &filePath, ReadProblems *problems = nullptr);

// Reads one material record after its leading M: name, index number, colour, the three vectors,
// the offsets and the categories. Material files read their reals in single precision and report
// foreign type codes; the project file reads doubles and skips them. Never null.
Material *readMaterialRecord(TokenReader &reader, bool singlePrecision, ForeignTypes foreign);

// Writes a material file in the layout the loader reads (so a duplicated material is there again
// at the next start): "M", name, index number, colour, the three vectors, the offsets with their
// material names, then the categories. Written atomically; false, with the system's reason in
// `error` when given, when it cannot be written.
bool writeMaterialFile(const QString &path, const Material &material, QString *error = nullptr);

// "<folder>/<name in lower case>.txt" for the duplicate of a material, or, when a file of that
// name exists already (another material's, shipped or duplicated before), the first free
// "<name>-2.txt", "<name>-3.txt", ...: writing a duplicate never replaces another material.
QString duplicateMaterialFilePath(const QString &folder, const QString &materialName);
