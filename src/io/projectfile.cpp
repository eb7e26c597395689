#include "io/projectfile.h"

#include "io/categoryblock.h"
#include "io/designtext.h"
#include "io/materialfiles.h"
#include "io/tokenreader.h"
#include "model/categorywriter.h"
#include "model/condition.h"
#include "model/material.h"
#include "model/materialsmanager.h"

#include <QDebug>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

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

// Finds the materials that volums and atoms name. Atoms of a volum mostly name the same
// material, so the last answer is kept.
class MaterialLookUp {
public:
    explicit MaterialLookUp(const QList<Material *> *materials) : materials(*materials) {}

    Material *find(QStringView word) {
        if (haveLast && word == lastWord)
            return last;
        last = nullptr;
        if (word != QLatin1String(kNoMaterialWord)) {
            for (Material *material : materials) {
                if (material->getName() == word) {
                    last = material;
                    break;
                }
            }
        }
        lastWord = word.toString();
        haveLast = true;
        return last;
    }

private:
    const QList<Material *> &materials;
    QString lastWord;
    Material *last = nullptr;
    bool haveLast = false;
};

Volum readVolumRecord(TokenReader &reader, MaterialLookUp &materials) {
    const QString name = reader.readWord();
    reader.setRecord(QStringLiteral("volum %1").arg(name));
    reader.setField("meshes");
    const int xm = reader.readInt();
    const int ym = reader.readInt();
    const int zm = reader.readInt();
    Volum volum(name, xm, ym, zm);
    reader.setField("material");
    const QString materialName = reader.readWord();
    volum.setMaterial(materials.find(materialName));
    if (!volum.getMaterial() && materialName != QLatin1String(kNoMaterialWord))
        volum.setMissingMaterialName(materialName);
    reader.readInt(); // the material's index number; the name decides
    reader.setField("origin");
    const double ox = reader.readReal();
    const double oy = reader.readReal();
    const double oz = reader.readReal();
    reader.setField("sizes");
    const double sx = reader.readReal();
    const double sy = reader.readReal();
    const double sz = reader.readReal();
    volum.addCoords(Coord(ox, oy, oz), toFloat(sx), toFloat(sy), toFloat(sz));

    reader.setField("atoms");
    const int atomCount = reader.readInt();
    if (atomCount == -1) {
        volum.setWriteAtomsInfo(false);
    } else {
        volum.setWriteAtomsInfo(true);
        QList<Atom> atoms;
        int maxOffset = 0;
        for (int n = 0; reader.readsMore(n, atomCount, "atoms"); ++n) {
            const double x = reader.readReal();
            const double y = reader.readReal();
            const double z = reader.readReal();
            Material *material = materials.find(reader.readWordView());
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
    reader.setField("categories");
    const int categoryCount = reader.readInt();
    volum.setCategories(readCategoryBlocks(reader, categoryCount, ForeignTypes::Skip));
    return volum;
}

// A section marker must be the next non-blank character; says what stands there instead.
void reportMissingMarker(TokenReader &reader, QChar found, char marker) {
    if (found.isNull())
        reader.reportEnd(
            QStringLiteral("the file ends before the section marker %1").arg(QLatin1Char(marker)));
    else
        reader.report(QStringLiteral("\"%1\" stands where the section marker %2 belongs")
                          .arg(found)
                          .arg(QLatin1Char(marker)));
}

// The scale of one axis from the volum line; a value that cannot be a scale is reported.
AxisScale readScale(TokenReader &reader, const QString &field, int line) {
    bool ok = false;
    const double value = field.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0.0)
        reader.report(QStringLiteral("the scale \"%1\" cannot be used; 1 is taken").arg(field),
                      line);
    return normaliseScale(value);
}

// What a project file holds, read whole before any of it replaces the design: running out of
// memory half-way then leaves the design as it was.
struct ReadSections {
    int version = 0;
    bool general = false;
    QList<Category> categories;
    bool materials = false;
    std::vector<std::unique_ptr<Material>> ownedMaterials;
    QList<Material *> materialList;
    bool volums = false;
    QList<Volum> volumList;
    AxisScale x, y, z;
};

void readSections(TokenReader &reader, ReadSections &read, ProjectReadResult &result,
                  const MaterialsManager &registry) {
    reader.setField("version");
    read.version = reader.readInt();
    reader.readRestOfLine();
    reader.setField(nullptr);

    // Each section begins with its letter as the next non-blank character. A character that is
    // not the expected marker is kept for the following section, so a missing section does not
    // swallow the marker of the next one.
    QChar marker = reader.readNonBlankChar();
    bool reported = false; // a wrong character is reported once, not for every marker after it
    const auto missing = [&](char expected) {
        ++result.missingMarkers;
        if (!reported)
            reportMissingMarker(reader, marker, expected);
        reported = true;
    };
    if (marker == QLatin1Char('P')) {
        read.general = true;
        reader.setRecord(QStringLiteral("general properties"));
        reader.setField(nullptr);
        const int count = reader.readInt();
        read.categories = readCategoryBlocks(reader, count, ForeignTypes::Skip);
        marker = reader.readNonBlankChar();
        reported = false;
    } else {
        missing('P');
    }

    if (marker == QLatin1Char('M')) {
        read.materials = true;
        reader.setRecord(QStringLiteral("materials"));
        reader.setField(nullptr);
        const int count = reader.readInt();
        for (int n = 0; reader.readsMore(n, count, "materials"); ++n) {
            read.ownedMaterials.emplace_back(readMaterialRecord(reader, false, ForeignTypes::Skip));
            read.materialList.append(read.ownedMaterials.back().get());
        }
        marker = reader.readNonBlankChar();
        reported = false;
    } else {
        missing('M');
    }

    if (marker != QLatin1Char('V')) {
        missing('V');
        return;
    }
    read.volums = true;
    reader.setRecord(QString());
    reader.setField("volum line");
    const int line = reader.line();
    const QStringList fields = reader.readRestOfLine().split(QLatin1Char(' '));
    if (fields.size() < 2) {
        qDebug() << "Unexpected file format";
        reader.report(QStringLiteral("the volum line holds no scale and number of volums"), line);
        return;
    }
    if (fields.size() != 2 && fields.size() != 4)
        reader.report(QStringLiteral("the volum line has %1 fields where 2 or 4 belong; the first "
                                     "scale is taken for all axes")
                          .arg(fields.size()),
                      line);
    read.x = readScale(reader, fields.first(), line);
    if (fields.size() == 4) {
        read.y = readScale(reader, fields.at(1), line);
        read.z = readScale(reader, fields.at(2), line);
    } else {
        read.y = read.x;
        read.z = read.x;
    }
    bool countOk = false;
    const int volumCount = fields.last().toInt(&countOk);
    if (!countOk)
        reader.report(QStringLiteral("\"%1\" is not an integer").arg(fields.last()), line);
    MaterialLookUp materials(read.materials ? &read.materialList : registry.getMaterials());
    for (int n = 0; reader.readsMore(n, volumCount, "volums"); ++n) {
        reader.setRecord(QString());
        read.volumList.append(readVolumRecord(reader, materials));
    }
    reader.setRecord(QString());
    reader.setField(nullptr);
    if (volumCount >= 0 && read.volumList.size() == volumCount && !reader.atEnd())
        reader.report(QStringLiteral("text after the last volum"));
    result.volumsRead = true;
}

} // namespace

ProjectReadResult readProjectText(QString text, ProjectDesign &design, MaterialsManager &registry) {
    ProjectReadResult result;
    result.opened = true;
    TokenReader reader(std::move(text));
    ReadSections read;
    readSections(reader, read, result, registry);
    result.problems = reader.takeProblems();

    // Replace the design only now that everything is read.
    design.version = read.version;
    if (read.general)
        design.categories = std::move(read.categories);
    if (read.materials) {
        registry.clearMaterials();
        for (std::unique_ptr<Material> &material : read.ownedMaterials)
            registry.addMaterial(material.release());
    }
    if (read.volums) {
        design.volums = std::move(read.volumList);
        if (result.volumsRead) {
            design.x = read.x;
            design.y = read.y;
            design.z = read.z;
        }
    }
    return result;
}

ProjectReadResult readProject(QTextStream &in, ProjectDesign &design, MaterialsManager &registry) {
    return readProjectText(in.readAll(), design, registry);
}

ProjectReadResult readProjectFile(const QString &path, ProjectDesign &design,
                                  MaterialsManager &registry) {
    DesignText file;
    if (!readDesignText(path, file)) {
        ProjectReadResult result;
        result.error = file.error;
        result.outOfMemory = file.outOfMemory;
        return result;
    }
    const TextEncoding encoding = file.encoding;
    ProjectReadResult result = readProjectText(std::move(file.text), design, registry);
    design.encoding = encoding;
    return result;
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

namespace {

bool fitsLatin1(const QString &text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
}

bool categoriesFitLatin1(const QList<Category> &categories) {
    for (const Category &category : categories) {
        if (!fitsLatin1(category.getName()))
            return false;
        for (const Property &p : category.getProperties()) {
            if (!fitsLatin1(p.getName()) || !fitsLatin1(p.getHelp()))
                return false;
            for (const Condition &c : p.getConditions()) {
                if (!fitsLatin1(c.getName()))
                    return false;
                for (const Property &sub : c.getProperties()) {
                    if (!fitsLatin1(sub.getName()) || !fitsLatin1(sub.getHelp()))
                        return false;
                }
            }
        }
    }
    return true;
}

bool materialFitsLatin1(const Material *material) {
    if (!material)
        return true;
    if (!fitsLatin1(material->getName()) || !categoriesFitLatin1(material->getCategories()))
        return false;
    return std::all_of(material->getOffsets().cbegin(), material->getOffsets().cend(),
                       [](const Coord &c) { return fitsLatin1(c.getMaterialName()); });
}

// Whether every text of the design can be written in Latin-1; atoms name materials, which are
// looked at once each.
bool designFitsLatin1(const ProjectDesign &design, const MaterialsManager &registry) {
    if (!categoriesFitLatin1(design.categories))
        return false;
    for (const Material *material : *registry.getMaterials()) {
        if (!materialFitsLatin1(material))
            return false;
    }
    for (const Volum &volum : design.volums) {
        if (!fitsLatin1(volum.getName()) || !fitsLatin1(volum.getMissingMaterialName()) ||
            !materialFitsLatin1(volum.getMaterial()) || !categoriesFitLatin1(volum.getCategories()))
            return false;
        const Material *last = volum.getMaterial();
        for (const Atom &atom : volum.getAtoms()) {
            if (atom.getMaterial() != last && !materialFitsLatin1(last = atom.getMaterial()))
                return false;
        }
    }
    return true;
}

} // namespace

bool writeProjectFile(const QString &path, const ProjectDesign &design,
                      const MaterialsManager &registry, QString *error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // Written as it is made, in the encoding the project was read in; a Latin-1 project that
    // now holds a character Latin-1 cannot hold is written as UTF-8, so that nothing is lost.
    QTextStream out(&file);
    const bool latin1 =
        design.encoding == TextEncoding::Latin1 && designFitsLatin1(design, registry);
    out.setEncoding(latin1 ? QStringConverter::Latin1 : QStringConverter::Utf8);
    writeProject(out, design, registry);
    out.flush();
    if (out.status() != QTextStream::Ok) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
