// The OpenGL drawing of one atom of a material, defined by the view layer.

#include "model/material.h"
#include "view/scenedrawing.h"

#include <GL/gl.h>

void Material::drawMaterial(double x, double y, double z, bool selected) {
    if (selected) {
        glColor3fv(scene::kSelectedColor);
    } else {
        glColor3f(GLfloat(color.red() / 255.0), GLfloat(color.green() / 255.0),
                  GLfloat(color.blue() / 255.0));
    }
    scene::drawSphere(x, y, z);
}
