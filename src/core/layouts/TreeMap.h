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

    // How the children of a rectangle are grouped into strips before they are sized.
    enum class Continuation { SliceHorizontal, SliceVertical, Strips };

    TreeMap(const GraphStore& graph, int32_t mode);

    void calculate() override;

    int32_t getMode() const { return m_mode; }
    const std::map<uint32_t, MapVertexPtr>& mapVertices() const { return m_mapVertices; }

protected:
    std::map<uint32_t, MapVertexPtr> m_mapVertices;
    int32_t m_mode;

private:
    // Where the walk of subdivide puts the records: centres of the rectangles, by vertex id.
    struct Placement {
        std::vector<LayoutRecord> records;
        std::vector<uint8_t> written;
    };

    // Builds the strips of vertex as the continuation says, without sizing its children.
    void group(MapVertex& vertex, Continuation continuation);
    void groupStrips(MapVertex& vertex);
    // Sizes a rectangle for every child of vertex from its strips and applies the continuation
    // to each, depth first, with an explicit stack (trees may be far deeper than the call stack);
    // with a placement also the record of every rectangle below vertex, whose
    // own corner is (x, z): cells left to right along x, strips along z, each record the centre
    // of its rectangle, in the float arithmetic of a corner pass followed by a centre pass.
    void subdivide(const MapVertexPtr& vertex, Continuation continuation, Placement* placement,
                   float x, float z);
    // Sizes the index to the graph and fills it from m_mapVertices when it is out of step.
    void syncIndex();

    // Rectangles and strips of this layout, allocated together and freed together.
    boost::shared_ptr<ObjectPool<MapVertex>> m_cellPool;
    boost::shared_ptr<ObjectPool<Strip>> m_stripPool;
    // Cells per strip while grouping one rectangle's children; kept to spare an allocation per
    // rectangle.
    std::vector<uint32_t> m_stripSizes;
    // m_mapVertices by id while calculating: a million tree lookups per pass would dominate.
    std::vector<MapVertexPtr> m_byId;
};
