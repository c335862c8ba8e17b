#include "HierarchyEdgeArrays.h"

#include "GraphStore.h"
#include "View.h"
#include "VertexRecords.h"

HierarchyEdgeArrays HierarchyEdgeArrays::build(const GraphStore& graph, const View& view,
                                               bool withCodes) {
    const uint32_t n = static_cast<uint32_t>(graph.hierarchyEdgeCount());
    HierarchyEdgeArrays arrays;
    arrays.positions.resize(size_t(2) * n * 3);
    arrays.colors.resize(size_t(2) * n * 4);
    if (withCodes) arrays.codes.resize(size_t(2) * n * 4);
    const std::vector<LayoutRecord> records = vertexRecords(view, graph.vertexCount());
    for (uint32_t i = 0; i < n; ++i) {
        const HierarchyEdgePtr edge = graph.getHierarchyEdge(i);
        const uint32_t ends[2] = {edge->getStart()->getId(), edge->getEnd()->getId()};
        const float code = static_cast<float>(i) / static_cast<float>(n);
        for (int e = 0; e < 2; ++e) {
            const LayoutRecord r = ends[e] < records.size() ? records[ends[e]] : LayoutRecord{};
            const size_t v = size_t(2) * i + e;
            float* position = &arrays.positions[v * 3];
            position[0] = r.x;
            position[1] = 1.0f - r.y;
            position[2] = r.z;
            float* color = &arrays.colors[v * 4];
            color[0] = r.r;
            color[1] = r.g;
            color[2] = r.b;
            color[3] = 1;
            if (!withCodes) continue;
            float* texCoord = &arrays.codes[v * 4];
            texCoord[0] = 0;
            texCoord[1] = code;
            texCoord[2] = 0;
            texCoord[3] = 1;
        }
    }
    return arrays;
}
