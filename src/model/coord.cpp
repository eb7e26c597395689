#include "model/coord.h"

Coord::Coord(double x, double y, double z) : x(x), y(y), z(z) {}

Coord::Coord(double x, double y, double z, const QString &matname)
    : x(x), y(y), z(z), matname(matname) {}

bool Coord::operator==(const Coord &other) const {
    return x == other.x && y == other.y && z == other.z && name == other.name &&
           matname == other.matname;
}
