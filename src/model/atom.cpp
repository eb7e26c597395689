#include "model/atom.h"

#include "model/material.h"

#include <QDebug>

// Off unless a logging rule (QT_LOGGING_RULES="karveno.model.atom.debug=true") turns it on: a
// design can hold millions of atoms. qCDebug tests the flag before it formats anything.
Q_LOGGING_CATEGORY(lcAtom, "karveno.model.atom", QtInfoMsg)

Atom::Atom(double x, double y, double z, Material *material, bool offset, int noffset,
           int maxoffset)
    : x(x), y(y), z(z), material(material), offset(offset), noffset(noffset), maxoffset(maxoffset) {
    qCDebug(lcAtom).nospace() << "Creating Atom " << x << ", " << y << ", " << z << " material "
                              << getMaterialName() << " offset " << offset << " noffset " << noffset
                              << " maxoffset " << maxoffset;
}

Atom::Atom(double x, double y, double z, Material *material, bool offset)
    : Atom(x, y, z, material, offset, 0, 1) {}

QString Atom::getMaterialName() const {
    return material ? material->getName() : QString();
}

int Atom::getMaterialIndex() const {
    return materialIndex(material);
}

void Atom::move(float dx, float dy, float dz) {
    x += dx;
    y += dy;
    z += dz;
}

bool Atom::operator==(const Atom &other) const {
    return x == other.x && y == other.y && z == other.z && material == other.material &&
           offset == other.offset && noffset == other.noffset && maxoffset == other.maxoffset;
}
