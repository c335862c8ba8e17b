// Picking by read-back of the scene's picking output, and the selection's highlight.
#include "SelectionPicker.h"

#include "DefaultFramebuffer.h"
#include "FrameBuffer.h"
#include "GraphStore.h"
#include "GraphicsMemory.h"
#include "View.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

// The alpha of the picking output tells what covers a pixel (the shading program writes it
// without blending): codes alone cannot tell vertex 0, hierarchy edge 0 and curve 0 apart.
// Spheres write 1, hierarchy edges 0.75 and curves -0.5; smoothed lines scale their alpha by
// their coverage on the way, which keeps its sign.
enum CoverTag { COVER_NOTHING, COVER_VERTEX, COVER_HIERARCHY_EDGE, COVER_CURVE };

CoverTag coverTag(float alpha) {
    if (alpha > 0.875f) return COVER_VERTEX;
    if (alpha > 0.0f) return COVER_HIERARCHY_EDGE;
    if (alpha < 0.0f) return COVER_CURVE;
    return COVER_NOTHING;
}

}  // namespace

void SelectionPicker::pick(const Scene& scene, const FrameBuffer& sceneBuffer, int x, int y) {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, sceneBuffer.m_framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT1_EXT);
    float rgba[4] = {0, 0, 0, 0};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_FLOAT, rgba);
    select(scene, rgba);
    std::cout << "ERG: " << rgba[0] << " " << rgba[1] << " " << rgba[2] << " " << rgba[3] << '\n';
    bindDefaultFramebuffer();
    // A toolkit's default framebuffer may be a framebuffer object, which has no front buffer.
    glReadBuffer(defaultFramebuffer() == 0 ? GL_FRONT : GL_COLOR_ATTACHMENT0);
}

void SelectionPicker::select(const Scene& scene, const float* code) {
    const float r = code[0], g = code[1], b = code[2], a = code[3];
    switch (coverTag(a)) {
        case COVER_VERTEX:
            if (g == 0 && b == 0 && r < 1) {
                const int k = Selection::codeToIndex(r, scene.graph->vertexCount());
                if (VertexPtr vertex = k >= 0 ? scene.graph->getVertex(k) : VertexPtr()) {
                    m_selection.selectVertex(vertex);
                    update(scene);
                }
            }
            break;
        case COVER_HIERARCHY_EDGE:
            if (r == 0 && b == 0 && g < 1) {
                const int i = Selection::codeToIndex(g, scene.graph->hierarchyEdgeCount());
                if (HierarchyEdgePtr edge = i >= 0 ? scene.graph->getHierarchyEdge(i) : nullptr) {
                    m_selection.selectHierarchyEdge(edge);
                    update(scene);
                }
            }
            break;
        case COVER_CURVE:
            if (r == 0 && g == 0 && b < 1 && scene.controls) {
                const int p = Selection::codeToIndex(b, scene.controls->curveCount());
                if (p >= 0) {
                    const uint32_t id = scene.controls->edgeAt(scene.viewType, size_t(p));
                    if (RelationEdgePtr edge = scene.graph->getRelationEdge(id)) {
                        m_selection.selectRelationEdge(edge, p);
                        update(scene);
                    }
                }
            }
            break;
        case COVER_NOTHING:
            break;
    }
}

void SelectionPicker::update(const Scene& scene) {
    std::cout << "Update Selection\n";
    // A drag across one object selects it again and again; its highlight is already drawn.
    const SelectionHighlight& h = m_highlight;
    if (h.view == scene.viewType && h.type == m_selection.m_type && h.object == selectedObject() &&
        h.colors == scene.colors &&
        (h.type != Selection::RELATION_EDGE || h.curve == m_selection.m_currentCurve)) {
        return;
    }
    // Whatever the last selection recoloured gets its own colours back, in the view it was
    // drawn in, before the new selection is drawn: nothing lingers.
    undo(scene);
    apply(scene);
}

bool SelectionPicker::selectVertexById(const Scene& scene, uint32_t id) {
    if (!scene.graph) return false;
    const VertexPtr vertex = scene.graph->getVertex(id);
    if (!vertex) return false;
    m_selection.selectVertex(vertex);
    update(scene);
    return true;
}

void SelectionPicker::recolorHierarchyEdges(const Scene& scene, uint32_t id, const float* color,
                                            const float* others) {
    if (!scene.views) return;
    for (int t = 0; t < 5; ++t) {
        glBindBuffer(GL_ARRAY_BUFFER, scene.hierarchyColorBuffers[t]);
        auto* mapped = static_cast<float*>(glMapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY));
        if (mapped) {
            for (uint32_t i = 0; i < scene.hierarchyEdgeCount; ++i) {
                const float* c = i == id ? color : others;
                std::copy(c, c + 4, mapped + size_t(8) * i);
                std::copy(c, c + 4, mapped + size_t(8) * i + 4);
            }
            glUnmapBuffer(GL_ARRAY_BUFFER);
        } else if (scene.hierarchyEdgeCount > 0) {
            GraphicsMemory::noteFailure();
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void SelectionPicker::reset() {
    // The new objects start without any highlight; the old rows and positions name old edges.
    m_selection = Selection();
    m_highlight = SelectionHighlight();
    m_adjacency.reset();
    m_curvePositions.clear();
    m_curvePositionsView = -1;
}

const std::vector<int32_t>& SelectionPicker::curvePositions(const Scene& scene) {
    const int viewType = scene.viewType;
    if (m_curvePositionsView != viewType) {
        const size_t edges = scene.graph ? scene.graph->relationEdgeCount() : 0;
        m_curvePositions = scene.controls ? scene.controls->listPositions(viewType, edges)
                                          : std::vector<int32_t>(edges, -1);
        m_curvePositionsView = viewType;
    }
    return m_curvePositions;
}

void SelectionPicker::undo(const Scene& scene) {
    SelectionHighlight& h = m_highlight;
    if (h.hierarchyEdge) {
        const float* hierarchy = scene.colors[0].data();
        recolorHierarchyEdges(scene, UINT32_MAX, hierarchy, hierarchy);
    }
    scene.buffers->setSlots(h.curveView, {h.curve}, CurveBuffers::NORMAL);
    scene.buffers->setSlots(h.edgesView, h.edgeCurves, CurveBuffers::NORMAL);
    h = SelectionHighlight();
}

void SelectionPicker::highlightVertexEdges(const Scene& scene, const Vertex& vertex) {
    if (!scene.graph) return;
    if (!m_adjacency) m_adjacency = std::make_unique<RelationAdjacency>(*scene.graph);
    SelectionHighlight& h = m_highlight;
    const RelationAdjacency::Row in = m_adjacency->incoming(vertex.getId());
    const RelationAdjacency::Row out = m_adjacency->outgoing(vertex.getId());
    h.incoming = static_cast<uint32_t>(in.size());
    h.outgoing = static_cast<uint32_t>(out.size());
    if (!scene.controls) return;
    const std::vector<int32_t>& positions = curvePositions(scene);
    h.edgesView = scene.viewType;
    // Incoming first: an edge from the vertex to itself ends up in the outgoing colour.
    const std::pair<RelationAdjacency::Row, CurveBuffers::Slot> rows[] = {
        {in, CurveBuffers::INCOMING}, {out, CurveBuffers::OUTGOING}};
    for (const auto& [row, slot] : rows) {
        std::vector<int32_t> listed;
        for (uint32_t edge : row) {
            const int32_t p = edge < positions.size() ? positions[edge] : -1;
            if (p >= 0) listed.push_back(p);  // an edge without a curve has no tree path
        }
        scene.buffers->setSlots(scene.viewType, listed, slot);
        h.edgeCurves.insert(h.edgeCurves.end(), listed.begin(), listed.end());
    }
}

const void* SelectionPicker::selectedObject() const {
    const Selection& s = m_selection;
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

void SelectionPicker::apply(const Scene& scene) {
    SelectionHighlight& h = m_highlight;
    h.view = scene.viewType;
    h.colors = scene.colors;
    h.type = m_selection.m_type;
    h.object = selectedObject();
    Selection& s = m_selection;
    switch (s.m_type) {
        case Selection::VERTEX:
            if (s.m_vertex) highlightVertexEdges(scene, *s.m_vertex);
            break;
        case Selection::HIERARCHY_EDGE:
            if (s.m_hierarchyEdge) {
                recolorHierarchyEdges(scene, s.m_hierarchyEdge->getId(), scene.colors[3].data(),
                                      scene.colors[0].data());
                h.hierarchyEdge = true;
            }
            break;
        case Selection::RELATION_EDGE:
            highlightCurve(scene);
            break;
        default:
            break;
    }
}

void SelectionPicker::highlightCurve(const Scene& scene) {
    Selection& s = m_selection;
    if (!scene.controls || !s.m_relationEdge) return;
    const uint32_t edge = s.m_relationEdge->getId();
    int32_t p = s.m_currentCurve;
    // After a view switch the edge's curve has another position in the new list.
    if (p < 0 || size_t(p) >= scene.controls->curveCount() ||
        scene.controls->edgeAt(scene.viewType, size_t(p)) != edge) {
        const std::vector<int32_t>& positions = curvePositions(scene);
        p = edge < positions.size() ? positions[edge] : -1;
        s.m_currentCurve = p;
    }
    if (p >= 0) {
        scene.buffers->setSlots(scene.viewType, {p}, CurveBuffers::SELECTED);
        m_highlight.curveView = scene.viewType;
        m_highlight.curve = p;
    }
}

void SelectionPicker::refresh(const Scene& scene) {
    if (m_highlight.view == scene.viewType && m_highlight.colors == scene.colors) return;
    undo(scene);
    apply(scene);
}
