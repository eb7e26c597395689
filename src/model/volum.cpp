#include "model/volum.h"

#include "model/categorywriter.h"
#include "model/material.h"

#include <QIODevice>
#include <QTextStream>

#include <algorithm>

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
void Volum::getBounds(double min[3], double max[3]) const {
    min[0] = getMinX();
    min[1] = getMinY();
    min[2] = getMinZ();
    max[0] = getMaxX();
    max[1] = getMaxY();
    max[2] = getMaxZ();
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
    // Formatted here in pieces and written past the stream's own number formatting: the atoms
    // are most of a large project file. The text is ASCII but for material names, which are
    // encoded as the stream encodes.
    const bool latin1 = out.encoding() == QStringConverter::Latin1;
    const auto encoded = [latin1](const QString &text) {
        return latin1 ? text.toLatin1() : text.toUtf8();
    };
    QIODevice *device = out.device();
    constexpr qsizetype kPiece = 1 << 16;
    QByteArray piece;
    char *to = nullptr;
    const auto hand = [&] {
        const qsizetype size = to - piece.constData();
        if (device) {
            out.flush();
            device->write(piece.constData(), size);
        } else {
            const QByteArrayView bytes(piece.constData(), size);
            out << (latin1 ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes));
        }
        to = piece.data();
    };
    QByteArray volumLine = QByteArray::number(volumNumber) + '\n';
    QByteArray materialLines;
    qsizetype atomMax = 0; // the most one atom's lines can take
    const Material *lastMaterial = nullptr;
    for (qsizetype n = 0; n < atoms.size(); ++n) {
        const Atom &atom = atoms[n];
        if (n == 0 || atom.getMaterial() != lastMaterial) {
            lastMaterial = atom.getMaterial();
            materialLines = encoded(materialWord(lastMaterial)) + '\n' +
                            QByteArray::number(atom.getMaterialIndex()) + '\n';
            atomMax = 4 * kDesignNumberMax + 4 + materialLines.size() + volumLine.size();
            if (piece.size() < kPiece + atomMax) {
                const qsizetype used = to ? to - piece.constData() : 0;
                piece.resize(kPiece + atomMax);
                to = piece.data() + used;
            }
        }
        to = writeDesignReal(to, atom.getX());
        *to++ = ' ';
        to = writeDesignReal(to, atom.getY());
        *to++ = ' ';
        to = writeDesignReal(to, atom.getZ());
        *to++ = '\n';
        to = std::copy_n(materialLines.constData(), materialLines.size(), to);
        to = std::copy_n(volumLine.constData(), volumLine.size(), to);
        to = writeDesignInteger(to, atom.offsetNumber());
        *to++ = '\n';
        if (to - piece.constData() >= kPiece)
            hand();
    }
    if (to)
        hand();
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
