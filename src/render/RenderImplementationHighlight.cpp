// The highlight of the selected object: a picked hierarchy edge or curve in the selection
// colour, and the relation curves of a picked vertex in the outgoing and incoming colours.
#include "RenderImplementation.h"

#include "DrawnPosition.h"
#include "GraphStore.h"
#include "RenderStates.h"
#include "View.h"

#include <algorithm>

namespace {

std::array<float, 4> color4(const float* c) { return {c[0], c[1], c[2], c[3]}; }

}  // namespace

bool RenderImplementation::selectVertexById(uint32_t id) {
    if (!g_graph) return false;
    const VertexPtr vertex = g_graph->getVertex(id);
    if (!vertex) return false;
    m_selection->selectVertex(vertex);
    UpdateSelection();
    return true;
}

bool RenderImplementation::drawnVertexPosition(uint32_t id, Vector3* position) const {
    if (!g_graph || !m_views || m_viewType < 0 || m_viewType > 4 || !m_views[m_viewType]) {
        return false;
    }
    // Read without View::getRecord, which would insert a record for an unknown id.
    const auto& records = m_views[m_viewType]->records();
    const auto found = records.find(id);
    if (found == records.end()) return false;
    *position = drawnPosition(found->second, m_rotationX, m_rotationY, m_rotationZ, m_scale);
    return true;
}

SelectionHighlight::Colors RenderImplementation::highlightColors() const {
    return {color4(m_hierarchyColor),
            color4(m_relationStartColor),
            color4(m_relationEndColor),
            color4(m_selectionColor),
            color4(g_renderStates.outgoingEdgeColor),
            color4(g_renderStates.incomingEdgeColor)};
}

void RenderImplementation::resetHighlight() {
    // The new objects start without any highlight; the old rows and positions name old edges.
    m_highlight = SelectionHighlight();
    m_adjacency.reset();
    m_curvePositions.clear();
    m_curvePositionsView = -1;
}

const std::vector<int32_t>& RenderImplementation::curvePositions(int viewType) {
    if (m_curvePositionsView != viewType) {
        const size_t edges = g_graph ? g_graph->relationEdgeCount() : 0;
        m_curvePositions = m_curveControls ? m_curveControls->listPositions(viewType, edges)
                                           : std::vector<int32_t>(edges, -1);
        m_curvePositionsView = viewType;
    }
    return m_curvePositions;
}

void RenderImplementation::setCurveSlot(int viewType, int32_t index, CurveBuffers::Slot slot) {
    m_curveBuffers.setSlots(viewType, {index}, slot);
}

void RenderImplementation::undoHighlight() {
    SelectionHighlight& h = m_highlight;
    if (h.hierarchyEdge) {
        recolorHierarchyEdges(UINT32_MAX, m_hierarchyColor, m_hierarchyColor);
    }
    setCurveSlot(h.curveView, h.curve, CurveBuffers::NORMAL);
    m_curveBuffers.setSlots(h.edgesView, h.edgeCurves, CurveBuffers::NORMAL);
    h = SelectionHighlight();
}

void RenderImplementation::highlightVertexEdges(const Vertex& vertex) {
    if (!g_graph) return;
    if (!m_adjacency) m_adjacency = std::make_unique<RelationAdjacency>(*g_graph);
    SelectionHighlight& h = m_highlight;
    const RelationAdjacency::Row in = m_adjacency->incoming(vertex.getId());
    const RelationAdjacency::Row out = m_adjacency->outgoing(vertex.getId());
    h.incoming = static_cast<uint32_t>(in.size());
    h.outgoing = static_cast<uint32_t>(out.size());
    if (!m_curveControls) return;
    const std::vector<int32_t>& positions = curvePositions(m_viewType);
    h.edgesView = m_viewType;
    // Incoming first: an edge from the vertex to itself ends up in the outgoing colour.
    const std::pair<RelationAdjacency::Row, CurveBuffers::Slot> rows[] = {
        {in, CurveBuffers::INCOMING}, {out, CurveBuffers::OUTGOING}};
    for (const auto& [row, slot] : rows) {
        std::vector<int32_t> listed;
        for (uint32_t edge : row) {
            const int32_t p = edge < positions.size() ? positions[edge] : -1;
            if (p >= 0) listed.push_back(p);  // an edge without a curve has no tree path
        }
        m_curveBuffers.setSlots(m_viewType, listed, slot);
        h.edgeCurves.insert(h.edgeCurves.end(), listed.begin(), listed.end());
    }
}

const void* RenderImplementation::selectedObject() const {
    const Selection& s = *m_selection;
    switch (s.m_type) {
        case Selection::VERTEX:
            return s.m_vertex.get();
        case Selection::HIERARCHY_EDGE:
            return s.m_hierarchyEdge.get();
        case Selection::RELATION_EDGE:
            return s.m_relationEdge.get();
        default:
            return nullptr;
    }
}

void RenderImplementation::applyHighlight() {
    SelectionHighlight& h = m_highlight;
    h.view = m_viewType;
    h.colors = highlightColors();
    h.type = m_selection->m_type;
    h.object = selectedObject();
    Selection& s = *m_selection;
    switch (s.m_type) {
        case Selection::VERTEX:
            if (s.m_vertex) highlightVertexEdges(*s.m_vertex);
            break;
        case Selection::HIERARCHY_EDGE:
            if (s.m_hierarchyEdge) {
                recolorHierarchyEdges(s.m_hierarchyEdge->getId(), m_selectionColor,
                                      m_hierarchyColor);
                h.hierarchyEdge = true;
            }
            break;
        case Selection::RELATION_EDGE: {
            if (!m_curveControls || !s.m_relationEdge) break;
            const uint32_t edge = s.m_relationEdge->getId();
            int32_t p = s.m_currentCurve;
            // After a view switch the edge's curve has another position in the new list.
            if (p < 0 || size_t(p) >= m_curveControls->curveCount() ||
                m_curveControls->edgeAt(m_viewType, size_t(p)) != edge) {
                const std::vector<int32_t>& positions = curvePositions(m_viewType);
                p = edge < positions.size() ? positions[edge] : -1;
                s.m_currentCurve = p;
            }
            if (p >= 0) {
                setCurveSlot(m_viewType, p, CurveBuffers::SELECTED);
                h.curveView = m_viewType;
                h.curve = p;
            }
            break;
        }
        default:
            break;
    }
}

void RenderImplementation::refreshHighlight() {
    if (m_highlight.view == m_viewType && m_highlight.colors == highlightColors()) return;
    undoHighlight();
    applyHighlight();
}
