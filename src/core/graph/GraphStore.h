#pragma once

#include "HierarchyEdge.h"
#include "RelationEdge.h"

#include <cstdint>
#include <map>
#include <vector>

class Edge;

// One loaded graph: vertices, hierarchy and relation edges, the root and the per-depth counts.
// Built by buildGraph, completed once by calculateHierarchy, then only read.
class GraphStore {
public:
    VertexPtr getVertex(uint32_t id) const;
    VertexPtr getRoot() const { return m_root; }
    HierarchyEdgePtr getHierarchyEdge(uint32_t id) const;
    RelationEdgePtr getRelationEdge(uint32_t id) const;

    size_t vertexCount() const { return m_vertices.size(); }
    size_t hierarchyEdgeCount() const { return m_hierarchyEdges.size(); }
    size_t relationEdgeCount() const { return m_relationEdges.size(); }
    // Number of depths; element k of getHierarchy() counts the vertices at depth k.
    size_t depthCount() const { return m_hierarchy.size(); }
    const std::vector<int32_t>& getHierarchy() const { return m_hierarchy; }

    // Vertices without children, in ascending id order.
    std::vector<VertexPtr> getLeaves() const;
    // Ids from the start of the edge up to the lowest common ancestor and down to its end.
    std::vector<uint32_t> getTreePath(const Edge& edge) const;

    const std::map<uint32_t, VertexPtr>& vertices() const { return m_vertices; }
    const std::map<uint32_t, HierarchyEdgePtr>& hierarchyEdges() const { return m_hierarchyEdges; }
    const std::map<uint32_t, RelationEdgePtr>& relationEdges() const { return m_relationEdges; }

    // Updates, used only while building.
    void addVertex(const VertexPtr& vertex);
    void addHierarchyEdge(const HierarchyEdgePtr& edge);
    void addRelationEdge(const RelationEdgePtr& edge);
    void setRoot(uint32_t id);
    // A hint for bulk builders that will look id up soon: brings the index slot (vertex false)
    // or, once that has arrived, the vertex itself (vertex true) into the cache. No effect on
    // the store.
    void prefetchVertex(uint32_t id, bool vertex) const;

    void calculateHierarchy();
    void calculatePathToRoot();

private:
    std::map<uint32_t, VertexPtr> m_vertices;
    // The vertex of each id (empty where none), beside the map: the map costs a cache miss per
    // tree level on every lookup, and building a large graph makes millions of them. Only ids
    // below about twice the vertex count are indexed; others are looked up in the map.
    std::vector<VertexPtr> m_vertexIndex;

    // The stored vertex of an id without touching its reference count; null when none.
    const VertexPtr* findVertex(uint32_t id) const;
    std::map<uint32_t, HierarchyEdgePtr> m_hierarchyEdges;
    std::map<uint32_t, RelationEdgePtr> m_relationEdges;
    VertexPtr m_root;
    std::vector<int32_t> m_hierarchy;
};

// The graph the main window shows, published for the drawing side; null while none is loaded.
// Owned by whoever loaded it. Layouts, curves and tools are given their graph instead.
extern GraphStore* g_graph;
