#include "view/atomcloud.h"

#include "model/atom.h"
#include "model/material.h"
#include "model/volum.h"
#include "view/scenedrawing.h"
#include "view/spheremesh.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <utility>

namespace {

// Atoms per chunk: small enough for tight bounds, large enough that a frame makes few calls.
constexpr std::uint32_t kChunkSize = 1024;

// From this many far atoms on, projecting them on the processor beats drawing them as points.
constexpr std::size_t kSplatFromAtoms = 20000;

// Radii on screen, in pixels, from which an atom is drawn as a coarse and as a full sphere.
constexpr double kCoarseFromPixels = 1.5;
constexpr double kFullFromPixels = 5.0;

const scene::SphereMesh &fullSphere() {
    static const scene::SphereMesh sphere(scene::kAtomSlices + 2, scene::kAtomStacks,
                                          scene::kAtomRadius);
    return sphere;
}

const scene::SphereMesh &coarseSphere() {
    static const scene::SphereMesh sphere(6, 4, scene::kAtomRadius);
    return sphere;
}

// False when the box lies wholly outside one of the six clipping planes of clip (column-major).
bool boxInView(const double clip[16], const float min[3], const float max[3]) {
    for (int plane = 0; plane < 6; ++plane) {
        const int row = plane / 2;
        const double sign = (plane % 2) ? -1.0 : 1.0;
        double p[4];
        for (int c = 0; c < 4; ++c)
            p[c] = clip[4 * c + 3] + sign * clip[4 * c + row];
        // The corner furthest along the plane's normal.
        const double x = p[0] >= 0 ? max[0] : min[0];
        const double y = p[1] >= 0 ? max[1] : min[1];
        const double z = p[2] >= 0 ? max[2] : min[2];
        if (p[0] * x + p[1] * y + p[2] * z + p[3] < 0.0)
            return false;
    }
    return true;
}

double distanceToBox(const double eye[3], const float min[3], const float max[3]) {
    double d2 = 0.0;
    for (int i = 0; i < 3; ++i) {
        const double d = std::max({double(min[i]) - eye[i], 0.0, eye[i] - double(max[i])});
        d2 += d * d;
    }
    return std::sqrt(d2);
}

// The sphere compiled into a display list of the current context: one call per atom then costs
// a matrix and a list, not an upload of client arrays.
void compileSphere(const scene::SphereMesh &sphere, unsigned int list) {
    glNewList(list, GL_COMPILE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, sphere.vertices.data());
    glNormalPointer(GL_FLOAT, 0, sphere.normals.data());
    glDrawElements(GL_TRIANGLES, GLsizei(sphere.indices.size()), GL_UNSIGNED_SHORT,
                   sphere.indices.data());
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glEndList();
}

void drawSpheres(unsigned int list, const float *positions, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i, positions += 3) {
        glTranslatef(positions[0], positions[1], positions[2]);
        glCallList(list);
        glTranslatef(-positions[0], -positions[1], -positions[2]);
    }
}

} // namespace

void AtomCloud::clear() {
    groups.clear();
    count = 0;
}

void AtomCloud::rebuild(const QList<Volum> &volums) {
    clear();
    const unsigned char selectedRgb[3] = {255, 0, 0};
    const unsigned char neutralRgb[3] = {
        static_cast<unsigned char>(scene::kNeutralColor[0] * 255.0f + 0.5f),
        static_cast<unsigned char>(scene::kNeutralColor[1] * 255.0f + 0.5f),
        static_cast<unsigned char>(scene::kNeutralColor[2] * 255.0f + 0.5f)};
    std::map<std::uint32_t, std::size_t> groupOfColour;
    const auto groupFor = [&](const unsigned char rgb[3]) {
        const std::uint32_t key = (std::uint32_t(rgb[0]) << 16) | (rgb[1] << 8) | rgb[2];
        auto found = groupOfColour.find(key);
        if (found == groupOfColour.end()) {
            found = groupOfColour.emplace(key, groups.size()).first;
            Group group;
            std::copy(rgb, rgb + 3, group.rgb);
            groups.push_back(std::move(group));
        }
        return found->second;
    };

    for (const Volum &volum : volums) {
        if (!volum.isVisible())
            continue;
        const double origin[3] = {volum.getMinX(), volum.getMinY(), volum.getMinZ()};
        // Neighbouring atoms mostly share a material: look its group up once per run.
        const Material *lastMaterial = nullptr;
        std::size_t lastGroup = 0;
        for (const Atom &atom : volum.getAtoms()) {
            std::size_t group;
            if (atom.isSelected()) {
                group = groupFor(selectedRgb);
            } else if (const Material *m = atom.getMaterial()) {
                if (m != lastMaterial) {
                    const QColor c = m->getColor();
                    const unsigned char rgb[3] = {static_cast<unsigned char>(c.red()),
                                                  static_cast<unsigned char>(c.green()),
                                                  static_cast<unsigned char>(c.blue())};
                    lastGroup = groupFor(rgb);
                    lastMaterial = m;
                }
                group = lastGroup;
            } else {
                group = groupFor(neutralRgb);
            }
            groups[group].positions.insert(groups[group].positions.end(),
                                           {float(origin[0] + atom.getX()),
                                            float(origin[1] + atom.getY()),
                                            float(origin[2] + atom.getZ())});
            ++count;
        }
    }

    for (Group &group : groups) {
        const std::uint32_t atoms = std::uint32_t(group.positions.size() / 3);
        for (std::uint32_t first = 0; first < atoms; first += kChunkSize) {
            Chunk chunk{first, std::min(kChunkSize, atoms - first), {0, 0, 0}, {0, 0, 0}};
            const float *p = group.positions.data() + std::size_t(first) * 3;
            std::copy(p, p + 3, chunk.min);
            std::copy(p, p + 3, chunk.max);
            for (std::uint32_t i = 0; i < chunk.count; ++i, p += 3) {
                for (int c = 0; c < 3; ++c) {
                    chunk.min[c] = std::min(chunk.min[c], p[c]);
                    chunk.max[c] = std::max(chunk.max[c], p[c]);
                }
            }
            // Spheres reach one radius beyond their centres.
            for (int c = 0; c < 3; ++c) {
                chunk.min[c] -= float(scene::kAtomRadius);
                chunk.max[c] += float(scene::kAtomRadius);
            }
            group.chunks.push_back(chunk);
        }
    }
}

void AtomCloud::releaseLists() {
    sphereLists = 0;
}

void AtomCloud::draw(const View &view) {
    if (count == 0)
        return;
    if (sphereLists == 0) {
        sphereLists = glGenLists(2);
        compileSphere(fullSphere(), sphereLists);
        compileSphere(coarseSphere(), sphereLists + 1);
    }
    // One light from above and behind the eye, fixed to the camera: the side facing the user is
    // lit, the rim darker. Colours set by glColor are the material's ambient and diffuse.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const GLfloat lightDirection[4] = {0.3f, 0.5f, 1.0f, 0.0f};
    const GLfloat white[4] = {0.75f, 0.75f, 0.75f, 1.0f};
    const GLfloat ambient[4] = {0.35f, 0.35f, 0.35f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, lightDirection);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glPopMatrix();
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);

    // Two passes keep state changes few: first every chunk far enough to be points, in runs of
    // neighbouring chunks of one point size per call; then the lit spheres.
    // Far chunks of every colour first: many of them go into one picture.
    std::vector<const Chunk *> far;
    std::vector<const Group *> farGroups;
    std::size_t farAtoms = 0;
    for (const Group &group : groups) {
        for (const Chunk &chunk : group.chunks) {
            if (!boxInView(view.clip, chunk.min, chunk.max))
                continue;
            const double distance = distanceToBox(view.eye, chunk.min, chunk.max);
            if (distance > 0.0 && scene::kAtomRadius * view.pixelsPerUnit / distance < 0.75) {
                far.push_back(&chunk);
                farGroups.push_back(&group);
                farAtoms += chunk.count;
            }
        }
    }
    const bool splatted = farAtoms >= kSplatFromAtoms && splatFarAtoms(view, far, farGroups);

    std::vector<std::pair<const Chunk *, double>> near;
    glEnableClientState(GL_VERTEX_ARRAY);
    for (const Group &group : groups) {
        glColor3ub(group.rgb[0], group.rgb[1], group.rgb[2]);
        glVertexPointer(3, GL_FLOAT, 0, group.positions.data());
        std::uint32_t runFirst = 0, runCount = 0;
        GLfloat runSize = 0.0f;
        const auto flush = [&] {
            if (runCount == 0)
                return;
            glPointSize(runSize);
            glDrawArrays(GL_POINTS, GLint(runFirst), GLsizei(runCount));
            runCount = 0;
        };
        near.clear();
        for (const Chunk &chunk : group.chunks) {
            if (!boxInView(view.clip, chunk.min, chunk.max))
                continue;
            const double distance = distanceToBox(view.eye, chunk.min, chunk.max);
            const double radiusPixels =
                distance > 0.0 ? scene::kAtomRadius * view.pixelsPerUnit / distance : 1e9;
            if (radiusPixels >= kCoarseFromPixels) {
                near.emplace_back(&chunk, radiusPixels);
                continue;
            }
            const GLfloat size = radiusPixels < 0.75 ? 1.0f : 2.0f;
            if (splatted && size == 1.0f)
                continue;
            if (runCount > 0 && (size != runSize || runFirst + runCount != chunk.first))
                flush();
            if (runCount == 0) {
                runFirst = chunk.first;
                runSize = size;
            }
            runCount += chunk.count;
        }
        flush();
        if (near.empty())
            continue;
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_COLOR_MATERIAL);
        for (const auto &[chunk, radiusPixels] : near) {
            drawSpheres(radiusPixels < kFullFromPixels ? sphereLists + 1 : sphereLists,
                        group.positions.data() + std::size_t(chunk->first) * 3, chunk->count);
        }
        glDisable(GL_COLOR_MATERIAL);
        glDisable(GL_LIGHT0);
        glDisable(GL_LIGHTING);
        glEnableClientState(GL_VERTEX_ARRAY); // the lists leave client arrays off
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glPointSize(1.0f);
}

bool AtomCloud::splatFarAtoms(const View &view, std::vector<const Chunk *> &far,
                              std::vector<const Group *> &farGroups) {
    const int w = view.width, h = view.height;
    if (w <= 0 || h <= 0)
        return false;
    const std::size_t pixels = std::size_t(w) * std::size_t(h);
    splatDepth.assign(pixels, 1.0f);
    splatColour.assign(pixels, 0u);
    const double *m = view.clip;
    for (std::size_t c = 0; c < far.size(); ++c) {
        const Chunk &chunk = *far[c];
        const Group &group = *farGroups[c];
        // RGBA bytes in memory order, opaque.
        std::uint32_t rgba;
        const unsigned char bytes[4] = {group.rgb[0], group.rgb[1], group.rgb[2], 255};
        std::memcpy(&rgba, bytes, 4);
        const float *p = group.positions.data() + std::size_t(chunk.first) * 3;
        for (std::uint32_t i = 0; i < chunk.count; ++i, p += 3) {
            const double x = p[0], y = p[1], z = p[2];
            const double cw = m[3] * x + m[7] * y + m[11] * z + m[15];
            if (cw <= 0.0)
                continue;
            const double cx = m[0] * x + m[4] * y + m[8] * z + m[12];
            const double cy = m[1] * x + m[5] * y + m[9] * z + m[13];
            const double cz = m[2] * x + m[6] * y + m[10] * z + m[14];
            const double inv = 1.0 / cw;
            const double depth = 0.5 * cz * inv + 0.5;
            if (depth < 0.0 || depth >= 1.0)
                continue;
            const double px = (cx * inv * 0.5 + 0.5) * w;
            const double py = (cy * inv * 0.5 + 0.5) * h;
            if (px < 0.0 || py < 0.0 || px >= w || py >= h)
                continue;
            const std::size_t at = std::size_t(int(py)) * std::size_t(w) + std::size_t(int(px));
            if (float(depth) < splatDepth[at]) {
                splatDepth[at] = float(depth);
                splatColour[at] = rgba;
            }
        }
    }

    // Write depth then colour with identity matrices, the raster position at the viewport's
    // lower left corner. Pixels no atom reached keep depth 1 and alpha 0: they change nothing.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos2f(-1.0f, -1.0f);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDrawPixels(w, h, GL_DEPTH_COMPONENT, GL_FLOAT, splatDepth.data());
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    glDrawPixels(w, h, GL_RGBA, GL_UNSIGNED_BYTE, splatColour.data());
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDisable(GL_ALPHA_TEST);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    return true;
}
