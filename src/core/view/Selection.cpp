#include "Selection.h"

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
