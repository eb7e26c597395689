#include "ui/volumplacement.h"

#include "model/volum.h"

namespace VolumPlacement {

Box boxAt(double x, double y, double z, double xsize, double ysize, double zsize) {
    return Box{{x, y, z}, {x + xsize, y + ysize, z + zsize}};
}

Box boxOf(const Volum &volum) {
    return Box{{volum.getMinX(), volum.getMinY(), volum.getMinZ()},
               {volum.getMaxX(), volum.getMaxY(), volum.getMaxZ()}};
}

bool overlap(const Box &candidate, const Box &other) {
    for (int axis = 0; axis < 3; ++axis) {
        if (other.max[axis] <= candidate.min[axis] + kTolerance ||
            candidate.max[axis] - kTolerance <= other.min[axis])
            return false;
    }
    return true;
}

bool insidePositiveOctant(double x, double y, double z) {
    return !(x < -kTolerance || y < -kTolerance || z < -kTolerance);
}

QString duplicateName(const QString &source, const QList<Volum> &volums) {
    const QString base = source.section(QLatin1Char('-'), 0, 0);
    auto taken = [&volums](const QString &name) {
        for (const Volum &volum : volums) {
            if (volum.getName() == name)
                return true;
        }
        return false;
    };
    // At most volums.size() + 1 candidates are taken, so the loop ends.
    for (int n = 0;; ++n) {
        const QString suffix = QLatin1Char('-') + QString::number(n);
        if (!source.endsWith(suffix) && !taken(base + suffix))
            return base + suffix;
    }
}

void lowerTolerance(float &tolerance, float size, int malles) {
    if (malles <= 0 || !(size > 0.0f))
        return;
    const float step = size / static_cast<float>(malles);
    if (step < tolerance)
        tolerance = step;
}

void lowerTolerances(float &x, float &y, float &z, const Volum &volum) {
    lowerTolerance(x, volum.getxSize(), volum.getxMalles());
    lowerTolerance(y, volum.getySize(), volum.getyMalles());
    lowerTolerance(z, volum.getzSize(), volum.getzMalles());
}

} // namespace VolumPlacement
