#pragma once

#include <cstdint>
#include <vector>

// A sphere of radius SphereInstances::kRadius around the origin as indexed triangles, for drawing
// every sphere of one tessellation level in a single instanced call: slices around the z axis,
// stacks from pole to pole. Triangles wind counter-clockwise seen from outside (back faces are
// culled); the normal of a vertex is its direction from the centre.
struct SphereMesh {
    std::vector<float> positions;   // 3 per vertex
    std::vector<float> normals;     // 3 per vertex
    std::vector<uint32_t> indices;  // 3 per triangle

    uint32_t vertexCount() const { return static_cast<uint32_t>(positions.size() / 3); }

    // slices >= 3, stacks >= 2.
    static SphereMesh build(int slices, int stacks);
    // The slices and stacks of a level of SphereLevels above the dots (the coarsest for a dot).
    static SphereMesh forLevel(int level);
};
