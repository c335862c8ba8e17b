#include "SphereMesh.h"

#include "SphereInstances.h"
#include "SphereLevels.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

SphereMesh SphereMesh::build(int slices, int stacks) {
    slices = std::max(slices, 3);
    stacks = std::max(stacks, 2);
    SphereMesh mesh;
    auto add = [&](double x, double y, double z) {
        const float n[3] = {float(x), float(y), float(z)};
        for (float c : n) {
            mesh.normals.push_back(c);
            mesh.positions.push_back(c * SphereInstances::kRadius);
        }
    };
    // Vertex 0 the north pole, then stacks - 1 rings of slices vertices, then the south pole.
    add(0, 0, 1);
    for (int i = 1; i < stacks; ++i) {
        const double rho = kPi * i / stacks;
        for (int j = 0; j < slices; ++j) {
            const double theta = 2 * kPi * j / slices;
            add(std::cos(theta) * std::sin(rho), std::sin(theta) * std::sin(rho), std::cos(rho));
        }
    }
    add(0, 0, -1);
    const uint32_t south = mesh.vertexCount() - 1;
    auto ring = [&](int i, int j) { return uint32_t(1 + (i - 1) * slices + (j % slices)); };
    auto triangle = [&](uint32_t a, uint32_t b, uint32_t c) {
        mesh.indices.insert(mesh.indices.end(), {a, b, c});
    };
    // Theta grows counter-clockwise seen from +z: outward faces wind a, then its east neighbour,
    // with the vertex nearer the north pole last.
    for (int j = 0; j < slices; ++j) {
        triangle(0, ring(1, j), ring(1, j + 1));
        for (int i = 1; i + 1 < stacks; ++i) {
            triangle(ring(i, j), ring(i + 1, j), ring(i + 1, j + 1));
            triangle(ring(i, j), ring(i + 1, j + 1), ring(i, j + 1));
        }
        triangle(south, ring(stacks - 1, j + 1), ring(stacks - 1, j));
    }
    return mesh;
}

SphereMesh SphereMesh::forLevel(int level) {
    // The tessellations of the single spheres drawn before: an outline within half a pixel of the
    // circle at the largest radius of each level.
    const int slices[4] = {6, 8, 12, 16};
    if (level >= SphereLevels::FULL) return build(20, 20);
    const int k = std::max(level - int(SphereLevels::SLICES6), 0);
    return build(slices[k], slices[k] * 3 / 4);
}
