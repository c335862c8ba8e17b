#include "TreePaths.h"

#include "GraphStore.h"

TreePaths TreePaths::collect(const GraphStore& graph) {
    TreePaths paths;
    const size_t edgeCount = graph.relationEdgeCount();
    paths.edge.reserve(edgeCount);
    paths.start.reserve(edgeCount + 1);
    for (const auto& [id, edge] : graph.relationEdges()) {
        if (id >= edgeCount) break;
        const std::vector<uint32_t> path = graph.getTreePath(*edge);
        paths.vertices.insert(paths.vertices.end(), path.begin(), path.end());
        paths.start.push_back(paths.vertices.size());
        paths.edge.push_back(id);
    }
    return paths;
}

TreePaths TreePaths::withoutEmpty() const {
    TreePaths usable;
    usable.edge.reserve(size());
    usable.start.reserve(size() + 1);
    usable.vertices.reserve(vertices.size());
    for (size_t e = 0; e < size(); ++e) {
        if (length(e) == 0) continue;
        usable.vertices.insert(usable.vertices.end(), path(e), path(e) + length(e));
        usable.start.push_back(usable.vertices.size());
        usable.edge.push_back(edge[e]);
    }
    return usable;
}
