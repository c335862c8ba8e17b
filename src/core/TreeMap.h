#pragma once

#include "MapVertex.h"
#include "View.h"

#include <cstdint>
#include <map>
#include <vector>

// Nested rectangles in the unit square of the x-z plane: each vertex's rectangle is divided
// among its children, either slice-and-dice (mode 0, alternating direction with depth) or in
// strips chosen by aspect ratio (mode 1). Strips of one rectangle share one height and cells of
// one strip one width; subtree sizes play no part.
class TreeMap : public View {
public:
    enum Mode { SLICE_AND_DICE = 0, STRIPS = 1 };

    // How the children of a rectangle are grouped into strips before apportion sizes them.
    enum class Continuation { SliceHorizontal, SliceVertical, Strips };

    explicit TreeMap(int32_t mode);

    void calculate() override;

    // Groups the children of vertex into strips, then apportions it with the opposite direction
    // as continuation: horizontal puts all children in one strip, vertical gives each its own.
    void layoutSliceAndDice(const MapVertexPtr& vertex, bool horizontal);
    // Groups the children of vertex into strips by aspect ratio, then apportions it with strips
    // as continuation.
    void layoutStrips(const MapVertexPtr& vertex);
    // Sizes a rectangle for every child of vertex from its strips and applies the continuation
    // to each, depth first, so the whole subtree is laid out. Walks with an explicit stack:
    // trees may be far deeper than the call stack.
    void apportion(const MapVertexPtr& vertex, Continuation continuation);

    int32_t getMode() const { return m_mode; }
    const std::map<uint32_t, MapVertexPtr>& mapVertices() const { return m_mapVertices; }

protected:
    std::map<uint32_t, MapVertexPtr> m_mapVertices;
    int32_t m_mode;

private:
    // Builds the strips of vertex as the continuation says, without sizing its children.
    void group(MapVertex& vertex, Continuation continuation);
    void groupStrips(MapVertex& vertex);
    // Sizes the index to the graph and fills it from m_mapVertices when it is out of step.
    void syncIndex();
    // The rectangle stored for id, or null. Mirrors m_mapVertices while a layout runs.
    MapVertex* find(uint32_t id) const;
    void placeRecords();

    // m_mapVertices by id while calculating: a million tree lookups per pass would dominate.
    std::vector<MapVertexPtr> m_byId;
};
