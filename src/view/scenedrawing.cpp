#include "view/scenedrawing.h"

#include "view/spheremesh.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace scene {

namespace {

const SphereMesh &sphereMesh() {
    static const SphereMesh mesh(kAtomSlices, kAtomStacks, kAtomRadius);
    return mesh;
}

// Device pixels per logical pixel of the frame being drawn.
GLfloat lineScale = 1.0f;

void drawSphereArrays() {
    const SphereMesh &mesh = sphereMesh();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, mesh.vertices.data());
    glNormalPointer(GL_FLOAT, 0, mesh.normals.data());
    glDrawElements(GL_TRIANGLES, GLsizei(mesh.indices.size()), GL_UNSIGNED_SHORT,
                   mesh.indices.data());
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void scaledColor(const GLfloat base[4], float factor) {
    glColor4f(base[0] * factor, base[1] * factor, base[2] * factor, base[3]);
}

} // namespace

void drawShadedBox(const double min[3], const double max[3]) {
    GLfloat base[4];
    glGetFloatv(GL_CURRENT_COLOR, base);

    const double x0 = min[0], y0 = min[1], z0 = min[2];
    const double x1 = max[0], y1 = max[1], z1 = max[2];

    glBegin(GL_QUADS);
    scaledColor(base, 0.62f); // bottom, y = min
    glVertex3d(x0, y0, z0);
    glVertex3d(x1, y0, z0);
    glVertex3d(x1, y0, z1);
    glVertex3d(x0, y0, z1);
    scaledColor(base, 1.0f); // top, y = max
    glVertex3d(x0, y1, z0);
    glVertex3d(x0, y1, z1);
    glVertex3d(x1, y1, z1);
    glVertex3d(x1, y1, z0);
    scaledColor(base, 0.72f); // back, z = min
    glVertex3d(x0, y0, z0);
    glVertex3d(x0, y1, z0);
    glVertex3d(x1, y1, z0);
    glVertex3d(x1, y0, z0);
    scaledColor(base, 0.72f); // front, z = max
    glVertex3d(x0, y0, z1);
    glVertex3d(x1, y0, z1);
    glVertex3d(x1, y1, z1);
    glVertex3d(x0, y1, z1);
    scaledColor(base, 0.86f); // x = min
    glVertex3d(x0, y0, z0);
    glVertex3d(x0, y0, z1);
    glVertex3d(x0, y1, z1);
    glVertex3d(x0, y1, z0);
    scaledColor(base, 0.86f); // x = max
    glVertex3d(x1, y0, z0);
    glVertex3d(x1, y1, z0);
    glVertex3d(x1, y1, z1);
    glVertex3d(x1, y0, z1);
    glEnd();
    glColor4fv(base);
}

void drawMeshLines(const double min[3], const double max[3], const int divisions[3]) {
    const int stride[3] = {1, 1, 1};
    drawMeshLines(min, max, divisions, stride);
}

void drawMeshLines(const double min[3], const double max[3], const int divisions[3],
                   const int stride[3]) {
    glBegin(GL_LINES);
    for (int axis = 0; axis < 3; ++axis) {
        // The two other axes, in order; lines at each division run along them on the end faces.
        const int u = (axis + 1) % 3;
        const int v = (axis + 2) % 3;
        const int n = std::clamp(divisions[axis], 1, kMaxMeshDivisions);
        const int step = std::max(1, stride[axis]);
        const double size = max[axis] - min[axis];
        for (int i = 0; i <= n; i = (i < n && i + step > n) ? n : i + step) {
            double p[3];
            p[axis] = (i == n) ? max[axis] : min[axis] + size * i / n;
            // Along u on the faces v = min and v = max, along v on the faces u = min and u = max.
            for (const double vEnd : {min[v], max[v]}) {
                p[v] = vEnd;
                p[u] = min[u];
                glVertex3dv(p);
                p[u] = max[u];
                glVertex3dv(p);
            }
            for (const double uEnd : {min[u], max[u]}) {
                p[u] = uEnd;
                p[v] = min[v];
                glVertex3dv(p);
                p[v] = max[v];
                glVertex3dv(p);
            }
        }
    }
    glEnd();
}

int meshStride(double spacingPixels) {
    if (!(spacingPixels > 0.0))
        return kMaxMeshDivisions; // end faces only
    if (spacingPixels >= kMinMeshSpacingPixels)
        return 1;
    return int(
        std::min(double(kMaxMeshDivisions), std::ceil(kMinMeshSpacingPixels / spacingPixels)));
}

void setMeshLineColour(const float face[3], double spacingPixels) {
    const float luminance = 0.299f * face[0] + 0.587f * face[1] + 0.114f * face[2];
    const float shade = luminance > 0.35f ? 0.0f : 0.92f;
    const double shown = spacingPixels * meshStride(spacingPixels);
    const float alpha = float(std::clamp(shown / kFadeMeshSpacingPixels, 0.35, 1.0));
    glColor4f(shade, shade, shade, alpha);
}

void drawSphere(double x, double y, double z) {
    glPushMatrix();
    glTranslated(x, y, z);
    drawSphereArrays();
    glPopMatrix();
}

void setLineScale(double devicePixelRatio) {
    lineScale = GLfloat(std::max(devicePixelRatio, 1.0));
}

void setLineWidth(float logicalPixels) {
    glLineWidth(logicalPixels * lineScale);
}

void drawGridLines(double extent, double spacing) {
    if (!(spacing > 0.0) || !(extent > 0.0))
        return;
    const GLfloat e = GLfloat(extent);
    glBegin(GL_LINES);
    for (int k = 0; k * spacing < extent; ++k) {
        const GLfloat i = GLfloat(k * spacing);
        glVertex3f(i, 0, 0); // plane z = 0: x = i, y from 0 to extent
        glVertex3f(i, e, 0);
        glVertex3f(0, i, 0); // plane z = 0: y = i
        glVertex3f(e, i, 0);
        glVertex3f(0, 0, i); // plane y = 0: z = i, x from 0 to extent
        glVertex3f(e, 0, i);
        glVertex3f(i, 0, 0); // plane y = 0: x = i
        glVertex3f(i, 0, e);
        glVertex3f(0, i, 0); // plane x = 0: y = i, z from 0 to extent
        glVertex3f(0, i, e);
        glVertex3f(0, 0, i); // plane x = 0: z = i
        glVertex3f(0, e, i);
    }
    glEnd();
}

} // namespace scene
