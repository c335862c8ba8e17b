#include "SphereInstances.h"

#include "BallonTree.h"
#include "GraphStore.h"
#include "VertexRecords.h"

SphereInstances SphereInstances::build(const View& view, uint32_t count) {
    SphereInstances spheres;
    spheres.centres.resize(size_t(3) * count);
    spheres.codes.resize(count);
    const std::vector<LayoutRecord> records = vertexRecords(view, count);
    for (uint32_t k = 0; k < count; ++k) {
        const LayoutRecord& r = records[k];
        spheres.centres[3 * size_t(k) + 0] = r.x;
        spheres.centres[3 * size_t(k) + 1] = 1.0f - r.y;
        spheres.centres[3 * size_t(k) + 2] = r.z;
        spheres.codes[k] = static_cast<float>(k) / static_cast<float>(count);
    }
    return spheres;
}

uint32_t SphereInstances::sphereCount(const GraphStore& graph, const View& view) {
    if (const auto* balloons = dynamic_cast<const BallonTree*>(&view)) {
        return static_cast<uint32_t>(balloons->balloons().size());
    }
    return static_cast<uint32_t>(graph.vertexCount());
}
