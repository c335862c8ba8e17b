#pragma once
// The graph and layout sections of ramiflex-export: one function per section, each writing
// tab-separated lines with every number as "%.9g", in the order the tool writes them.

#include "BallonTree.h"
#include "GraphStore.h"
#include "RadialTree.h"
#include "RootedTree.h"
#include "TreeMap.h"
#include "View.h"
#include "ViewFactory.h"
#include "ViewType.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <memory>
#include <string>

namespace exportlayouts {

// The five views of a graph in view-code order.
using Views = std::array<std::unique_ptr<View>, 5>;

// Appends "%.9g" of value and then the separator (none when it is 0). to_chars in general
// format with a precision converts as printf does, several times faster than snprintf, which
// matters for the tens of millions of numbers of a large graph.
inline void appendField(std::string& line, double value, char separator) {
    char text[40];
    const std::to_chars_result result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 9);
    line.append(text, result.ptr);
    if (separator) line.push_back(separator);
}

inline void flushLine(std::FILE* out, const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), out);
}

// Creates and computes the five views of graph in view-code order, as opening a file does.
inline Views computeViews(const GraphStore& graph) { return calculateFiveViews(graph); }

// graph <TAB> vertices <TAB> hierarchy edges <TAB> relation edges <TAB> root id
inline void writeGraphLine(std::FILE* out, const GraphStore& graph) {
    std::string line = "graph\t";
    appendField(line, static_cast<double>(graph.vertexCount()), '\t');
    appendField(line, static_cast<double>(graph.hierarchyEdgeCount()), '\t');
    appendField(line, static_cast<double>(graph.relationEdgeCount()), '\t');
    appendField(line, graph.getRoot() ? graph.getRoot()->getId() : 0, '\n');
    flushLine(out, line);
}

// depths <TAB> count at depth 0 <TAB> count at depth 1 ...
inline void writeDepthsLine(std::FILE* out, const GraphStore& graph) {
    std::string line = "depths";
    for (int32_t count : graph.getHierarchy()) {
        line.push_back('\t');
        appendField(line, count, 0);
    }
    line.push_back('\n');
    flushLine(out, line);
}

// record <TAB> view <TAB> id <TAB> x y z r g b a (tab-separated), every view, ids ascending.
inline void writeRecordLines(std::FILE* out, const Views& views) {
    std::string line;
    for (size_t v = 0; v < views.size(); ++v) {
        for (const auto& [id, record] : views[v]->records()) {
            line = "record\t";
            appendField(line, static_cast<double>(v), '\t');
            appendField(line, id, '\t');
            appendField(line, record.x, '\t');
            appendField(line, record.y, '\t');
            appendField(line, record.z, '\t');
            appendField(line, record.r, '\t');
            appendField(line, record.g, '\t');
            appendField(line, record.b, '\t');
            appendField(line, record.a, '\n');
            flushLine(out, line);
        }
    }
}

// balloon <TAB> id <TAB> radius <TAB> inner radius <TAB> angle <TAB> perimeter, ids ascending.
inline void writeBalloonLines(std::FILE* out, const BallonTree& view) {
    std::string line;
    for (const auto& [id, balloon] : view.balloons()) {
        line = "balloon\t";
        appendField(line, id, '\t');
        appendField(line, balloon->m_radius, '\t');
        appendField(line, balloon->m_innerRadius, '\t');
        appendField(line, balloon->m_angle, '\t');
        appendField(line, balloon->m_perimeter, '\n');
        flushLine(out, line);
    }
}

// cell <TAB> view <TAB> id <TAB> width <TAB> height <TAB> strips, ids ascending; strips lists the
// child ids of each strip joined by ',' and the strips joined by '|' (empty for a leaf).
inline void writeCellLines(std::FILE* out, size_t viewCode, const TreeMap& view) {
    std::string line;
    for (const auto& [id, cell] : view.mapVertices()) {
        line = "cell\t";
        appendField(line, static_cast<double>(viewCode), '\t');
        appendField(line, id, '\t');
        appendField(line, cell->getWidth(), '\t');
        appendField(line, cell->getHeight(), '\t');
        for (size_t s = 0; s < cell->stripCount(); ++s) {
            if (s > 0) line.push_back('|');
            const Strip& strip = *cell->getStrip(s);
            for (size_t k = 0; k < strip.vertexCount(); ++k) {
                if (k > 0) line.push_back(',');
                appendField(line, strip.getVertex(k)->getId(), 0);
            }
        }
        line.push_back('\n');
        flushLine(out, line);
    }
}

// Everything up to the curve section, in the tool's order.
inline void writeLayoutSections(std::FILE* out, const GraphStore& graph, const Views& views) {
    writeGraphLine(out, graph);
    writeDepthsLine(out, graph);
    writeRecordLines(out, views);
    writeBalloonLines(out, static_cast<const BallonTree&>(*views[VIEW_BALLON_TREE]));
    writeCellLines(out, VIEW_SLICE_AND_DICE,
                   static_cast<const TreeMap&>(*views[VIEW_SLICE_AND_DICE]));
    writeCellLines(out, VIEW_STRIP_TREEMAP,
                   static_cast<const TreeMap&>(*views[VIEW_STRIP_TREEMAP]));
}

}  // namespace exportlayouts
