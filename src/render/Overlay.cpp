// The overlay: the selection's text in the top-left corner, the last frame's time in the
// top-right corner.
#include "Overlay.h"

#include "GraphStore.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

void Overlay::build() { m_font.buildFont(); }

namespace {

// A line of a picked edge's text.
std::string edgeLine(const Edge& edge, const char* type, int row) {
    const VertexPtr start = edge.getStart(), end = edge.getEnd();
    switch (row) {
        case 0:
            return type;
        case 1:
            return "ID: " + Overlay::field(edge.getId());
        case 2:
            return "Start: " + Overlay::field(start->getId()) + " " + start->getName();
        case 3:
            return "End: " + Overlay::field(end->getId()) + " " + end->getName();
        default:
            return "";
    }
}

}  // namespace

std::string Overlay::field(long long value) {
    // The overlay's fields are six-byte buffers: at most five characters show.
    std::string text = std::to_string(value);
    if (text.size() > 5) text.resize(5);
    return text;
}

std::string Overlay::visibleText(const std::string& text, float x, float size, int width) {
    // Each glyph moves the pen 7.4 units before the scale; the first one starts at x.
    const double advance = 7.4 * size;
    if (!(advance > 0) || x >= width) return {};
    const size_t fits = static_cast<size_t>(std::ceil((width - x) / advance));
    return text.size() <= fits ? text : text.substr(0, fits);
}

std::string Overlay::frameTimeText(int milliseconds) {
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

std::string Overlay::line(const Selection& s, const SelectionHighlight& highlight, int row) {
    if (s.m_type == Selection::VERTEX && s.m_vertex) {
        switch (row) {
            case 0:
                return "Type: Vertex";
            case 1:
                return "ID: " + field(s.m_vertex->getId());
            case 2:
                return "Name: " + s.m_vertex->getName();
            case 3:
                return "In: " + field(highlight.incoming) + "  Out: " + field(highlight.outgoing);
            default:
                return "";
        }
    }
    if (s.m_type == Selection::HIERARCHY_EDGE && s.m_hierarchyEdge) {
        return edgeLine(*s.m_hierarchyEdge, "Type: Hierarchy Edge", row);
    }
    if (s.m_type == Selection::RELATION_EDGE && s.m_relationEdge) {
        return edgeLine(*s.m_relationEdge, "Type: Relation Edge", row);
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

void Overlay::draw(const Selection& selection, const SelectionHighlight& highlight,
                   int milliseconds, int width, int height) {
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
    m_font.setOverlaySize(width, height);
    glViewport(0, 0, width, height);
    for (int row = 0; row < 4; ++row) {
        const float y = static_cast<float>(height - 38 - 20 * row);
        const std::string text = visibleText(line(selection, highlight, row), 5, 0.75f, width);
        if (!text.empty()) m_font.printText(1, 5, y, text.c_str(), 0.75f);
    }
    glColor4f(1, 1, 1, 1);
    // Glyphs of size 1.8 advance 13.32 units; the text ends 8 units short of the edge.
    const float frameTimeX = static_cast<float>(width - 8 - 13.32 * frameTime.size());
    m_font.printText(0, frameTimeX, static_cast<float>(height - 55), frameTime.c_str(), 1.8f);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}
