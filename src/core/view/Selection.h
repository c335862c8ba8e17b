#pragma once

#include "HierarchyEdge.h"
#include "RelationEdge.h"

#include <cstddef>
#include <cstdint>

// The picked object: a vertex, a hierarchy edge or a relation edge (with its position in the
// current view's curve list), and the edges picked before it, whose highlight must be undone.
struct Selection {
    enum Type { VERTEX = 0, HIERARCHY_EDGE = 1, RELATION_EDGE = 2, NOTHING = 3 };

    // The index that picking code k / count stands for: k, or -1 where the code names nothing.
    static int codeToIndex(float code, size_t count);

    void selectVertex(const VertexPtr& vertex);
    void selectHierarchyEdge(const HierarchyEdgePtr& edge);
    void selectRelationEdge(const RelationEdgePtr& edge, int32_t listIndex);

    int32_t m_previousCurve = -1;
    int32_t m_currentCurve = -1;
    int32_t m_type = NOTHING;
    VertexPtr m_vertex;
    HierarchyEdgePtr m_hierarchyEdge;
    RelationEdgePtr m_relationEdge;
    HierarchyEdgePtr m_previousHierarchyEdge;
    RelationEdgePtr m_previousRelationEdge;
};
