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

std::string RenderImplementation::overlayField(long long value) {
    // The overlay's fields are six-byte buffers: at most five characters show.
    std::string text = std::to_string(value);
    if (text.size() > 5) text.resize(5);
    return text;
}

std::string RenderImplementation::visibleText(const std::string& text, float x, float size,
                                              int width) {
    // Each glyph moves the pen 7.4 units before the scale; the first one starts at x.
    const double advance = 7.4 * size;
    if (!(advance > 0) || x >= width) return {};
    const size_t fits = static_cast<size_t>(std::ceil((width - x) / advance));
    return text.size() <= fits ? text : text.substr(0, fits);
}

std::string RenderImplementation::frameTimeText(int milliseconds) {
    // Frames are drawn only when something changes, so a rate would describe no real second.
    milliseconds = std::max(milliseconds, 0);
    char text[16];
    if (milliseconds < 10000) {
        std::snprintf(text, sizeof text, "%d ms", milliseconds);
    } else {
        std::snprintf(text, sizeof text, "%.1f s", std::min(milliseconds / 1000.0, 9999.0));
    }
    return text;
}

std::string RenderImplementation::overlayLine(int row) const {
    const Selection& s = *m_selection;
    auto edgeLines = [&](const Edge& edge, const char* type) -> std::string {
        const VertexPtr start = edge.getStart(), end = edge.getEnd();
        switch (row) {
            case 0:
                return type;
            case 1:
                return "ID: " + overlayField(edge.getId());
            case 2:
                return "Start: " + overlayField(start->getId()) + " " + start->getName();
            case 3:
                return "End: " + overlayField(end->getId()) + " " + end->getName();
            default:
                return "";
        }
    };
    if (s.m_type == Selection::VERTEX && s.m_vertex) {
        switch (row) {
            case 0:
                return "Type: Vertex";
            case 1:
                return "ID: " + overlayField(s.m_vertex->getId());
            case 2:
                return "Name: " + s.m_vertex->getName();
            case 3:
                return "In: " + overlayField(m_highlight.incoming) +
                       "  Out: " + overlayField(m_highlight.outgoing);
            default:
                return "";
        }
    }
    if (s.m_type == Selection::HIERARCHY_EDGE && s.m_hierarchyEdge) {
        return edgeLines(*s.m_hierarchyEdge, "Type: Hierarchy Edge");
    }
    if (s.m_type == Selection::RELATION_EDGE && s.m_relationEdge) {
        return edgeLines(*s.m_relationEdge, "Type: Relation Edge");
    }
    switch (row) {
        case 0:
            return "Type: ";
        case 1:
            return "ID:";
        default:
            return "";
    }
}

void RenderImplementation::drawOverlay(int milliseconds) {
    if (!g_renderStates.overlay) return;
    glColor4f(1, 1, 1, 1);
    const std::string frameTime = frameTimeText(milliseconds);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, m_font.m_fontTexture);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Placed from the top edge, and the frame time right-aligned at the right edge, of the actual
    // surface; on the default 1024 x 768 the lines sit at y = 730, 710, 690, 670 and the frame
    // time's baseline at y = 713.
    const int width = m_surfaceWidth, height = m_surfaceHeight;
    m_font.setOverlaySize(width, height);
    glViewport(0, 0, width, height);
    for (int row = 0; row < 4; ++row) {
        const float y = static_cast<float>(height - 38 - 20 * row);
        const std::string line = visibleText(overlayLine(row), 5, 0.75f, width);
        if (!line.empty()) m_font.printText(1, 5, y, line.c_str(), 0.75f);
    }
    glColor4f(1, 1, 1, 1);
    // Glyphs of size 1.8 advance 13.32 units; the text ends 8 units short of the edge.
    const float frameTimeX = static_cast<float>(width - 8 - 13.32 * frameTime.size());
    m_font.printText(0, frameTimeX, static_cast<float>(height - 55), frameTime.c_str(), 1.8f);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}
