#include "io/materialfiles.h"

#include "io/tokenreader.h"
#include "model/categorywriter.h"
#include "model/material.h"
#include "model/materialsmanager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>

namespace {

int colourComponent(int value) {
    return std::clamp(value, 0, 255);
}

Coord readVector(TokenReader &reader, bool singlePrecision) {
    if (singlePrecision) {
        const double x = reader.readFloat();
        const double y = reader.readFloat();
        const double z = reader.readFloat();
        return Coord(x, y, z);
    }
    const double x = reader.readReal();
    const double y = reader.readReal();
    const double z = reader.readReal();
    return Coord(x, y, z);
}

void writeVector(QTextStream &out, const Coord &c) {
    out << c.getX() << ' ' << c.getY() << ' ' << c.getZ() << '\n';
}

} // namespace

Material *readMaterialRecord(TokenReader &reader, bool singlePrecision, ForeignTypes foreign) {
    const QString name = reader.readWord();
    const int index = reader.readInt();
    const int red = reader.readInt();
    const int green = reader.readInt();
    const int blue = reader.readInt();
    // Out-of-range components would make an invalid colour; clamp them instead.
    const QColor colour(colourComponent(red), colourComponent(green), colourComponent(blue));
    const Coord v1 = readVector(reader, singlePrecision);
    const Coord v2 = readVector(reader, singlePrecision);
    const Coord v3 = readVector(reader, singlePrecision);
    const int offsetCount = reader.readInt();
    QList<Coord> offsets;
    for (int n = 0; n < offsetCount && !reader.atEnd(); ++n) {
        const Coord at = readVector(reader, singlePrecision);
        offsets.append(Coord(at.getX(), at.getY(), at.getZ(), reader.readRestOfLine()));
    }
    auto *material = new Material(name, index, colour, v1, v2, v3, offsets);
    const int categoryCount = reader.readInt();
    material->setCategories(readCategoryBlocks(reader, categoryCount, foreign));
    return material;
}

Material *readMaterialFile(const QString &filePath) {
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return nullptr;
    QTextStream in(&file);
    TokenReader reader(in);
    if (reader.readChar() != QLatin1Char('M'))
        return nullptr;
    return readMaterialRecord(reader, true, ForeignTypes::Report);
}

bool loadMaterialFolder(const QString &folderPath, MaterialsManager &registry) {
    const QDir folder(folderPath);
    if (!folder.exists())
        return false;
    registry.clearMaterials();
    // Regular files only: no folders, no symbolic links and no devices or pipes, which could
    // block a read.
    const QFileInfoList files = folder.entryInfoList(
        QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &info : files) {
        if (Material *material = readMaterialFile(info.filePath()))
            registry.addMaterial(material);
    }
    return true;
}

bool writeDuplicateMaterialFile(const QString &path, const Material &material,
                                const QColor &colour) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    setDesignNumberFormat(out);
    out << "M\n";
    out << asWord(material.getName()) << '\n';
    out << material.getIndexName() << '\n';
    writeVector(out, material.getAtomVec1());
    writeVector(out, material.getAtomVec2());
    writeVector(out, material.getAtomVec3());
    out << material.getOffsets().size() << '\n';
    for (const Coord &offset : material.getOffsets())
        writeVector(out, offset);
    out << colour.red() << ' ' << colour.green() << ' ' << colour.blue() << '\n';
    material.writeMaterialProperties(out);
    out.flush();
    if (out.status() != QTextStream::Ok) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString duplicateMaterialFilePath(const QString &materialName) {
    return QStringLiteral("materials/") + materialName.toLower() + QStringLiteral(".txt");
}
