#include "ShownGraph.h"

#include "VertexExclusion.h"

#include <boost/make_shared.hpp>

ShownGraph ShownGraph::build(const GraphStore& full, const std::vector<std::string>& patterns,
                             const std::vector<uint32_t>& collapsed) {
    ShownGraph shown;
    std::vector<uint8_t> excluded(full.vertexCount(), 0);
    {
        const VertexExclusion exclusion(full, patterns);
        if (!exclusion.ok()) {
            shown.m_error = exclusion.error();
            return shown;
        }
        shown.m_excludedVertices = exclusion.excludedCount();
        for (uint32_t id = 0; id < excluded.size(); ++id) excluded[id] = exclusion.excluded(id);
    }
    shown.markShown(full, excluded, collapsed);
    shown.mergeRelations(full);
    shown.buildStore(full);
    return shown;
}

// Top down, so that a vertex's rep is known from its parent's: a child of a hidden or collapsed
// vertex is hidden under the same rep. Shown ids then follow the original ids upwards.
void ShownGraph::markShown(const GraphStore& full, const std::vector<uint8_t>& excluded,
                           const std::vector<uint32_t>& collapsed) {
    const size_t count = full.vertexCount();
    std::vector<uint8_t> isCollapsed(count, 0);
    for (uint32_t id : collapsed) {
        if (id < count) isCollapsed[id] = 1;
    }
    std::vector<uint32_t> rep(count, kNone);  // original id of the rep
    const VertexPtr root = full.getRoot();
    std::vector<const Vertex*> pending;
    if (root && !excluded[root->getId()]) {
        rep[root->getId()] = root->getId();
        pending.push_back(root.get());
    }
    while (!pending.empty()) {
        const Vertex* vertex = pending.back();
        pending.pop_back();
        const uint32_t id = vertex->getId();
        const bool open = rep[id] == id && !isCollapsed[id];
        for (const VertexPtr& child : vertex->children()) {
            const uint32_t childId = child->getId();
            if (excluded[childId]) continue;
            rep[childId] = open ? childId : rep[id];
            pending.push_back(child.get());
        }
    }
    m_shownOf.assign(count, kNone);
    for (uint32_t id = 0; id < count; ++id) {
        if (rep[id] != id) continue;
        m_shownOf[id] = static_cast<uint32_t>(m_originalIds.size());
        m_originalIds.push_back(id);
    }
    m_hidden.assign(m_originalIds.size(), 0);
    for (uint32_t id = 0; id < count; ++id) {
        if (rep[id] == kNone || rep[id] == id) continue;
        m_shownOf[id] = m_shownOf[rep[id]];
        ++m_hidden[m_shownOf[id]];
        ++m_hiddenTotal;
    }
}

// Linear in edges and vertices, no hashing: the edges are bucketed by the shown start of their
// reps (keeping their order), within a bucket an end seen before is recognised by a stamp per
// shown vertex, and the merged edges are then numbered in the order their first members come.
void ShownGraph::mergeRelations(const GraphStore& full) {
    const size_t shownCount = m_originalIds.size();
    m_internal.assign(shownCount, 0);
    const auto& edges = full.relationEdges();
    const size_t edgeCount = edges.size();
    std::vector<uint32_t> from(edgeCount, kNone), to(edgeCount, kNone);
    std::vector<uint32_t> bucketStart(shownCount + 1, 0);
    size_t index = 0;
    for (const auto& [id, edge] : edges) {
        const uint32_t a = m_shownOf[edge->getStart()->getId()];
        const uint32_t b = m_shownOf[edge->getEnd()->getId()];
        if (a == kNone || b == kNone) {
            ++m_excludedEdges;
        } else if (a == b) {
            ++m_internal[a];
            ++m_internalTotal;
        } else {
            from[index] = a;
            to[index] = b;
            ++bucketStart[a + 1];
        }
        ++index;
    }
    for (size_t v = 0; v < shownCount; ++v) bucketStart[v + 1] += bucketStart[v];
    std::vector<uint32_t> byStart(bucketStart[shownCount]);
    {
        std::vector<uint32_t> fill(bucketStart.begin(), bucketStart.end() - 1);
        for (uint32_t e = 0; e < edgeCount; ++e) {
            if (from[e] != kNone) byStart[fill[from[e]]++] = e;
        }
    }
    std::vector<uint32_t> group(edgeCount, kNone);  // per edge its merged edge, numbered by start
    std::vector<uint32_t> stampOwner(shownCount, kNone), stampGroup(shownCount, 0);
    uint32_t groups = 0;
    for (uint32_t v = 0; v < shownCount; ++v) {
        for (uint32_t k = bucketStart[v]; k < bucketStart[v + 1]; ++k) {
            const uint32_t e = byStart[k];
            if (stampOwner[to[e]] != v) {
                stampOwner[to[e]] = v;
                stampGroup[to[e]] = groups++;
            }
            group[e] = stampGroup[to[e]];
        }
    }
    std::vector<uint32_t> number(groups, kNone);
    m_ends.reserve(groups);
    m_weights.reserve(groups);
    for (uint32_t e = 0; e < edgeCount; ++e) {
        if (group[e] == kNone) continue;
        uint32_t& merged = number[group[e]];
        if (merged == kNone) {
            merged = static_cast<uint32_t>(m_weights.size());
            m_ends.emplace_back(from[e], to[e]);
            m_weights.push_back(0);
        }
        ++m_weights[merged];
    }
    m_memberStart.assign(groups + 1, 0);
    for (uint32_t m = 0; m < groups; ++m) m_memberStart[m + 1] = m_memberStart[m] + m_weights[m];
    m_members.resize(m_memberStart[groups]);
    std::vector<uint32_t> fill(m_memberStart.begin(), m_memberStart.end() - 1);
    index = 0;
    for (const auto& [id, edge] : edges) {
        if (group[index] != kNone) m_members[fill[number[group[index]]]++] = id;
        ++index;
    }
}

void ShownGraph::buildStore(const GraphStore& full) {
    auto store = std::make_unique<GraphStore>();
    std::vector<VertexPtr> vertices;
    vertices.reserve(m_originalIds.size());
    for (uint32_t shown = 0; shown < m_originalIds.size(); ++shown) {
        vertices.push_back(
            boost::make_shared<Vertex>(shown, full.getVertex(m_originalIds[shown])->getName()));
        store->addVertex(vertices.back());
    }
    for (const auto& [id, edge] : full.hierarchyEdges()) {
        const uint32_t child = edge->getEnd()->getId();
        const uint32_t parent = edge->getStart()->getId();
        // A shown child's parent is shown too; the checks keep a malformed store harmless.
        if (m_shownOf[child] == kNone || m_originalIds[m_shownOf[child]] != child) continue;
        if (m_shownOf[parent] == kNone || m_originalIds[m_shownOf[parent]] != parent) continue;
        auto shownEdge = boost::make_shared<HierarchyEdge>(vertices[m_shownOf[parent]],
                                                           vertices[m_shownOf[child]]);
        shownEdge->setId(static_cast<uint32_t>(store->hierarchyEdgeCount()));
        store->addHierarchyEdge(shownEdge);
    }
    for (uint32_t m = 0; m < m_ends.size(); ++m) {
        auto shownEdge =
            boost::make_shared<RelationEdge>(vertices[m_ends[m].first], vertices[m_ends[m].second]);
        shownEdge->setId(m);
        store->addRelationEdge(shownEdge);
    }
    // A store without a root (never one a file opened) has no hierarchy to compute.
    const VertexPtr root = full.getRoot();
    if (root && m_shownOf[root->getId()] != kNone) {
        store->setRoot(m_shownOf[root->getId()]);
        store->calculateHierarchy();
    }
    m_graph = std::move(store);
}
