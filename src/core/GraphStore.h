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

    void calculateHierarchy();
    void calculatePathToRoot();

private:
    std::map<uint32_t, VertexPtr> m_vertices;
    std::map<uint32_t, HierarchyEdgePtr> m_hierarchyEdges;
    std::map<uint32_t, RelationEdgePtr> m_relationEdges;
    VertexPtr m_root;
    std::vector<int32_t> m_hierarchy;
};

// The current graph; null while no graph is loaded. Owned by whoever loaded it.
extern GraphStore* g_graph;
