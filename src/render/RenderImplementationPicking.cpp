// Picking by read-back of the scene's picking output, the selection highlight and the overlay.
#include "RenderImplementation.h"

#include "DefaultFramebuffer.h"
#include "FrameBuffer.h"
#include "GraphStore.h"
#include "GraphicsMemory.h"
#include "RenderStates.h"
#include "View.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
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

int RenderImplementation::codeToIndex(float code, size_t count) {
    if (!(code >= 0.0f) || count == 0) return -1;
    // Rounding recovers k from k / n stored as a float, where truncation can give k - 1.
    const double index = std::floor(static_cast<double>(code) * count + 0.5);
    return index < static_cast<double>(count) ? static_cast<int>(index) : -1;
}

void RenderImplementation::pick(int x, int y) {
    if (!g_graph || !m_sceneBuffer) return;
    glFinish();
    std::cout << "Mouse X: " << x << " y: " << y << '\n';
    if (m_camera) std::cout << "MAX X: " << m_camera->width << " y: " << m_camera->height << '\n';
    // The buffer has the size of the frame that filled it, which a resize since may not match.
    const int width = m_sceneBuffer->width(), height = m_sceneBuffer->height();
    const int px = std::clamp(x, 0, width - 1);
    const int py = height - 1 - std::clamp(y, 0, height - 1);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, m_sceneBuffer->m_framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT1_EXT);
    float rgba[4] = {0, 0, 0, 0};
    glReadPixels(px, py, 1, 1, GL_RGBA, GL_FLOAT, rgba);
    const float r = rgba[0], g = rgba[1], b = rgba[2], a = rgba[3];

    switch (coverTag(a)) {
        case COVER_VERTEX:
            if (g == 0 && b == 0 && r < 1) {
                const int k = codeToIndex(r, g_graph->vertexCount());
                if (VertexPtr vertex = k >= 0 ? g_graph->getVertex(k) : VertexPtr()) {
                    m_selection->selectVertex(vertex);
                    UpdateSelection();
                }
            }
            break;
        case COVER_HIERARCHY_EDGE:
            if (r == 0 && b == 0 && g < 1) {
                const int i = codeToIndex(g, g_graph->hierarchyEdgeCount());
                if (HierarchyEdgePtr edge = i >= 0 ? g_graph->getHierarchyEdge(i) : nullptr) {
                    m_selection->selectHierarchyEdge(edge);
                    UpdateSelection();
                }
            }
            break;
        case COVER_CURVE:
            if (r == 0 && g == 0 && b < 1 && m_curveControls) {
                const int p = codeToIndex(b, m_curveControls->curveCount());
                if (p >= 0) {
                    const uint32_t id = m_curveControls->edgeAt(m_viewType, size_t(p));
                    if (RelationEdgePtr edge = g_graph->getRelationEdge(id)) {
                        m_selection->selectRelationEdge(edge, p);
                        UpdateSelection();
                    }
                }
            }
            break;
        case COVER_NOTHING:
            break;
    }
    std::cout << "ERG: " << r << " " << g << " " << b << " " << a << '\n';
    bindDefaultFramebuffer();
    // A toolkit's default framebuffer may be a framebuffer object, which has no front buffer.
    glReadBuffer(defaultFramebuffer() == 0 ? GL_FRONT : GL_COLOR_ATTACHMENT0);
}

void RenderImplementation::recolorHierarchyEdges(uint32_t id, const float* color,
                                                 const float* others) {
    if (!m_views) return;
    for (int t = 0; t < 5; ++t) {
        glBindBuffer(GL_ARRAY_BUFFER, m_views[t]->m_hierarchyColorBuffer);
        auto* mapped = static_cast<float*>(glMapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY));
        if (mapped) {
            for (uint32_t i = 0; i < m_hierarchyEdgeCount; ++i) {
                const float* c = i == id ? color : others;
                std::copy(c, c + 4, mapped + size_t(8) * i);
                std::copy(c, c + 4, mapped + size_t(8) * i + 4);
            }
            glUnmapBuffer(GL_ARRAY_BUFFER);
        } else if (m_hierarchyEdgeCount > 0) {
            GraphicsMemory::noteFailure();
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void RenderImplementation::UpdateSelection() {
    std::cout << "Update Selection\n";
    // A drag across one object selects it again and again; its highlight is already drawn.
    const SelectionHighlight& h = m_highlight;
    if (h.view == m_viewType && h.type == m_selection->m_type && h.object == selectedObject() &&
        h.colors == highlightColors() &&
        (h.type != Selection::RELATION_EDGE || h.curve == m_selection->m_currentCurve)) {
        return;
    }
    // Whatever the last selection recoloured gets its own colours back, in the view it was
    // drawn in, before the new selection is drawn: nothing lingers.
    undoHighlight();
    applyHighlight();
}

void RenderImplementation::drawOverlay(int milliseconds) {
    if (g_renderStates.overlay) {
        m_overlay.draw(*m_selection, m_highlight, milliseconds, m_surfaceWidth, m_surfaceHeight);
    }
}
