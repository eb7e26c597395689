#include "view/scenepicking.h"

#include "model/atom.h"
#include "model/volum.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace picking {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

double dot(const double a[3], const double b[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// The point of the box nearest the ray, with its distance along the ray and its distance from
// the ray. A few steps of alternating projection converge for a convex box.
void nearestOnBox(const Ray &ray, const double min[3], const double max[3], double point[3],
                  double &along, double &gap) {
    double t = 0.0;
    for (int i = 0; i < 3; ++i) // start from the box's centre
        point[i] = 0.5 * (min[i] + max[i]);
    for (int step = 0; step < 8; ++step) {
        double rel[3];
        for (int i = 0; i < 3; ++i)
            rel[i] = point[i] - ray.origin[i];
        t = std::max(0.0, dot(rel, ray.direction));
        for (int i = 0; i < 3; ++i)
            point[i] = std::clamp(ray.origin[i] + t * ray.direction[i], min[i], max[i]);
    }
    double d2 = 0.0;
    for (int i = 0; i < 3; ++i) {
        const double d = point[i] - (ray.origin[i] + t * ray.direction[i]);
        d2 += d * d;
    }
    along = t;
    gap = std::sqrt(d2);
}

// Calls visit(volum index, lower corner, upper corner) for every visible volum.
template <class Visit> void forEachShownBox(const QList<Volum> &volums, Visit visit) {
    for (int v = 0; v < volums.size(); ++v) {
        if (!volums.at(v).isVisible())
            continue;
        double min[3], max[3];
        volums.at(v).getBounds(min, max);
        visit(v, min, max);
    }
}

// Calls visit(volum index, atom index, centre) for every atom of the visible volums, its centre
// in world coordinates.
template <class Visit> void forEachShownAtom(const QList<Volum> &volums, Visit visit) {
    for (int v = 0; v < volums.size(); ++v) {
        const Volum &volum = volums.at(v);
        if (!volum.isVisible())
            continue;
        const double origin[3] = {volum.getMinX(), volum.getMinY(), volum.getMinZ()};
        const QList<Atom> &atoms = volum.getAtoms();
        for (int a = 0; a < atoms.size(); ++a) {
            const double centre[3] = {origin[0] + atoms.at(a).getX(),
                                      origin[1] + atoms.at(a).getY(),
                                      origin[2] + atoms.at(a).getZ()};
            visit(v, a, centre);
        }
    }
}

bool better(const Hit &candidate, const Hit &best) {
    if (!best.isHit())
        return true;
    if (candidate.exact != best.exact)
        return candidate.exact;
    return candidate.distance < best.distance;
}

} // namespace

double rayEntersBox(const Ray &ray, const double min[3], const double max[3]) {
    double enter = 0.0, leave = kInfinity;
    for (int i = 0; i < 3; ++i) {
        const double o = ray.origin[i], d = ray.direction[i];
        if (d == 0.0) {
            if (o < min[i] || o > max[i])
                return -1.0;
            continue;
        }
        double t0 = (min[i] - o) / d, t1 = (max[i] - o) / d;
        if (t0 > t1)
            std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
        if (enter > leave)
            return -1.0;
    }
    return enter;
}

Hit castAtBoxes(const QList<Volum> &volums, const Ray &ray, double slope) {
    Hit best;
    forEachShownBox(volums, [&](int v, const double min[3], const double max[3]) {
        Hit hit;
        hit.volum = v;
        const double t = rayEntersBox(ray, min, max);
        if (t >= 0.0) {
            hit.exact = true;
            hit.distance = t;
            for (int i = 0; i < 3; ++i)
                hit.point[i] = std::clamp(ray.origin[i] + t * ray.direction[i], min[i], max[i]);
        } else {
            double gap = 0.0;
            nearestOnBox(ray, min, max, hit.point, hit.distance, gap);
            if (hit.distance <= 0.0 || gap > slope * hit.distance)
                return;
        }
        if (better(hit, best))
            best = hit;
    });
    return best;
}

Hit castAtAtoms(const QList<Volum> &volums, const Ray &ray, double slope) {
    Hit best;
    const double *o = ray.origin;
    const double *d = ray.direction;
    forEachShownAtom(volums, [&](int v, int a, const double centre[3]) {
        const double c[3] = {centre[0] - o[0], centre[1] - o[1], centre[2] - o[2]};
        const double along = dot(c, d);
        if (along <= 0.0)
            return;
        const double gap2 = std::max(0.0, dot(c, c) - along * along);
        const double reach = kAtomRadius + slope * along;
        if (gap2 > reach * reach)
            return;
        Hit hit;
        hit.volum = v;
        hit.atom = a;
        const double r2 = kAtomRadius * kAtomRadius;
        hit.exact = gap2 <= r2;
        // Where the ray enters the sphere, or for a near miss the closest approach.
        hit.distance = hit.exact ? along - std::sqrt(r2 - gap2) : along;
        if (!better(hit, best))
            return;
        for (int i = 0; i < 3; ++i)
            hit.point[i] = o[i] + hit.distance * d[i];
        if (!hit.exact) {
            // Pull the point to within half a radius of the centre, towards the ray.
            const double gap = std::sqrt(gap2);
            for (int i = 0; i < 3; ++i)
                hit.point[i] = centre[i] + (hit.point[i] - centre[i]) * (0.5 * kAtomRadius / gap);
        }
        best = hit;
    });
    return best;
}

namespace {

Ray rayThrough(const double eye[3], const double point[3]) {
    Ray ray;
    double length2 = 0.0;
    for (int i = 0; i < 3; ++i) {
        ray.origin[i] = eye[i];
        ray.direction[i] = point[i] - eye[i];
        length2 += ray.direction[i] * ray.direction[i];
    }
    const double length = std::sqrt(length2);
    for (int i = 0; i < 3; ++i)
        ray.direction[i] = length > 0.0 ? ray.direction[i] / length : (i == 2 ? -1.0 : 0.0);
    return ray;
}

} // namespace

int volumAtPoint(const QList<Volum> &volums, const double eye[3], const double point[3],
                 double margin) {
    const Ray ray = rayThrough(eye, point);
    int best = -1;
    double bestEnter = kInfinity;
    bool bestStrict = false;
    forEachShownBox(volums, [&](int v, const double min[3], const double max[3]) {
        bool holds = true, strict = true;
        for (int i = 0; i < 3; ++i) {
            holds = holds && min[i] - margin <= point[i] && point[i] <= max[i] + margin;
            strict = strict && min[i] <= point[i] && point[i] <= max[i];
        }
        if (!holds)
            return;
        double lo[3], hi[3];
        for (int i = 0; i < 3; ++i) {
            lo[i] = min[i] - margin;
            hi[i] = max[i] + margin;
        }
        double enter = rayEntersBox(ray, lo, hi);
        if (enter < 0.0)
            enter = kInfinity;
        // Entry distances within the margin are a tie: both faces pass through the point.
        const bool nearer = enter < bestEnter - margin;
        const bool tie = !nearer && enter <= bestEnter + margin;
        if (best < 0 || nearer || (tie && strict && !bestStrict)) {
            best = v;
            bestEnter = std::min(enter, bestEnter);
            bestStrict = strict;
        }
    });
    return best;
}

Hit atomAtPoint(const QList<Volum> &volums, const double eye[3], const double point[3]) {
    Hit best;
    double bestDistance = kInfinity;
    forEachShownAtom(volums, [&](int v, int a, const double p[3]) {
        for (int i = 0; i < 3; ++i)
            if (!(p[i] - kAtomRadius < point[i] && point[i] < p[i] + kAtomRadius))
                return;
        double d2 = 0.0;
        for (int i = 0; i < 3; ++i)
            d2 += (p[i] - eye[i]) * (p[i] - eye[i]);
        if (d2 < bestDistance) {
            bestDistance = d2;
            best.volum = v;
            best.atom = a;
            best.distance = std::sqrt(d2);
            std::copy(p, p + 3, best.point);
            best.exact = true;
        }
    });
    return best;
}

} // namespace picking
