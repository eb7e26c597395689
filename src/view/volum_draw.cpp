// The OpenGL drawing of a volum. The model declares these operations; the view layer, which owns
// the OpenGL dependency, defines them.

#include "model/material.h"
#include "model/volum.h"
#include "view/scenedrawing.h"

#include <GL/gl.h>

namespace {

void boxBounds(const Volum &volum, double min[3], double max[3]) {
    min[0] = volum.getMinX();
    min[1] = volum.getMinY();
    min[2] = volum.getMinZ();
    max[0] = volum.getMaxX();
    max[1] = volum.getMaxY();
    max[2] = volum.getMaxZ();
}

} // namespace

void Volum::drawVolum() {
    double min[3], max[3];
    boxBounds(*this, min, max);
    scene::drawShadedBox(min, max);
}

void Volum::drawMalles() {
    double min[3], max[3];
    boxBounds(*this, min, max);
    const int divisions[3] = {xmalles, ymalles, zmalles};
    glLineWidth(2.0f);
    scene::drawMeshLines(min, max, divisions);
}

void Volum::drawAtomicStructure() {
    // Atoms are stored relative to corner 0, so they follow the box.
    const double x0 = getMinX(), y0 = getMinY(), z0 = getMinZ();
    glLineWidth(2.0f);
    {
        scene::SphereBatch batch;
        for (Atom &atom : atoms) {
            const double x = x0 + atom.getX(), y = y0 + atom.getY(), z = z0 + atom.getZ();
            if (Material *m = atom.getMaterial()) {
                m->drawMaterial(x, y, z, atom.isSelected());
            } else {
                glColor3fv(atom.isSelected() ? scene::kSelectedColor : scene::kNeutralColor);
                scene::drawSphere(x, y, z);
            }
        }
    }
    glLineWidth(1.0f);
}
