#include "RelationAdjacency.h"

#include "GraphStore.h"

namespace {

// Edges by end vertex: count per vertex, turn the counts into starts, then place every edge.
// Edges are visited in id order, so every row comes out sorted.
void fillRows(const std::vector<std::pair<uint32_t, uint32_t>>& ends, size_t vertexSlots,
              bool byStart, std::vector<size_t>& offsets, std::vector<uint32_t>& edges) {
    offsets.assign(vertexSlots + 1, 0);
    for (const auto& [start, end] : ends) ++offsets[(byStart ? start : end) + 1];
    for (size_t v = 0; v < vertexSlots; ++v) offsets[v + 1] += offsets[v];
    std::vector<size_t> next(offsets.begin(), offsets.end() - 1);
    edges.assign(ends.size(), 0);
    for (uint32_t e = 0; e < ends.size(); ++e) {
        edges[next[byStart ? ends[e].first : ends[e].second]++] = e;
    }
}

}  // namespace

RelationAdjacency::RelationAdjacency(const GraphStore& graph) {
    // Edge ids run 0 .. count - 1 and vertex ids 0 .. N - 1 in a usable graph; an edge outside
    // those ranges is left out rather than sizing the rows by a stray id.
    const size_t vertexSlots = graph.vertexCount();
    const size_t edgeCount = graph.relationEdgeCount();
    std::vector<std::pair<uint32_t, uint32_t>> ends;
    ends.reserve(edgeCount);
    for (const auto& [id, edge] : graph.relationEdges()) {
        const uint32_t start = edge->getStart()->getId(), end = edge->getEnd()->getId();
        if (id != ends.size() || start >= vertexSlots || end >= vertexSlots) break;
        ends.emplace_back(start, end);
    }
    fillRows(ends, vertexSlots, true, m_outOffsets, m_outEdges);
    fillRows(ends, vertexSlots, false, m_inOffsets, m_inEdges);
}

RelationAdjacency::Row RelationAdjacency::row(const std::vector<size_t>& offsets,
                                              const std::vector<uint32_t>& edges, uint32_t vertex) {
    if (size_t(vertex) + 1 >= offsets.size()) return {nullptr, nullptr};
    return {edges.data() + offsets[vertex], edges.data() + offsets[vertex + 1]};
}
