#ifndef KARVENO_UI_VOLUMPLACEMENT_H
#define KARVENO_UI_VOLUMPLACEMENT_H

// The placement rules shared by the volum dialog and the main window: when two boxes overlap,
// where a volum's origin may go, how a copy is named and how a mesh step lowers the tolerance
// of keyboard moves.

#include <QList>
#include <QString>

class Volum;

namespace VolumPlacement {

// Boxes that come closer than this on an axis touch rather than overlap.
constexpr double kTolerance = 1e-06;

// An axis-aligned box in design length units.
struct Box {
    double min[3];
    double max[3];
};

Box boxAt(double x, double y, double z, double xsize, double ysize, double zsize);
Box boxOf(const Volum &volum);

// True when the two boxes share volume thicker than kTolerance on all three axes; touching
// faces do not count.
bool overlap(const Box &candidate, const Box &other);

// True when (x, y, z) lies in the positive octant, allowing kTolerance below zero.
bool insidePositiveOctant(double x, double y, double z);

// Name of a copy of the volum called source: the part of source before its first "-", a "-"
// and the smallest n >= 0 that is not source's own suffix and gives a name no volum has.
QString duplicateName(const QString &source, const QList<Volum> &volums);

// Lowers tolerance to the mesh step size / malles when that step is smaller. Steps of empty
// boxes or of axes without meshes are ignored: a zero step would stop keyboard moves for good.
void lowerTolerance(float &tolerance, float size, int malles);

// Lowers the three tolerances with the mesh steps of volum.
void lowerTolerances(float &x, float &y, float &z, const Volum &volum);

} // namespace VolumPlacement

#endif // KARVENO_UI_VOLUMPLACEMENT_H
