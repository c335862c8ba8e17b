#include "GraphStore.h"
#include "OpeningWatch.h"

#include "Trace.h"

#include <algorithm>
#include <utility>

GraphStore* g_graph = nullptr;

namespace {

template <typename Map>
typename Map::mapped_type findOrEmpty(const Map& map, uint32_t id) {
    auto it = map.find(id);
    return it == map.end() ? typename Map::mapped_type() : it->second;
}

// Ids usually arrive in ascending order; the hint makes those inserts constant time.
template <typename Map, typename Value>
typename Map::iterator insertKeepingFirst(Map& map, uint32_t id, const Value& value) {
    if (map.empty() || map.rbegin()->first < id) return map.emplace_hint(map.end(), id, value);
    return map.emplace(id, value).first;
}

}  // namespace

const VertexPtr* GraphStore::findVertex(uint32_t id) const {
    if (id < m_vertexIndex.size()) return m_vertexIndex[id] ? &m_vertexIndex[id] : nullptr;
    auto it = m_vertices.find(id);
    return it == m_vertices.end() ? nullptr : &it->second;
}

VertexPtr GraphStore::getVertex(uint32_t id) const {
    const VertexPtr* vertex = findVertex(id);
    return vertex ? *vertex : VertexPtr();
}

HierarchyEdgePtr GraphStore::getHierarchyEdge(uint32_t id) const {
    return findOrEmpty(m_hierarchyEdges, id);
}

RelationEdgePtr GraphStore::getRelationEdge(uint32_t id) const {
    return findOrEmpty(m_relationEdges, id);
}

std::vector<VertexPtr> GraphStore::getLeaves() const {
    // Ids run 0 .. vertexCount-1, so walking the ordered map up to that bound visits the same
    // vertices in the same order as looking each id up.
    std::vector<VertexPtr> leaves;
    const size_t count = m_vertices.size();
    for (const auto& [id, vertex] : m_vertices) {
        if (id >= count) break;
        if (vertex->getChildCount() == 0) leaves.push_back(vertex);
    }
    return leaves;
}

std::vector<uint32_t> GraphStore::getTreePath(const Edge& edge) const {
    const std::vector<uint32_t>& a = edge.getStart()->pathToRoot();
    const std::vector<uint32_t>& b = edge.getEnd()->pathToRoot();
    // Strip the common way up to the root; what is left leads to the lowest common ancestor.
    long i = static_cast<long>(a.size()) - 1;
    long j = static_cast<long>(b.size()) - 1;
    while (i >= 0 && j >= 0 && a[i] == b[j]) {
        --i;
        --j;
    }
    ++i;
    ++j;
    std::vector<uint32_t> path;
    path.reserve(i + j + 1);
    path.insert(path.end(), a.begin(), a.begin() + i);
    for (long k = j; k >= 0; --k) {
        if (k < static_cast<long>(b.size())) path.push_back(b[k]);
    }
    return path;
}

void GraphStore::addVertex(const VertexPtr& vertex) {
    const uint32_t id = vertex->getId();
    auto stored = insertKeepingFirst(m_vertices, id, vertex);
    if (id < m_vertexIndex.size()) {
        m_vertexIndex[id] = stored->second;
        return;
    }
    // The index grows geometrically while ids stay within about twice the vertex count; growing
    // picks up the vertices whose ids were too large before, so each vertex is indexed once.
    const size_t bound = 2 * m_vertices.size() + 1024;
    if (id >= bound) return;
    const size_t oldSize = m_vertexIndex.size();
    const size_t newSize = std::max<size_t>({id + size_t{1}, 2 * oldSize, 1024});
    m_vertexIndex.resize(newSize);
    for (auto it = m_vertices.lower_bound(static_cast<uint32_t>(oldSize));
         it != m_vertices.end() && it->first < newSize; ++it) {
        m_vertexIndex[it->first] = it->second;
    }
}

void GraphStore::addHierarchyEdge(const HierarchyEdgePtr& edge) {
    const VertexPtr* parent = findVertex(edge->getStart()->getId());
    const VertexPtr* child = findVertex(edge->getEnd()->getId());
    if (parent) (*parent)->addChild(edge->getEnd());
    if (child) (*child)->setParent(edge->getStart());
    insertKeepingFirst(m_hierarchyEdges, edge->getId(), edge);
}

void GraphStore::addRelationEdge(const RelationEdgePtr& edge) {
    insertKeepingFirst(m_relationEdges, edge->getId(), edge);
}

void GraphStore::prefetchVertex(uint32_t id, bool vertex) const {
    if (id >= m_vertexIndex.size()) return;
    if (!vertex) {
        __builtin_prefetch(&m_vertexIndex[id]);
    } else if (const Vertex* stored = m_vertexIndex[id].get()) {
        // make_shared keeps the reference counts just before the object.
        __builtin_prefetch(reinterpret_cast<const char*>(stored) - 16);
        __builtin_prefetch(stored);
    }
}

void GraphStore::setRoot(uint32_t id) { m_root = getVertex(id); }

void GraphStore::calculateHierarchy() {
    trace() << "calculate hierarchy\n";
    m_hierarchy.push_back(1);
    m_hierarchy.push_back(static_cast<int32_t>(m_root->getChildCount()));

    std::vector<Vertex*> current{m_root.get()};
    std::vector<Vertex*> working;
    m_root->setLevel(0);
    int32_t level = 0;
    trace() << "before do\n";
    int32_t count = 0;
    size_t reached = 0;
    do {
        working.swap(current);
        current.clear();
        count = 0;
        for (Vertex* vertex : working) {
            OpeningWatch::step(reached++, 2 * m_vertices.size());
            for (const VertexPtr& child : vertex->children()) {
                current.push_back(child.get());
                count += static_cast<int32_t>(child->getChildCount());
                child->setLevel(level + 1);
            }
        }
        trace() << "att hierarchy: " << count << '\n';
        m_hierarchy.push_back(count);
        ++level;
    } while (count > 0);
    m_hierarchy.pop_back();
    trace() << "LEVEL: " << level << " m_hierarchy.size() " << m_hierarchy.size() << '\n';
    trace() << "Hierarchy calculated\n";
    calculatePathToRoot();
    trace() << "Path to root calculated\n";
}

void GraphStore::calculatePathToRoot() {
    // Depth first with an explicit stack: a tree may be far deeper than the call stack allows.
    m_root->setPathToRoot({m_root->getId()});
    std::vector<Vertex*> pending{m_root.get()};
    size_t walked = m_vertices.size();
    while (!pending.empty()) {
        OpeningWatch::step(walked++, 2 * m_vertices.size());
        Vertex* parent = pending.back();
        pending.pop_back();
        const std::vector<uint32_t>& parentPath = parent->pathToRoot();
        const auto& children = parent->children();
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            std::vector<uint32_t> path;
            path.reserve(parentPath.size() + 1);
            path.push_back((*it)->getId());
            path.insert(path.end(), parentPath.begin(), parentPath.end());
            (*it)->setPathToRoot(std::move(path));
            pending.push_back(it->get());
        }
    }
}
