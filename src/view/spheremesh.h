#ifndef KARVENO_VIEW_SPHEREMESH_H
#define KARVENO_VIEW_SPHEREMESH_H

#include <cstdint>
#include <vector>

namespace scene {

// A sphere about the origin tessellated like a GLU quadric sphere (slices around z, stacks from +z
// to -z), with unit normals, as an indexed triangle list. Built once on the CPU and drawn from
// client-side arrays, so that no GL object has to follow the context.
struct SphereMesh {
    SphereMesh(int slices, int stacks, double radius);

    int vertexCount = 0;
    std::vector<float> vertices; // x, y, z per vertex, at the given radius
    std::vector<float> normals;
    std::vector<std::uint16_t> indices; // three per triangle, for GL_UNSIGNED_SHORT
};

} // namespace scene

#endif
