#include "model/volum.h"

#include "model/categorywriter.h"
#include "model/material.h"

#include <QTextStream>

Volum::Volum(const QString &name, int xmalles, int ymalles, int zmalles)
    : name(name), xmalles(xmalles), ymalles(ymalles), zmalles(zmalles) {}

Volum::Volum(const QString &name, int xmalles, int ymalles, int zmalles,
             const QList<Category> &categories)
    : categories(categories), name(name), xmalles(xmalles), ymalles(ymalles), zmalles(zmalles) {}

void Volum::addCoords(const Coord &origin, float xsize_, float ysize_, float zsize_) {
    xsize = xsize_;
    ysize = ysize_;
    zsize = zsize_;
    const double x = origin.getX();
    const double y = origin.getY();
    const double z = origin.getZ();
    const double x1 = x + double(xsize_);
    const double y1 = y + double(ysize_);
    const double z1 = z + double(zsize_);
    coords.clear();
    coords.reserve(8);
    coords.append(origin);
    coords.append(Coord(x1, y, z));
    coords.append(Coord(x1, y1, z));
    coords.append(Coord(x, y1, z));
    coords.append(Coord(x, y, z1));
    coords.append(Coord(x1, y, z1));
    coords.append(Coord(x1, y1, z1));
    coords.append(Coord(x, y1, z1));
}

void Volum::move(float dx, float dy, float dz) {
    addCoords(Coord(getMinX() + double(dx), getMinY() + double(dy), getMinZ() + double(dz)), xsize,
              ysize, zsize);
}

double Volum::getMinX() const {
    return coords.isEmpty() ? 0.0 : coords.first().getX();
}
double Volum::getMinY() const {
    return coords.isEmpty() ? 0.0 : coords.first().getY();
}
double Volum::getMinZ() const {
    return coords.isEmpty() ? 0.0 : coords.first().getZ();
}
double Volum::getMaxX() const {
    return getMinX() + double(xsize);
}
double Volum::getMaxY() const {
    return getMinY() + double(ysize);
}
double Volum::getMaxZ() const {
    return getMinZ() + double(zsize);
}
double Volum::getCenterX() const {
    return (getMinX() + getMaxX()) / 2.0;
}
double Volum::getCenterY() const {
    return (getMinY() + getMaxY()) / 2.0;
}
double Volum::getCenterZ() const {
    return (getMinZ() + getMaxZ()) / 2.0;
}

bool Volum::checkPointInside(float x, float y, float z) const {
    return getMinX() < x && x < getMaxX() && getMinY() < y && y < getMaxY() && getMinZ() < z &&
           z < getMaxZ();
}

void Volum::setAtomsInfo(const QList<Atom> &a) {
    atoms = a;
    atoms_calculated = true;
}

int Volum::getPropertiesCount() const {
    return flattenedCount(categories);
}

void Volum::setNMalles(int x, int y, int z) {
    xmalles = x;
    ymalles = y;
    zmalles = z;
}

void Volum::writeAtomsInfo(QTextStream &out, int volumNumber) const {
    setDesignNumberFormat(out);
    if (!wAI) {
        out << -1 << '\n';
        return;
    }
    out << atoms.size() << '\n';
    // Formatted here in pieces and handed to the stream whole: the atoms are most of a large
    // project file, and the stream's own number formatting would set its speed.
    constexpr qsizetype kPiece = 1 << 16;
    QString piece;
    piece.reserve(kPiece + 256);
    QString volumLine;
    appendDesignInteger(volumLine, volumNumber);
    volumLine += QLatin1Char('\n');
    const Material *lastMaterial = nullptr;
    QString materialLines = materialWord(nullptr) + QLatin1Char('\n');
    appendDesignInteger(materialLines, materialIndex(nullptr));
    materialLines += QLatin1Char('\n');
    for (const Atom &atom : atoms) {
        if (atom.getMaterial() != lastMaterial) {
            lastMaterial = atom.getMaterial();
            materialLines = materialWord(lastMaterial) + QLatin1Char('\n');
            appendDesignInteger(materialLines, atom.getMaterialIndex());
            materialLines += QLatin1Char('\n');
        }
        appendDesignReal(piece, atom.getX());
        piece += QLatin1Char(' ');
        appendDesignReal(piece, atom.getY());
        piece += QLatin1Char(' ');
        appendDesignReal(piece, atom.getZ());
        piece += QLatin1Char('\n');
        piece += materialLines;
        piece += volumLine;
        appendDesignInteger(piece, atom.offsetNumber());
        piece += QLatin1Char('\n');
        if (piece.size() >= kPiece) {
            out << piece;
            piece.clear();
        }
    }
    out << piece;
}

void Volum::writeVolumProperties(QTextStream &out) const {
    writeCategoryList(out, categories);
}

bool Volum::operator==(const Volum &other) const {
    return name == other.name && xmalles == other.xmalles && ymalles == other.ymalles &&
           zmalles == other.zmalles && xsize == other.xsize && ysize == other.ysize &&
           zsize == other.zsize && material == other.material &&
           getMissingMaterialName() == other.getMissingMaterialName() && wAI == other.wAI &&
           atoms_calculated == other.atoms_calculated && coords == other.coords &&
           categories == other.categories && atoms == other.atoms;
}
