#pragma once

#include <cstdint>
#include <vector>

class GraphStore;
class View;

// The vertex spheres of one layout, one instance per sphere id 0 .. count - 1 in id order: the
// centre (x, 1 - y, z) of its layout record and its picking code id / count, which the drawers
// put in the red channel. The radius is the same for all (kRadius, layout units before the scene
// scale); the tessellation each needs depends on the camera and comes per frame from
// SphereLevels. Built off the window's thread; the renderer only reads them.
struct SphereInstances {
    static constexpr float kRadius = 0.01f;

    std::vector<float> centres;  // 3 per sphere
    std::vector<float> codes;    // 1 per sphere

    uint32_t count() const { return static_cast<uint32_t>(codes.size()); }

    // count spheres: the graph's vertices, or as many as the layout counts itself (the balloon
    // tree has one per balloon). An id the layout did not place sits at the all-zero record, as
    // reading the layout's record for it would give.
    static SphereInstances build(const View& view, uint32_t count);
    // How many spheres view draws of graph.
    static uint32_t sphereCount(const GraphStore& graph, const View& view);
};
