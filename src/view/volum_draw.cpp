// The OpenGL drawing of a volum. The model declares these operations; the view layer, which owns
// the OpenGL dependency, defines them.

#include "model/material.h"
#include "model/volum.h"
#include "view/scenedrawing.h"

#include <GL/gl.h>

#include <utility>

namespace {

const unsigned char kSelectedRgb[3] = {255, 0, 0};
const unsigned char kNeutralRgb[3] = {
    static_cast<unsigned char>(scene::kNeutralColor[0] * 255.0f + 0.5f),
    static_cast<unsigned char>(scene::kNeutralColor[1] * 255.0f + 0.5f),
    static_cast<unsigned char>(scene::kNeutralColor[2] * 255.0f + 0.5f)};

} // namespace

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
    // Atoms are stored relative to corner 0, so they follow the box.
    const double x0 = getMinX(), y0 = getMinY(), z0 = getMinZ();
    scene::setLineWidth(2.0f);
    // Each atom looks as Material::drawMaterial draws it (red when picked, otherwise its
    // material's colour; neutral without a material), but the spheres go down in batches.
    scene::SphereBatch batch;
    const Material *lastMaterial = nullptr;
    unsigned char materialRgb[3] = {0, 0, 0};
    // A const walk: the atom list may be shared with a copy of this volum and must not detach.
    for (const Atom &atom : std::as_const(atoms)) {
        const unsigned char *rgb = kNeutralRgb;
        if (atom.isSelected()) {
            rgb = kSelectedRgb;
        } else if (const Material *m = atom.getMaterial()) {
            if (m != lastMaterial) {
                const QColor c = m->getColor();
                materialRgb[0] = static_cast<unsigned char>(c.red());
                materialRgb[1] = static_cast<unsigned char>(c.green());
                materialRgb[2] = static_cast<unsigned char>(c.blue());
                lastMaterial = m;
            }
            rgb = materialRgb;
        }
        batch.add(x0 + atom.getX(), y0 + atom.getY(), z0 + atom.getZ(), rgb);
    }
    batch.flush();
    scene::setLineWidth(1.0f);
}
