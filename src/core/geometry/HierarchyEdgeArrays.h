#pragma once

#include <cstdint>
#include <vector>

class GraphStore;
class View;

// The vertex arrays of one layout's hierarchy edges, two vertices per edge in edge-id order, as
// the renderer uploads them: positions (x, 1 - y, z) of the ends' layout records, their colours
// (r, g, b, 1), and the picking code (0, id / count, 0, 1) of the edge on both ends. Built off
// the window's thread; the renderer only copies them to the GL.
struct HierarchyEdgeArrays {
    std::vector<float> positions;  // 3 per vertex
    std::vector<float> colors;     // 4 per vertex
    std::vector<float> codes;      // 4 per vertex, the same in every layout

    uint32_t edgeCount() const { return static_cast<uint32_t>(positions.size() / 6); }

    // An end whose vertex the layout did not place takes the all-zero record, as reading the
    // layout's record for it would give.
    static HierarchyEdgeArrays build(const GraphStore& graph, const View& view, bool withCodes);
};
