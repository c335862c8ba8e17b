#include "TreeMap.h"

#include "OpeningWatch.h"

#include "AscendingInserter.h"
#include "GraphStore.h"
#include "LayoutSupport.h"
#include "Trace.h"

#include <boost/make_shared.hpp>

#include <algorithm>

namespace {

TreeMap::Continuation childContinuation(TreeMap::Continuation continuation) {
    switch (continuation) {
        case TreeMap::Continuation::SliceHorizontal:
            return TreeMap::Continuation::SliceVertical;
        case TreeMap::Continuation::SliceVertical:
            return TreeMap::Continuation::SliceHorizontal;
        default:
            return continuation;
    }
}

LayoutRecord treemapRecord(float x, float y, float z) {
    return LayoutRecord{x, y, z, 0.0f, 1.0f, 1.0f, 1.0f};
}

// One frame per rectangle whose children are being sized: the call stack of the recursive
// formulation of subdivide, kept on the heap. Besides the sizes in double it carries the float
// corner of the next cell, advanced by the float cell width and strip height.
struct Frame {
    MapVertex* cell;
    TreeMap::Continuation continuation;
    size_t strip;
    size_t item;
    double stripHeight;
    double cellWidth;
    float left;  // the rectangle's own corner x
    float x;
    float z;
};

Frame frameOf(MapVertex* cell, TreeMap::Continuation continuation, float x, float z) {
    return Frame{cell,
                 continuation,
                 0,
                 0,
                 cell->getHeight() / static_cast<double>(cell->stripCount()),
                 0.0,
                 x,
                 x,
                 z};
}

// The frame's next child, strip by strip, with the cell width of its strip and the corner moved
// to the start of a new strip; null once the rectangle has no more.
const VertexPtr* nextChild(Frame& frame) {
    while (frame.strip < frame.cell->stripCount()) {
        const Strip& strip = *frame.cell->getStrip(frame.strip);
        if (frame.item >= strip.vertexCount()) {
            ++frame.strip;
            frame.item = 0;
            frame.x = frame.left;
            frame.z = frame.z + static_cast<float>(frame.stripHeight);
            continue;
        }
        if (frame.item == 0) {
            frame.cellWidth = frame.cell->getWidth() / static_cast<double>(strip.vertexCount());
        }
        return &strip.getVertex(frame.item++);
    }
    return nullptr;
}

// Publishes the new rectangles in ascending id order.
void publish(std::map<uint32_t, MapVertexPtr>& cells, const std::vector<MapVertexPtr>& byId,
             std::vector<uint32_t>& created, size_t count) {
    if (created.size() * 8 >= count) {
        std::vector<uint8_t> isNew(count, 0);
        for (uint32_t id : created) isNew[id] = 1;
        created.clear();
        for (uint32_t id = 0; id < count; ++id) {
            if (isNew[id]) created.push_back(id);
        }
    } else {
        std::sort(created.begin(), created.end());
    }
    AscendingInserter inserter(cells);
    for (uint32_t id : created) inserter.assign(id, byId[id]);
}

}  // namespace

TreeMap::TreeMap(const GraphStore& graph, int32_t mode)
    : View(graph),
      m_mode(mode),
      m_cellPool(ObjectPool<MapVertex>::create()),
      m_stripPool(ObjectPool<Strip>::create()) {}

void TreeMap::calculate() {
    const GraphStore* graph = &this->graph();
    if (!graph->getRoot()) return;
    const VertexPtr root = graph->getRoot();
    const size_t count = graph->vertexCount();
    if (root->getId() >= count) return;
    m_mapVertices.emplace(root->getId(),
                          ObjectPool<MapVertex>::make(m_cellPool, root, 1.0, 1.0, m_stripPool));
    m_byId.clear();
    const MapVertexPtr rootCell = m_mapVertices[root->getId()];

    Placement placement;
    placement.records.resize(count);
    placement.written.assign(count, 0);
    // The root's rectangle is the unit square with its corner at the origin.
    LayoutRecord& rootRecord = placement.records[root->getId()];
    rootRecord = treemapRecord(0.0f + static_cast<float>(0.5 * rootCell->getWidth()), 0.5f,
                               0.0f + static_cast<float>(0.5 * rootCell->getHeight()));
    placement.written[root->getId()] = 1;
    if (m_mode == SLICE_AND_DICE) {
        group(*rootCell, Continuation::SliceHorizontal);
        subdivide(rootCell, Continuation::SliceVertical, &placement, 0.0f, 0.0f);
    } else if (m_mode == STRIPS) {
        groupStrips(*rootCell);
        subdivide(rootCell, Continuation::Strips, &placement, 0.0f, 0.0f);
    }
    m_records.assign(std::move(placement.records), std::move(placement.written));
    // The index is only needed while laying out; the map is what readers use.
    m_byId.clear();
    m_byId.shrink_to_fit();
}

void TreeMap::group(MapVertex& vertex, Continuation continuation) {
    const auto& children = vertex.getVertex()->children();
    switch (continuation) {
        case Continuation::SliceHorizontal:
            // All children side by side along x in one strip.
            vertex.lastStrip()->reserve(vertex.lastStrip()->vertexCount() + children.size());
            for (const VertexPtr& child : children) vertex.lastStrip()->addVertex(child);
            break;
        case Continuation::SliceVertical:
            // Every child a strip of its own, stacked along z.
            if (!children.empty()) vertex.reserveStrips(vertex.stripCount() + children.size() - 1);
            for (size_t i = 0; i < children.size(); ++i) {
                if (i > 0) vertex.addStrip();
                vertex.lastStrip()->addVertex(children[i]);
            }
            break;
        case Continuation::Strips:
            groupStrips(vertex);
            break;
    }
}

void TreeMap::groupStrips(MapVertex& vertex) {
    const auto& children = vertex.getVertex()->children();
    if (children.empty()) return;
    std::ostream& out = trace();
    const bool tracing = out.good();
    // The decisions depend only on the counts of strips and of cells in the last strip, so they
    // are made on counts first and the strips filled afterwards, each allocated once.
    const double width = vertex.getWidth();
    const double height = vertex.getHeight();
    size_t strips = vertex.stripCount();
    size_t cells = vertex.lastStrip()->vertexCount() + 1;
    m_stripSizes.assign(1, 1);
    double ratio = MapVertex::aspectRatio(width, height, strips, cells);
    for (size_t i = 1; i < children.size(); ++i) {
        double candidate = MapVertex::aspectRatio(width, height, strips, cells + 1);
        if (tracing) out << "Aspect Ratio: " << candidate << '\n';
        // Only a strictly squarer row keeps the child; otherwise it opens a new strip. Earlier
        // strips are never revisited.
        if (ratio > candidate) {
            ++cells;
            ++m_stripSizes.back();
        } else {
            ++strips;
            cells = 1;
            m_stripSizes.push_back(1);
            candidate = MapVertex::aspectRatio(width, height, strips, cells);
        }
        ratio = candidate;
    }

    vertex.reserveStrips(vertex.stripCount() + m_stripSizes.size() - 1);
    size_t next = 0;
    for (size_t s = 0; s < m_stripSizes.size(); ++s) {
        if (s > 0) vertex.addStrip();
        Strip& strip = *vertex.lastStrip();
        strip.reserve(strip.vertexCount() + m_stripSizes[s]);
        for (uint32_t k = 0; k < m_stripSizes[s]; ++k) strip.addVertex(children[next++]);
    }
}

void TreeMap::syncIndex() {
    const size_t count = graph().vertexCount();
    if (m_byId.size() == count) return;
    m_byId.assign(count, MapVertexPtr());
    for (const auto& [id, cell] : m_mapVertices) {
        if (id < count) m_byId[id] = cell;
    }
}

void TreeMap::subdivide(const MapVertexPtr& vertex, Continuation continuation, Placement* placement,
                        float x, float z) {
    const size_t count = graph().vertexCount();
    syncIndex();

    std::vector<Frame> stack;
    std::vector<uint32_t> created;
    stack.push_back(frameOf(vertex.get(), continuation, x, z));
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const VertexPtr* child = nextChild(frame);
        if (!child) {
            stack.pop_back();
            continue;
        }
        const uint32_t id = (*child)->getId();
        if (id >= count) continue;
        OpeningWatch::step(created.size(), count);
        // An id that already has a rectangle keeps it.
        if (!m_byId[id]) {
            m_byId[id] = ObjectPool<MapVertex>::make(m_cellPool, *child, frame.cellWidth,
                                                     frame.stripHeight, m_stripPool);
            created.push_back(id);
        }
        MapVertex* cell = m_byId[id].get();
        const float cornerX = frame.x;
        const float cornerZ = frame.z;
        frame.x = frame.x + static_cast<float>(frame.cellWidth);
        if (placement) {
            placement->records[id] =
                treemapRecord(cornerX + static_cast<float>(0.5 * cell->getWidth()), 0.5f,
                              cornerZ + static_cast<float>(0.5 * cell->getHeight()));
            placement->written[id] = 1;
        }
        const Continuation next = frame.continuation;
        group(*cell, next);
        // frame is not used past this point: the push may move it.
        stack.push_back(frameOf(cell, childContinuation(next), cornerX, cornerZ));
    }
    publish(m_mapVertices, m_byId, created, count);
}
