#pragma once

#include "GraphStore.h"

#include <cstdint>
#include <vector>

// The tree of a graph flattened breadth-first from the root, children in file order. In that
// order the children of every vertex occupy consecutive positions, so the layouts walk plain
// arrays instead of chasing vertex pointers (and locking parent links) in every phase; on a
// million vertices with scattered ids that is most of their cost.
//
// Positions run 0 .. size()-1, the root at 0. The store's invariants make this the whole graph:
// every vertex reachable, ids 0 .. vertexCount-1, one parent each, so the breadth-first parent
// is m_parent and the breadth-first depth is m_level. A vertex met a second time, or with an id
// outside that range, is not entered again, so a malformed graph cannot make a walk run forever.
class BreadthFirstTree {
public:
    static constexpr uint32_t kNone = UINT32_MAX;

    explicit BreadthFirstTree(const GraphStore& graph);

    uint32_t size() const { return static_cast<uint32_t>(m_vertex.size()); }
    // One past the largest id a position can hold: the store's vertex count.
    uint32_t idLimit() const { return static_cast<uint32_t>(m_position.size()); }

    Vertex& vertex(uint32_t position) const { return *m_vertex[position]; }
    uint32_t id(uint32_t position) const { return m_id[position]; }
    int32_t level(uint32_t position) const { return m_level[position]; }
    // Position of the parent; kNone for the root.
    uint32_t parent(uint32_t position) const { return m_parent[position]; }
    uint32_t firstChild(uint32_t position) const { return m_firstChild[position]; }
    uint32_t childCount(uint32_t position) const { return m_childCount[position]; }
    // Position of a vertex id; kNone when the id was not reached.
    uint32_t position(uint32_t id) const { return id < m_position.size() ? m_position[id] : kNone; }

    // Positions of the vertices without children, in ascending id order.
    std::vector<uint32_t> leavesById() const;

private:
    std::vector<Vertex*> m_vertex;
    std::vector<uint32_t> m_id;
    std::vector<int32_t> m_level;
    std::vector<uint32_t> m_parent;
    std::vector<uint32_t> m_firstChild;
    std::vector<uint32_t> m_childCount;
    std::vector<uint32_t> m_position;
};
