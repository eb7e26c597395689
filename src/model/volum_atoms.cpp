// Generation of a volum's atoms from its material's crystal lattice.

#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/volum.h"

#include <QDebug>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using Vec3 = std::array<double, 3>;

Vec3 toVec(const Coord &c) {
    return {c.getX(), c.getY(), c.getZ()};
}

bool isFinite(const Vec3 &v) {
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

Vec3 cross(const Vec3 &a, const Vec3 &b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double dot(const Vec3 &a, const Vec3 &b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double norm(const Vec3 &v) {
    return std::sqrt(dot(v, v));
}

// Inclusive range of lattice indices; empty when lo > hi.
struct IndexRange {
    std::int64_t lo = 0;
    std::int64_t hi = 0;
    bool empty() const { return lo > hi; }
    double length() const { return empty() ? 0.0 : double(hi - lo) + 1.0; }
    void intersect(double from, double to) {
        // Callers widen their bounds, so flooring and ceiling here never lose a site.
        if (!(from <= to) || from > double(hi) || to < double(lo)) {
            lo = 1;
            hi = 0;
            return;
        }
        if (from > double(lo))
            lo = std::int64_t(std::floor(from));
        if (to < double(hi))
            hi = std::int64_t(std::ceil(to));
    }
};

// The search count of one primitive vector: for each axis 0 when the component is 0, else
// ceil(extent / |component|) + 2; the largest of the three.
double searchCount(const Vec3 &a, const Vec3 &extent) {
    double count = 0.0;
    for (int c = 0; c < 3; ++c) {
        if (a[c] != 0.0)
            count = std::max(count, std::ceil(extent[c] / std::fabs(a[c])) + 2.0);
    }
    return count;
}

} // namespace

bool Volum::calculateAtomicPoints() {
    return calculateAtomicPoints(*MaterialsManager::getInstance());
}

bool Volum::calculateAtomicPoints(const MaterialsManager &registry) {
    atoms.clear();
    atoms_calculated = true;

    if (!material) {
        qWarning() << "Volum" << name << "has no material: no atoms generated";
        return false;
    }
    const float sizes[3] = {xsize, ysize, zsize};
    if (!std::isfinite(sizes[0]) || !std::isfinite(sizes[1]) || !std::isfinite(sizes[2])) {
        qWarning() << "Volum" << name << "has a size that is not a number: no atoms generated";
        return false;
    }
    // Integer extents: the fractional part of a size is never filled.
    const Vec3 extent = {std::trunc(double(sizes[0])), std::trunc(double(sizes[1])),
                         std::trunc(double(sizes[2]))};
    const std::array<Vec3, 3> a = {toVec(material->getAtomVec1()), toVec(material->getAtomVec2()),
                                   toVec(material->getAtomVec3())};
    const QList<Coord> &basis = material->getOffsets();
    if (!isFinite(a[0]) || !isFinite(a[1]) || !isFinite(a[2])) {
        qWarning() << "Material" << material->getName()
                   << "has a lattice vector that is not a number: no atoms generated";
        return false;
    }

    const int offsetCount = int(basis.size());
    std::vector<Vec3> offsets;
    std::vector<Material *> offsetMaterials;
    offsets.reserve(basis.size());
    offsetMaterials.reserve(basis.size());
    Vec3 minOffset = {0.0, 0.0, 0.0};
    Vec3 maxOffset = {0.0, 0.0, 0.0};
    for (const Coord &offset : basis) {
        const Vec3 o = toVec(offset);
        if (!isFinite(o)) {
            qWarning() << "Material" << material->getName()
                       << "has a basis offset that is not a number: no atoms generated";
            return false;
        }
        for (int c = 0; c < 3; ++c) {
            minOffset[c] = offsets.empty() ? o[c] : std::min(minOffset[c], o[c]);
            maxOffset[c] = offsets.empty() ? o[c] : std::max(maxOffset[c], o[c]);
        }
        offsets.push_back(o);
        offsetMaterials.push_back(registry.getMaterial(offset.getMaterialName()));
    }
    if (offsets.empty() || extent[0] < 0.0 || extent[1] < 0.0 || extent[2] < 0.0) {
        qDebug() << "Number of atoms:" << 0;
        return true;
    }

    // The lattice indices searched run from -3N to 3N for each primitive vector (0 only for a
    // zero vector). Where the three vectors span space, each index is further limited to the
    // values that can reach the box: index p of a site P from offset o is bp.(P - o), with bp
    // the dual vector. The exact box test below decides; the limits only skip candidates that
    // cannot pass it, so the atoms and their order are those of the full search.
    std::array<IndexRange, 3> range;
    for (int p = 0; p < 3; ++p) {
        const double n = 3.0 * searchCount(a[p], extent);
        const double limit = 9.0e15; // keeps the indices exact in a double
        const std::int64_t bound = std::int64_t(std::min(n, limit));
        range[p] = {-bound, bound};
    }
    const double det = dot(a[0], cross(a[1], a[2]));
    const bool spansSpace =
        std::isfinite(det) && std::fabs(det) > 1e-9 * norm(a[0]) * norm(a[1]) * norm(a[2]);
    if (spansSpace) {
        const std::array<Vec3, 3> dual = {cross(a[1], a[2]), cross(a[2], a[0]), cross(a[0], a[1])};
        for (int p = 0; p < 3; ++p) {
            double boxLo = 0.0, boxHi = 0.0, offLo = 0.0, offHi = 0.0;
            for (int c = 0; c < 3; ++c) {
                const double b = dual[p][c] / det;
                boxLo += std::min(0.0, b * extent[c]);
                boxHi += std::max(0.0, b * extent[c]);
                offLo += std::min(b * minOffset[c], b * maxOffset[c]);
                offHi += std::max(b * minOffset[c], b * maxOffset[c]);
            }
            const double lo = boxLo - offHi;
            const double hi = boxHi - offLo;
            const double slack = 1.0 + 1e-9 * (std::fabs(lo) + std::fabs(hi));
            range[p].intersect(lo - slack, hi + slack);
        }
    }
    if (range[0].length() * range[1].length() > kMaxLatticeCells) {
        qWarning() << "Volum" << name << "would need more than" << kMaxLatticeCells
                   << "lattice cells: no atoms generated";
        return false;
    }

    // The search runs twice: once to count the sites, so that the list is allocated once at its
    // final size, then to append them. Counting is a fraction of the cost of building atoms and
    // spares the copies and fresh-page faults of a list that grows step by step.
    const Vec3 &a1 = a[0];
    const Vec3 &a2 = a[1];
    const Vec3 &a3 = a[2];
    // Calls onSite(x, y, z, offset index) for every site in loop order; false when the search
    // would visit more than kMaxLatticeCells cells or onSite asks to stop.
    const auto forEachSite = [&](auto &&onSite) {
        double cellsVisited = 0.0;
        for (std::int64_t i = range[0].lo; i <= range[0].hi; ++i) {
            for (std::int64_t j = range[1].lo; j <= range[1].hi; ++j) {
                const double di = double(i);
                const double dj = double(j);
                const Vec3 base = {a1[0] * di + a2[0] * dj, a1[1] * di + a2[1] * dj,
                                   a1[2] * di + a2[2] * dj};
                // Limit k to the values for which some offset can land inside on every axis.
                IndexRange kRange = range[2];
                for (int c = 0; c < 3 && !kRange.empty(); ++c) {
                    if (a3[c] == 0.0) {
                        // Exactly the sum the box test makes, since a3.c * k adds a zero.
                        bool reachable = false;
                        for (const Vec3 &o : offsets) {
                            const double v = o[c] + base[c];
                            if (v >= 0.0 && v <= extent[c]) {
                                reachable = true;
                                break;
                            }
                        }
                        if (!reachable)
                            kRange = {1, 0};
                        continue;
                    }
                    double lo = (-base[c] - maxOffset[c]) / a3[c];
                    double hi = (extent[c] - base[c] - minOffset[c]) / a3[c];
                    if (lo > hi)
                        std::swap(lo, hi);
                    const double slack = 1.0 + 1e-9 * (std::fabs(lo) + std::fabs(hi));
                    kRange.intersect(lo - slack, hi + slack);
                }
                cellsVisited += 1.0 + kRange.length();
                if (cellsVisited > kMaxLatticeCells)
                    return false;
                for (std::int64_t k = kRange.lo; k <= kRange.hi; ++k) {
                    const double dk = double(k);
                    const Vec3 r = {base[0] + a3[0] * dk, base[1] + a3[1] * dk,
                                    base[2] + a3[2] * dk};
                    for (int l = 0; l < offsetCount; ++l) {
                        const Vec3 &o = offsets[size_t(l)];
                        const double px = o[0] + r[0];
                        const double py = o[1] + r[1];
                        const double pz = o[2] + r[2];
                        if (px < 0.0 || px > extent[0] || py < 0.0 || py > extent[1] || pz < 0.0 ||
                            pz > extent[2])
                            continue;
                        if (!onSite(px, py, pz, l))
                            return false;
                    }
                }
            }
        }
        return true;
    };

    qsizetype count = 0;
    if (!forEachSite([&](double, double, double, int) { return ++count <= kMaxGeneratedAtoms; })) {
        if (count > kMaxGeneratedAtoms)
            qWarning() << "Volum" << name << "would hold more than" << kMaxGeneratedAtoms
                       << "atoms: no atoms generated";
        else
            qWarning() << "Volum" << name << "would need more than" << kMaxLatticeCells
                       << "lattice cells: no atoms generated";
        return false;
    }
    atoms.reserve(count);
    forEachSite([&](double px, double py, double pz, int l) {
        atoms.append(Atom(px, py, pz, offsetMaterials[size_t(l)], true, l, offsetCount));
        return true;
    });
    qDebug() << "Number of atoms:" << atoms.size();
    return true;
}
