#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class GraphStore;

// The relation edges at each vertex, outgoing (the vertex is the start) and incoming (the vertex
// is the end), as compressed rows: one offset array and one edge array per direction, built in
// one counting pass over the edges. An edge from a vertex to itself is in both rows.
class RelationAdjacency {
public:
    // The edges of one row, ascending edge ids.
    struct Row {
        const uint32_t* first;
        const uint32_t* last;
        const uint32_t* begin() const { return first; }
        const uint32_t* end() const { return last; }
        size_t size() const { return static_cast<size_t>(last - first); }
    };

    RelationAdjacency() = default;
    explicit RelationAdjacency(const GraphStore& graph);

    // Rows of a vertex id; empty for an id the graph does not have.
    Row outgoing(uint32_t vertex) const { return row(m_outOffsets, m_outEdges, vertex); }
    Row incoming(uint32_t vertex) const { return row(m_inOffsets, m_inEdges, vertex); }
    size_t edgeCount() const { return m_outEdges.size(); }

private:
    static Row row(const std::vector<size_t>& offsets, const std::vector<uint32_t>& edges,
                   uint32_t vertex);

    std::vector<size_t> m_outOffsets, m_inOffsets;  // vertex id + 1 entries
    std::vector<uint32_t> m_outEdges, m_inEdges;
};
