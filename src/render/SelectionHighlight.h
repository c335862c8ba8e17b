#pragma once

#include <array>
#include <cstdint>
#include <vector>

// What the renderer has recoloured for the current selection, so that the next selection, a
// view switch or a colour change can put exactly that back: the picked hierarchy edge (in every
// view's buffers), the picked curve and the relation curves of a picked vertex (in the list of
// the view they were coloured in), with the colours and view they were drawn for.
struct SelectionHighlight {
    // The colours a highlight depends on: hierarchy, relation start and end, selection,
    // outgoing and incoming edges.
    using Colors = std::array<std::array<float, 4>, 6>;

    bool hierarchyEdge = false;
    int curveView = -1;
    int32_t curve = -1;
    int edgesView = -1;
    std::vector<int32_t> edgeCurves;
    // Relation edges at the selected vertex, for the overlay.
    uint32_t incoming = 0;
    uint32_t outgoing = 0;

    // Drawn for this selected object (type and address) in this view with these colours; view
    // -1 when nothing has been drawn yet.
    int32_t type = -1;
    const void* object = nullptr;
    int view = -1;
    Colors colors{};
};
