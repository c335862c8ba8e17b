// The overlay's text: what the selection is and how long the last frame took.
#include "OverlayText.h"

#include "GraphStore.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// A line of a picked edge's text.
std::string edgeLine(const Edge& edge, const char* type, int row) {
    const VertexPtr start = edge.getStart(), end = edge.getEnd();
    switch (row) {
        case 0:
            return type;
        case 1:
            return "ID: " + OverlayText::field(edge.getId());
        case 2:
            return "Start: " + OverlayText::field(start->getId()) + " " + start->getName();
        case 3:
            return "End: " + OverlayText::field(end->getId()) + " " + end->getName();
        default:
            return "";
    }
}

}  // namespace

std::string OverlayText::field(long long value) {
    // The overlay's fields are six-byte buffers: at most five characters show.
    std::string text = std::to_string(value);
    if (text.size() > 5) text.resize(5);
    return text;
}

std::string OverlayText::frameTimeText(int milliseconds) {
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

std::string OverlayText::line(const Selection& s, uint32_t incoming, uint32_t outgoing, int row) {
    if (s.m_type == Selection::VERTEX && s.m_vertex) {
        switch (row) {
            case 0:
                return "Type: Vertex";
            case 1:
                return "ID: " + field(s.m_vertex->getId());
            case 2:
                return "Name: " + s.m_vertex->getName();
            case 3:
                return "In: " + field(incoming) + "  Out: " + field(outgoing);
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
