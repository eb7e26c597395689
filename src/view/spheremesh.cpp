#include "view/spheremesh.h"

#include <cmath>

namespace scene {

SphereMesh::SphereMesh(int slices, int stacks, double radius) {
    const double pi = std::acos(-1.0);
    for (int stack = 0; stack <= stacks; ++stack) {
        const double rho = pi * stack / stacks;
        for (int slice = 0; slice <= slices; ++slice) {
            const double theta = 2.0 * pi * slice / slices;
            const double n[3] = {-std::sin(theta) * std::sin(rho), std::cos(theta) * std::sin(rho),
                                 std::cos(rho)};
            for (double c : n) {
                normals.push_back(float(c));
                vertices.push_back(float(c * radius));
            }
        }
    }
    vertexCount = int(vertices.size() / 3);
    const int row = slices + 1;
    for (int stack = 0; stack < stacks; ++stack) {
        for (int slice = 0; slice < slices; ++slice) {
            const auto a = std::uint16_t(stack * row + slice);
            const auto b = std::uint16_t(a + row);
            indices.insert(indices.end(), {a, b, std::uint16_t(a + 1), std::uint16_t(a + 1), b,
                                           std::uint16_t(b + 1)});
        }
    }
}

} // namespace scene
