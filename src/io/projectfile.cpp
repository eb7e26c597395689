#include "io/projectfile.h"

#include "io/categoryblock.h"
#include "io/materialfiles.h"
#include "io/tokenreader.h"
#include "model/categorywriter.h"
#include "model/material.h"
#include "model/materialsmanager.h"

#include <QDebug>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <limits>

double AxisScale::value() const {
    return mesure * std::pow(10.0, unit);
}

AxisScale normaliseScale(double value) {
    AxisScale scale;
    if (!std::isfinite(value) || value <= 0.0) {
        scale.mesure = 1.0;
        scale.unit = 0;
        return scale;
    }
    scale.mesure = value;
    scale.unit = 0;
    // Terminates for every positive finite value: even the smallest denormal reaches 1 within
    // about 330 steps.
    while (scale.mesure < 1.0) {
        scale.mesure *= 10.0;
        scale.unit -= 1;
    }
    return scale;
}

namespace {

// Sizes are held as floats; a value beyond their range becomes the largest float rather than an
// undefined conversion.
float toFloat(double value) {
    constexpr double largest = double(std::numeric_limits<float>::max());
    if (std::isnan(value))
        return std::numeric_limits<float>::quiet_NaN();
    return float(std::clamp(value, -largest, largest));
}

Material *lookUpMaterial(const MaterialsManager &registry, const QString &word) {
    if (word == QLatin1String(kNoMaterialWord))
        return nullptr;
    return registry.getMaterial(word);
}

Volum readVolumRecord(TokenReader &reader, const MaterialsManager &registry) {
    const QString name = reader.readWord();
    const int xm = reader.readInt();
    const int ym = reader.readInt();
    const int zm = reader.readInt();
    Volum volum(name, xm, ym, zm);
    const QString materialName = reader.readWord();
    volum.setMaterial(lookUpMaterial(registry, materialName));
    if (!volum.getMaterial() && materialName != QLatin1String(kNoMaterialWord))
        volum.setMissingMaterialName(materialName);
    reader.readInt(); // the material's index number; the name decides
    const double ox = reader.readReal();
    const double oy = reader.readReal();
    const double oz = reader.readReal();
    const double sx = reader.readReal();
    const double sy = reader.readReal();
    const double sz = reader.readReal();
    volum.addCoords(Coord(ox, oy, oz), toFloat(sx), toFloat(sy), toFloat(sz));

    const int atomCount = reader.readInt();
    if (atomCount == -1) {
        volum.setWriteAtomsInfo(false);
    } else {
        volum.setWriteAtomsInfo(true);
        QList<Atom> atoms;
        int maxOffset = 0;
        for (int n = 0; n < atomCount && !reader.atEnd(); ++n) {
            const double x = reader.readReal();
            const double y = reader.readReal();
            const double z = reader.readReal();
            Material *material = lookUpMaterial(registry, reader.readWord());
            reader.readInt(); // material index number
            reader.readInt(); // volum position
            const int noffset = reader.readInt();
            Atom atom(x, y, z, material, noffset != 0);
            atom.setNOffset(noffset);
            maxOffset = std::max(maxOffset, noffset);
            atoms.append(atom);
        }
        for (Atom &atom : atoms)
            atom.setMaxOffset(maxOffset);
        volum.setAtomsInfo(atoms);
    }
    const int categoryCount = reader.readInt();
    volum.setCategories(readCategoryBlocks(reader, categoryCount, ForeignTypes::Skip));
    return volum;
}

} // namespace

ProjectReadResult readProject(QTextStream &in, ProjectDesign &design, MaterialsManager &registry) {
    ProjectReadResult result;
    result.opened = true;
    TokenReader reader(in);

    design.version = reader.readInt();
    reader.readRestOfLine();

    // Each section begins with its letter as the next non-blank character. A character that is
    // not the expected marker is kept for the following section, so a missing section does not
    // swallow the marker of the next one.
    QChar marker = reader.readNonBlankChar();
    if (marker == QLatin1Char('P')) {
        design.categories.clear();
        const int count = reader.readInt();
        design.categories = readCategoryBlocks(reader, count, ForeignTypes::Skip);
        marker = reader.readNonBlankChar();
    } else {
        ++result.missingMarkers;
    }

    if (marker == QLatin1Char('M')) {
        registry.clearMaterials();
        const int count = reader.readInt();
        for (int n = 0; n < count && !reader.atEnd(); ++n)
            registry.addMaterial(readMaterialRecord(reader, false, ForeignTypes::Skip));
        marker = reader.readNonBlankChar();
    } else {
        ++result.missingMarkers;
    }

    if (marker != QLatin1Char('V')) {
        ++result.missingMarkers;
        return result;
    }
    design.volums.clear();
    const QStringList fields = reader.readRestOfLine().split(QLatin1Char(' '));
    if (fields.size() < 2) {
        qDebug() << "Unexpected file format";
        return result;
    }
    design.x = normaliseScale(fields.first().toDouble());
    if (fields.size() == 4) {
        design.y = normaliseScale(fields.at(1).toDouble());
        design.z = normaliseScale(fields.at(2).toDouble());
    } else {
        design.y = design.x;
        design.z = design.x;
    }
    const int volumCount = fields.last().toInt();
    for (int n = 0; n < volumCount && !reader.atEnd(); ++n)
        design.volums.append(readVolumRecord(reader, registry));
    result.volumsRead = true;
    return result;
}

ProjectReadResult readProjectFile(const QString &path, ProjectDesign &design,
                                  MaterialsManager &registry) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ProjectReadResult result;
        result.error = file.errorString();
        return result;
    }
    QTextStream in(&file);
    return readProject(in, design, registry);
}

void writeProject(QTextStream &out, const ProjectDesign &design, const MaterialsManager &registry) {
    setDesignNumberFormat(out);
    out << design.version << '\n';

    out << "P " << design.categories.size() << '\n';
    writeCategoryBlocks(out, design.categories);

    const QList<Material *> &materials = *registry.getMaterials();
    out << "M " << materials.size() << '\n';
    for (const Material *material : materials) {
        out << asWord(material->getName()) << '\n';
        out << material->getIndexName() << '\n';
        const QColor colour = material->getColor();
        out << colour.red() << ' ' << colour.green() << ' ' << colour.blue() << '\n';
        for (const Coord &v :
             {material->getAtomVec1(), material->getAtomVec2(), material->getAtomVec3()})
            out << v.getX() << ' ' << v.getY() << ' ' << v.getZ() << '\n';
        out << material->getOffsets().size() << '\n';
        for (const Coord &offset : material->getOffsets()) {
            // The name is the rest of the line when read back: keep it on one line.
            QString name = offset.getMaterialName();
            name.replace(QLatin1Char('\r'), QLatin1Char(' '))
                .replace(QLatin1Char('\n'), QLatin1Char(' '));
            out << offset.getX() << ' ' << offset.getY() << ' ' << offset.getZ() << ' ' << name
                << '\n';
        }
        material->writeMaterialProperties(out);
    }

    qDebug().nospace() << "Writting scale to project file: " << design.x.mesure << ' '
                       << design.x.unit << ' ' << design.y.mesure << ' ' << design.y.unit << ' '
                       << design.z.mesure << ' ' << design.z.unit;
    out << "V " << design.x.value() << ' ' << design.y.value() << ' ' << design.z.value() << ' '
        << design.volums.size() << '\n';
    for (int n = 0; n < design.volums.size(); ++n) {
        const Volum &volum = design.volums.at(n);
        out << asWord(volum.getName()) << '\n';
        out << volum.getxMalles() << ' ' << volum.getyMalles() << ' ' << volum.getzMalles() << '\n';
        // A material missing from the registry keeps its name, with the index of no material.
        const QString missing = volum.getMissingMaterialName();
        out << (missing.isEmpty() ? materialWord(volum.getMaterial()) : asWord(missing)) << '\n';
        out << materialIndex(volum.getMaterial()) << '\n';
        out << volum.getMinX() << ' ' << volum.getMinY() << ' ' << volum.getMinZ() << '\n';
        out << volum.getxSize() << ' ' << volum.getySize() << ' ' << volum.getzSize() << '\n';
        volum.writeAtomsInfo(out, n);
        volum.writeVolumProperties(out);
    }
}

bool writeProjectFile(const QString &path, const ProjectDesign &design,
                      const MaterialsManager &registry, QString *error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QTextStream out(&file);
    writeProject(out, design, registry);
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
