#include "Selection.h"

#include <cmath>

void Selection::selectVertex(const VertexPtr& vertex) {
    m_type = VERTEX;
    m_vertex = vertex;
}

void Selection::selectHierarchyEdge(const HierarchyEdgePtr& edge) {
    m_type = HIERARCHY_EDGE;
    m_previousHierarchyEdge = m_hierarchyEdge;
    m_hierarchyEdge = edge;
}

void Selection::selectRelationEdge(const RelationEdgePtr& edge, int32_t listIndex) {
    m_type = RELATION_EDGE;
    m_previousRelationEdge = m_relationEdge;
    m_relationEdge = edge;
    m_previousCurve = m_currentCurve;
    m_currentCurve = listIndex;
}

int Selection::codeToIndex(float code, size_t count) {
    if (!(code >= 0.0f) || count == 0) return -1;
    // Rounding recovers k from k / n stored as a float, where truncation can give k - 1.
    const double index = std::floor(static_cast<double>(code) * count + 0.5);
    return index < static_cast<double>(count) ? static_cast<int>(index) : -1;
}
