// The OpenGL drawing of a volum. The model declares these operations; the view layer, which owns
// the OpenGL dependency, defines them.

#include "model/material.h"
#include "model/volum.h"
#include "view/scenedrawing.h"

#include <GL/gl.h>

#include <utility>

void Volum::drawVolum() {
    double min[3], max[3];
    getBounds(min, max);
    scene::drawShadedBox(min, max);
}

void Volum::drawMalles() {
    double min[3], max[3];
    getBounds(min, max);
    const int divisions[3] = {xmalles, ymalles, zmalles};
    scene::setLineWidth(2.0f);
    scene::drawMeshLines(min, max, divisions);
}

void Volum::drawAtomicStructure() {
    // Atoms are stored relative to corner 0, so they follow the box. Each is drawn as its
    // material draws it; an atom without a material in the neutral colour. (The view draws the
    // atoms of a whole design through its atom cloud instead, a few calls per frame.)
    const double x0 = getMinX(), y0 = getMinY(), z0 = getMinZ();
    scene::setLineWidth(2.0f);
    // A const walk: the atom list may be shared with a copy of this volum and must not detach.
    for (const Atom &atom : std::as_const(atoms)) {
        const double x = x0 + atom.getX(), y = y0 + atom.getY(), z = z0 + atom.getZ();
        if (Material *material = atom.getMaterial()) {
            material->drawMaterial(x, y, z, atom.isSelected());
        } else {
            glColor3fv(atom.isSelected() ? scene::kSelectedColor : scene::kNeutralColor);
            scene::drawSphere(x, y, z);
        }
    }
    scene::setLineWidth(1.0f);
}
