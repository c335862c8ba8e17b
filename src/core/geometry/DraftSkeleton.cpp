#include "DraftSkeleton.h"

#include "GraphStore.h"

#include <algorithm>

DraftSkeleton DraftSkeleton::build(const GraphStore& graph, size_t budget) {
    DraftSkeleton skeleton;
    if (graph.vertexCount() <= budget) return skeleton;
    const std::vector<int32_t>& perLevel = graph.getHierarchy();
    int32_t deepest = 0;
    size_t kept = perLevel.empty() ? 0 : size_t(perLevel[0]);
    while (size_t(deepest) + 1 < perLevel.size() &&
           kept + size_t(perLevel[deepest + 1]) <= budget) {
        kept += size_t(perLevel[++deepest]);
    }
    skeleton.m_cuts = true;
    skeleton.vertices.reserve(kept);
    for (const auto& [id, vertex] : graph.vertices()) {
        if (vertex->getLevel() <= deepest) skeleton.vertices.push_back(id);
    }
    skeleton.edges.reserve(kept);
    for (const auto& [id, edge] : graph.hierarchyEdges()) {
        // Whichever way the file gave the edge, it reaches down to its deeper end.
        const int32_t lower = std::max(edge->getStart()->getLevel(), edge->getEnd()->getLevel());
        if (lower <= deepest) skeleton.edges.push_back(id);
    }
    return skeleton;
}
