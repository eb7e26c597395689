#include "io/materialfiles.h"

#include "io/designtext.h"
#include "io/tokenreader.h"
#include "model/categorywriter.h"
#include "model/material.h"
#include "model/materialsmanager.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <memory>
#include <vector>

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
    reader.setRecord(QStringLiteral("material %1").arg(name));
    reader.setField("index number and colour");
    const int index = reader.readInt();
    const int red = reader.readInt();
    const int green = reader.readInt();
    const int blue = reader.readInt();
    // Out-of-range components would make an invalid colour; clamp them instead.
    const QColor colour(colourComponent(red), colourComponent(green), colourComponent(blue));
    reader.setField("lattice vectors");
    const Coord v1 = readVector(reader, singlePrecision);
    const Coord v2 = readVector(reader, singlePrecision);
    const Coord v3 = readVector(reader, singlePrecision);
    reader.setField("offsets");
    const int offsetCount = reader.readInt();
    QList<Coord> offsets;
    for (int n = 0; reader.readsMore(n, offsetCount, "offsets"); ++n) {
        const Coord at = readVector(reader, singlePrecision);
        offsets.append(Coord(at.getX(), at.getY(), at.getZ(), reader.readRestOfLine()));
    }
    auto material = std::make_unique<Material>(name, index, colour, v1, v2, v3, offsets);
    reader.setField("categories");
    const int categoryCount = reader.readInt();
    material->setCategories(readCategoryBlocks(reader, categoryCount, foreign));
    reader.setField(nullptr);
    return material.release();
}

Material *readMaterialFile(const QString &filePath, ReadProblems *problems) {
    DesignText file;
    if (!readDesignText(filePath, file))
        return nullptr;
    TokenReader reader(std::move(file.text));
    if (reader.readChar() != QLatin1Char('M'))
        return nullptr;
    Material *material = readMaterialRecord(reader, true, ForeignTypes::Report);
    if (!reader.atEnd())
        reader.report(QStringLiteral("text after the material's last category"));
    if (problems)
        problems->append(reader.takeProblems());
    return material;
}

bool loadMaterialFolder(const QString &folderPath, MaterialsManager &registry,
                        QList<FileProblems> *problems) {
    return loadMaterialFolders({folderPath}, registry, problems);
}

bool loadMaterialFolders(const QStringList &folderPaths, MaterialsManager &registry,
                         QList<FileProblems> *problems) {
    QList<QDir> folders;
    for (const QString &path : folderPaths) {
        if (QDir(path).exists())
            folders.append(QDir(path));
    }
    if (folders.isEmpty())
        return false;
    // Read all before touching the registry, so that running out of memory half-way leaves it
    // as it was.
    std::vector<std::unique_ptr<Material>> materials;
    QList<FileProblems> found;
    for (const QDir &folder : std::as_const(folders)) {
        // Regular files only: no folders, no symbolic links and no devices or pipes, which
        // could block a read.
        const QFileInfoList files = folder.entryInfoList(
            QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo &info : files) {
            ReadProblems fileProblems;
            std::unique_ptr<Material> material(readMaterialFile(info.filePath(), &fileProblems));
            if (!fileProblems.isEmpty())
                found.append({info.filePath(), fileProblems});
            if (!material)
                continue;
            // Names find materials; a second one of a name could never be used.
            const auto sameName = [&](const std::unique_ptr<Material> &m) {
                return m->getName() == material->getName();
            };
            if (std::any_of(materials.begin(), materials.end(), sameName)) {
                qDebug() << "Material" << material->getName() << "of" << info.filePath()
                         << "is already loaded; file skipped";
                continue;
            }
            materials.push_back(std::move(material));
        }
    }
    registry.clearMaterials();
    for (std::unique_ptr<Material> &material : materials)
        registry.addMaterial(material.release());
    if (problems)
        problems->append(found);
    return true;
}

bool writeMaterialFile(const QString &path, const Material &material, QString *error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QTextStream out(&file);
    setDesignNumberFormat(out);
    const QColor colour = material.getColor();
    out << "M\n";
    out << asWord(material.getName()) << '\n';
    out << material.getIndexName() << '\n';
    out << colour.red() << ' ' << colour.green() << ' ' << colour.blue() << '\n';
    writeVector(out, material.getAtomVec1());
    writeVector(out, material.getAtomVec2());
    writeVector(out, material.getAtomVec3());
    out << material.getOffsets().size() << '\n';
    for (const Coord &offset : material.getOffsets()) {
        // The name is the rest of the line when read back: keep it on one line.
        QString name = offset.getMaterialName();
        name.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        out << offset.getX() << ' ' << offset.getY() << ' ' << offset.getZ() << ' ' << name << '\n';
    }
    material.writeMaterialProperties(out);
    out.flush();
    if (out.status() != QTextStream::Ok) {
        file.cancelWriting();
        if (error)
            *error = file.errorString();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

QString duplicateMaterialFilePath(const QString &folder, const QString &materialName) {
    const QDir dir(folder);
    const QString base = materialName.toLower();
    QString path = dir.filePath(base + QStringLiteral(".txt"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(base + QStringLiteral("-%1.txt").arg(n));
    return path;
}
