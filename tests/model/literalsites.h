#pragma once

// The lattice sites of a box as a straight reading of the rule: every index from -3N to 3N on
// each lattice vector, no pruning. The reference the fast generation is compared with, for its
// list (tests) and its speed (bench).

#include "model/material.h"
#include "model/volum.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

using LatticeSite = std::array<double, 4>; // x, y, z and the offset number

inline std::vector<LatticeSite> literalSites(const Material &m, const Volum &box) {
    const auto component = [](const Coord &c, int axis) {
        return axis == 0 ? c.getX() : axis == 1 ? c.getY() : c.getZ();
    };
    const double e[3] = {std::trunc(box.getxSize()), std::trunc(box.getySize()),
                         std::trunc(box.getzSize())};
    const Coord v[3] = {m.getAtomVec1(), m.getAtomVec2(), m.getAtomVec3()};
    int n[3] = {0, 0, 0};
    for (int p = 0; p < 3; ++p)
        for (int a = 0; a < 3; ++a)
            if (component(v[p], a) != 0.0)
                n[p] = std::max(n[p], int(std::ceil(e[a] / std::fabs(component(v[p], a)))) + 2);
    std::vector<LatticeSite> sites;
    const QList<Coord> &offsets = m.getOffsets();
    for (int i = -3 * n[0]; i <= 3 * n[0]; ++i)
        for (int j = -3 * n[1]; j <= 3 * n[1]; ++j)
            for (int k = -3 * n[2]; k <= 3 * n[2]; ++k)
                for (int l = 0; l < offsets.size(); ++l) {
                    LatticeSite s = {0, 0, 0, double(l)};
                    bool inside = true;
                    for (int a = 0; a < 3; ++a) {
                        s[a] = component(offsets[l], a) +
                               ((component(v[0], a) * i + component(v[1], a) * j) +
                                component(v[2], a) * k);
                        inside = inside && s[a] >= 0 && s[a] <= e[a];
                    }
                    if (inside)
                        sites.push_back(s);
                }
    return sites;
}
