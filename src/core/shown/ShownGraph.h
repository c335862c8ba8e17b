#pragma once

#include "GraphStore.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The graph on screen made from an opened one: excluded subtrees removed, collapsed vertices
// drawn as leaves with their descendants hidden, and each relation edge drawn between the
// nearest shown ancestors-or-selves of its ends (its reps). Edges whose reps coincide are
// internal, counted on that vertex; edges with the same ordered pair of reps are merged into one
// whose weight is their number, in the order of their first members.
//
// graph() is a store built as opening a file builds one: vertices numbered 0.. in increasing
// original id with the original names, the hierarchy edges between shown vertices in their
// original order, the merged relation edges, and the hierarchy computed.
class ShownGraph {
public:
    static constexpr uint32_t kNone = UINT32_MAX;

    // collapsed holds original ids, in any order; ids without children or out of range change
    // nothing. A pattern matching the root leaves graph() null and error() saying so.
    static ShownGraph build(const GraphStore& full, const std::vector<std::string>& patterns,
                            const std::vector<uint32_t>& collapsed);

    bool ok() const { return m_graph != nullptr; }
    const std::string& error() const { return m_error; }
    const GraphStore* graph() const { return m_graph.get(); }
    GraphStore* graph() { return m_graph.get(); }
    std::unique_ptr<GraphStore> takeGraph() { return std::move(m_graph); }

    size_t shownCount() const { return m_originalIds.size(); }
    uint32_t originalId(uint32_t shown) const { return m_originalIds[shown]; }
    // The shown id of an original vertex's rep; kNone when the vertex is excluded.
    uint32_t shownOf(uint32_t original) const { return m_shownOf[original]; }
    // Descendants (excluded ones not counted) hidden under a shown vertex.
    uint32_t hiddenDescendants(uint32_t shown) const { return m_hidden[shown]; }
    // Relation edges with both reps on this vertex.
    uint32_t internalEdges(uint32_t shown) const { return m_internal[shown]; }

    size_t mergedCount() const { return m_weights.size(); }
    uint32_t weight(uint32_t merged) const { return m_weights[merged]; }
    // The original ids of the edges merged into one, in their original order.
    const uint32_t* membersBegin(uint32_t merged) const {
        return m_members.data() + m_memberStart[merged];
    }
    const uint32_t* membersEnd(uint32_t merged) const {
        return m_members.data() + m_memberStart[merged + 1];
    }

    // Nothing excluded and nothing hidden: the graph is the whole one (merged duplicates aside).
    bool hidesNothing() const { return m_excludedVertices == 0 && m_hiddenTotal == 0; }
    size_t excludedVertexCount() const { return m_excludedVertices; }
    size_t excludedEdgeCount() const { return m_excludedEdges; }
    size_t internalEdgeCount() const { return m_internalTotal; }

private:
    void markShown(const GraphStore& full, const std::vector<uint8_t>& excluded,
                   const std::vector<uint32_t>& collapsed);
    void mergeRelations(const GraphStore& full);
    void buildStore(const GraphStore& full);

    std::unique_ptr<GraphStore> m_graph;
    std::string m_error;
    std::vector<uint32_t> m_originalIds;
    std::vector<uint32_t> m_shownOf;
    std::vector<uint32_t> m_hidden;
    std::vector<uint32_t> m_internal;
    // Per merged edge its shown ends and weight; its members from m_memberStart[i] on.
    std::vector<std::pair<uint32_t, uint32_t>> m_ends;
    std::vector<uint32_t> m_weights;
    std::vector<uint32_t> m_memberStart;
    std::vector<uint32_t> m_members;
    size_t m_excludedVertices = 0;
    size_t m_excludedEdges = 0;
    size_t m_internalTotal = 0;
    size_t m_hiddenTotal = 0;
};
