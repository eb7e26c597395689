#pragma once

#include "io/categoryblock.h"

#include <QColor>
#include <QString>

class Material;
class MaterialsManager;
class TokenReader;

inline constexpr char kMaterialFolderPath[] = "data/materials";

// Empties the registry and appends one material per readable material file of the folder
// (regular files only, no symbolic links, in case-insensitive file-name order; a file is a
// material file when its first character is M). False when the folder does not exist: the
// registry is then left as it was.
bool loadMaterialFolder(const QString &folderPath, MaterialsManager &registry);

// The material of one file; nullptr when it cannot be opened or does not begin with M. The
// caller owns the result (hand it to a registry).
Material *readMaterialFile(const QString &filePath);

// Reads one material record after its leading M: name, index number, colour, the three vectors,
// the offsets and the categories. Material files read their reals in single precision and report
// foreign type codes; the project file reads doubles and skips them. Never null.
Material *readMaterialRecord(TokenReader &reader, bool singlePrecision, ForeignTypes foreign);

// The file written when a material is duplicated: "M", name, index, the three vectors, the
// offsets (without material names), the given colour, then the categories. Replaces any file of
// that name; false when it cannot be written.
bool writeDuplicateMaterialFile(const QString &path, const Material &material,
                                const QColor &colour);

// "materials/<name in lower case>.txt", where the duplicate of a material is written.
QString duplicateMaterialFilePath(const QString &materialName);
