#include "BreadthFirstTree.h"

#include "OpeningWatch.h"

BreadthFirstTree::BreadthFirstTree(const GraphStore& graph)
    : m_position(graph.vertexCount(), kNone) {
    const VertexPtr& root = graph.getRoot();
    const size_t count = graph.vertexCount();
    if (!root || root->getId() >= count) return;
    m_vertex.reserve(count);
    m_id.reserve(count);
    m_level.reserve(count);
    m_parent.reserve(count);
    m_firstChild.reserve(count);
    m_childCount.reserve(count);

    auto enter = [&](Vertex* vertex, uint32_t parent) {
        m_position[vertex->getId()] = static_cast<uint32_t>(m_vertex.size());
        m_vertex.push_back(vertex);
        m_id.push_back(vertex->getId());
        // calculateHierarchy gives every vertex its breadth-first depth; deriving it here spares
        // a read of a further cache line of every vertex.
        m_level.push_back(parent == kNone ? vertex->getLevel() : m_level[parent] + 1);
        m_parent.push_back(parent);
    };
    enter(root.get(), kNone);
    // Vertices lie scattered in memory when ids are not in tree order; fetching a few queue
    // entries ahead (the vertex, then its child list, then the children) hides that latency.
    auto prefetch = [this](uint32_t head) {
        if (head + 8 < m_vertex.size()) {
            const Vertex* ahead = m_vertex[head + 8];
            __builtin_prefetch(&ahead->children());
        }
        if (head + 4 < m_vertex.size()) {
            const auto& children = m_vertex[head + 4]->children();
            if (!children.empty()) __builtin_prefetch(children.data());
        }
        if (head + 2 < m_vertex.size()) {
            for (const VertexPtr& child : m_vertex[head + 2]->children()) {
                __builtin_prefetch(child.get());
            }
        }
    };
    for (uint32_t head = 0; head < m_vertex.size(); ++head) {
        OpeningWatch::step(head, count);
        prefetch(head);
        m_firstChild.push_back(static_cast<uint32_t>(m_vertex.size()));
        uint32_t children = 0;
        for (const VertexPtr& child : m_vertex[head]->children()) {
            const uint32_t id = child->getId();
            if (id >= count || m_position[id] != kNone) continue;
            enter(child.get(), head);
            ++children;
        }
        m_childCount.push_back(children);
    }
}

std::vector<uint32_t> BreadthFirstTree::leavesById() const {
    std::vector<uint32_t> leaves;
    for (uint32_t id = 0; id < m_position.size(); ++id) {
        const uint32_t position = m_position[id];
        if (position != kNone && m_childCount[position] == 0) leaves.push_back(position);
    }
    return leaves;
}
