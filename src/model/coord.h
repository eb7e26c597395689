#pragma once

#include <QString>

// A point or vector of the design, in the design's length units. Basis offsets of a material also
// carry the name of the material of the atoms generated from them.
class Coord {
public:
    Coord() = default;
    Coord(double x, double y, double z);
    Coord(double x, double y, double z, const QString &matname);

    double getX() const { return x; }
    double getY() const { return y; }
    double getZ() const { return z; }
    void setX(double v) { x = v; }
    void setY(double v) { y = v; }
    void setZ(double v) { z = v; }

    // Numeric tag; every point this program makes carries 0.
    quint32 getNameTag() const { return name; }

    QString getMaterialName() const { return matname; }
    void setMaterialName(const QString &n) { matname = n; }

    bool operator==(const Coord &other) const;
    bool operator!=(const Coord &other) const { return !(*this == other); }

private:
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    quint32 name = 0;
    QString matname;
};
