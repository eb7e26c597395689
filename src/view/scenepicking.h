#ifndef KARVENO_VIEW_SCENEPICKING_H
#define KARVENO_VIEW_SCENEPICKING_H

// Picking from geometry: a ray from the eye against the visible volums' boxes or their atoms'
// spheres. Exact, independent of OpenGL, and the same whatever was drawn last. Hidden volums and
// their atoms are never hit. Positions are world coordinates; atoms are relative to their volum's
// origin and are placed here.

#include <QList>

class Volum;

namespace picking {

// Radius of an atom's sphere, as drawn.
inline constexpr double kAtomRadius = 0.1;

struct Ray {
    double origin[3];
    double direction[3]; // unit length
};

struct Hit {
    int volum = -1;        // position in the list; -1: nothing hit
    int atom = -1;         // position in the volum's atom list (atoms only)
    double distance = 0.0; // along the ray
    double point[3] = {0.0, 0.0, 0.0};
    bool exact = false; // the ray itself meets the box or sphere, not only its tolerance
    bool isHit() const { return volum >= 0; }
};

// The nearest visible box along the ray. A ray that misses every box but passes within
// `slope` times its distance of one (a few pixels on screen) hits the nearest such box, at the
// point of the box nearest the ray. Exact hits win over near misses.
Hit castAtBoxes(const QList<Volum> &volums, const Ray &ray, double slope);

// The same for the spheres of the visible volums' atoms. A near miss reports a point inside the
// sphere, on the segment between its centre and the ray, so that the click rules of the window
// (within one radius of the centre on each axis) find the same atom.
Hit castAtAtoms(const QList<Volum> &volums, const Ray &ray, double slope);

// The visible volum that holds `point` (within `margin` on every side) and whose box a ray from
// `eye` through the point enters first: on a face shared by two volums, the one facing the eye.
// Ties go to the volum holding the point without the margin, then to the first in list order.
// -1 when no visible volum holds the point.
int volumAtPoint(const QList<Volum> &volums, const double eye[3], const double point[3],
                 double margin);

// The visible volum's atom within one radius of `point` on each axis (strict, as the window's
// click rule), nearest the eye; {-1, -1} when none.
Hit atomAtPoint(const QList<Volum> &volums, const double eye[3], const double point[3]);

// Distance along the ray to where it enters the box [min, max], or a negative number when it
// misses; 0 when the origin is inside.
double rayEntersBox(const Ray &ray, const double min[3], const double max[3]);

} // namespace picking

#endif
