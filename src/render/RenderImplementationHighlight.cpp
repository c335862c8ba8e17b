// The highlight of the selected object: a picked hierarchy edge or curve in the selection
// colour, and the relation curves of a picked vertex in the outgoing and incoming colours.
#include "RenderImplementation.h"

#include "DrawnPosition.h"
#include "GraphStore.h"
#include "RenderStates.h"
#include "SplineCurve.h"
#include "SplineStore.h"
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
        m_curvePositions.assign(g_graph ? g_graph->relationEdgeCount() : 0, -1);
        const SplineStore::CurveList* curves = m_splines ? m_splines->curvesFor(viewType) : nullptr;
        if (curves) {
            for (size_t p = 0; p < curves->size(); ++p) {
                const auto edge = static_cast<size_t>((*curves)[p].getEdgeId());
                if (edge < m_curvePositions.size()) m_curvePositions[edge] = int32_t(p);
            }
        }
        m_curvePositionsView = viewType;
    }
    return m_curvePositions;
}

void RenderImplementation::recolorCurveIn(int viewType, int32_t index, const float* start,
                                          const float* end) {
    SplineStore::CurveList* curves = m_splines ? m_splines->curvesFor(viewType) : nullptr;
    // A position left over from other objects is checked before it is used.
    if (!curves || index < 0 || size_t(index) >= curves->size()) return;
    SplineCurve& curve = (*curves)[index];
    curve.setColors(color4(start), color4(end));
    m_curveBuffers[viewType].updateCurveColors(size_t(index), curve);
}

void RenderImplementation::undoHighlight() {
    SelectionHighlight& h = m_highlight;
    if (h.hierarchyEdge) {
        recolorHierarchyEdges(UINT32_MAX, m_hierarchyColor, m_hierarchyColor);
    }
    recolorCurveIn(h.curveView, h.curve, m_relationStartColor, m_relationEndColor);
    SplineStore::CurveList* curves = m_splines ? m_splines->curvesFor(h.edgesView) : nullptr;
    if (curves) {
        for (int32_t p : h.edgeCurves) {
            if (p >= 0 && size_t(p) < curves->size()) {
                (*curves)[p].setColors(color4(m_relationStartColor), color4(m_relationEndColor));
            }
        }
        m_curveBuffers[h.edgesView].updateCurveColors(h.edgeCurves, *curves);
    }
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
    SplineStore::CurveList* curves = m_splines ? m_splines->curvesFor(m_viewType) : nullptr;
    if (!curves) return;
    const std::vector<int32_t>& positions = curvePositions(m_viewType);
    h.edgesView = m_viewType;
    // Incoming first: an edge from the vertex to itself ends up in the outgoing colour.
    const std::pair<RelationAdjacency::Row, const float*> rows[] = {
        {in, g_renderStates.incomingEdgeColor}, {out, g_renderStates.outgoingEdgeColor}};
    for (const auto& [row, color] : rows) {
        for (uint32_t edge : row) {
            const int32_t p = edge < positions.size() ? positions[edge] : -1;
            if (p < 0) continue;  // an edge without a curve (no tree path)
            h.edgeCurves.push_back(p);
            // A curve's samples take its alpha divided by its control points, which keeps a
            // bundle of long curves from saturating; the vertex's own curves are to stand out
            // from the bundle at the colour's own opacity.
            const float opaque[4] = {color[0], color[1], color[2],
                                     color[3] * float((*curves)[p].getControlCount())};
            (*curves)[p].setColors(color4(opaque), color4(opaque));
        }
    }
    // One mapping for all of them: a vertex may have a great many edges.
    m_curveBuffers[m_viewType].updateCurveColors(h.edgeCurves, *curves);
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
            const SplineStore::CurveList* curves =
                m_splines ? m_splines->curvesFor(m_viewType) : nullptr;
            if (!curves || !s.m_relationEdge) break;
            const uint32_t edge = s.m_relationEdge->getId();
            int32_t p = s.m_currentCurve;
            // After a view switch the edge's curve has another position in the new list.
            if (p < 0 || size_t(p) >= curves->size() ||
                static_cast<uint32_t>((*curves)[p].getEdgeId()) != edge) {
                const std::vector<int32_t>& positions = curvePositions(m_viewType);
                p = edge < positions.size() ? positions[edge] : -1;
                s.m_currentCurve = p;
            }
            if (p >= 0) {
                recolorCurveIn(m_viewType, p, m_selectionColor, m_selectionColor);
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
