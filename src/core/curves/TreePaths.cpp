#include "TreePaths.h"

#include "OpeningWatch.h"

#include "GraphStore.h"

#include <algorithm>

TreePaths TreePaths::collect(const GraphStore& graph) {
    TreePaths paths;
    const size_t edgeCount = graph.relationEdgeCount();
    paths.edge.reserve(edgeCount);
    paths.start.reserve(edgeCount + 1);
    for (const auto& [id, edge] : graph.relationEdges()) {
        if (id >= edgeCount) break;
        OpeningWatch::step(id, edgeCount);
        const std::vector<uint32_t> path = graph.getTreePath(*edge);
        paths.vertices.insert(paths.vertices.end(), path.begin(), path.end());
        paths.start.push_back(paths.vertices.size());
        paths.edge.push_back(id);
    }
    return paths;
}

void TreePaths::dropEmpty() {
    size_t kept = 0, written = 0;
    for (size_t e = 0; e < size(); ++e) {
        const size_t from = start[e], to = start[e + 1];
        if (from == to) continue;
        // Moving down over the dropped paths: nothing is overwritten before it is read.
        std::copy(vertices.begin() + from, vertices.begin() + to, vertices.begin() + written);
        written += to - from;
        edge[kept] = edge[e];
        start[++kept] = written;
    }
    vertices.resize(written);
    start.resize(kept + 1);
    edge.resize(kept);
}
