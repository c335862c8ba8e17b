#include "TreeMap.h"

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
    LayoutRecord record;
    record.x = x;
    record.y = y;
    record.z = z;
    record.r = 0.0f;
    record.g = 1.0f;
    record.b = 1.0f;
    record.a = 1.0f;
    return record;
}

}  // namespace

TreeMap::TreeMap(int32_t mode) : m_mode(mode) {}

void TreeMap::calculate() {
    if (!g_graph || !g_graph->getRoot()) return;
    const VertexPtr root = g_graph->getRoot();
    if (root->getId() >= g_graph->vertexCount()) return;
    MapVertexPtr rootCell = boost::make_shared<MapVertex>(root, 1.0, 1.0);
    m_mapVertices.emplace(root->getId(), rootCell);
    m_byId.clear();
    if (m_mode == SLICE_AND_DICE) {
        layoutSliceAndDice(m_mapVertices[root->getId()], true);
    } else if (m_mode == STRIPS) {
        layoutStrips(m_mapVertices[root->getId()]);
    }
    placeRecords();
    // The index is only needed while laying out; the map is what readers use.
    m_byId.clear();
    m_byId.shrink_to_fit();
}

void TreeMap::layoutSliceAndDice(const MapVertexPtr& vertex, bool horizontal) {
    group(*vertex, horizontal ? Continuation::SliceHorizontal : Continuation::SliceVertical);
    apportion(vertex, horizontal ? Continuation::SliceVertical : Continuation::SliceHorizontal);
}

void TreeMap::layoutStrips(const MapVertexPtr& vertex) {
    groupStrips(*vertex);
    apportion(vertex, Continuation::Strips);
}

void TreeMap::group(MapVertex& vertex, Continuation continuation) {
    const auto& children = vertex.getVertex()->children();
    switch (continuation) {
        case Continuation::SliceHorizontal:
            // All children side by side along x in one strip.
            for (const VertexPtr& child : children) vertex.lastStrip()->addVertex(child);
            break;
        case Continuation::SliceVertical:
            // Every child a strip of its own, stacked along z.
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
    vertex.lastStrip()->addVertex(children[0]);
    double ratio = vertex.aspectRatio();
    for (size_t i = 1; i < children.size(); ++i) {
        vertex.lastStrip()->addVertex(children[i]);
        double candidate = vertex.aspectRatio();
        trace() << "Aspect Ratio: " << candidate << '\n';
        // Only a strictly squarer row keeps the child; otherwise it opens a new strip. Earlier
        // strips are never revisited.
        if (!(ratio > candidate)) {
            vertex.lastStrip()->removeLastVertex();
            vertex.addStrip();
            vertex.lastStrip()->addVertex(children[i]);
            candidate = vertex.aspectRatio();
        }
        ratio = candidate;
    }
}

void TreeMap::syncIndex() {
    const size_t count = g_graph->vertexCount();
    if (m_byId.size() == count) return;
    m_byId.assign(count, MapVertexPtr());
    for (const auto& [id, cell] : m_mapVertices) {
        if (id < count) m_byId[id] = cell;
    }
}

MapVertex* TreeMap::find(uint32_t id) const {
    return id < m_byId.size() ? m_byId[id].get() : nullptr;
}

void TreeMap::apportion(const MapVertexPtr& vertex, Continuation continuation) {
    if (!g_graph) return;
    const size_t count = g_graph->vertexCount();
    syncIndex();

    // One frame per rectangle whose children are being sized: the call stack of the recursive
    // formulation, kept on the heap.
    struct Frame {
        MapVertex* cell;
        Continuation continuation;
        size_t strip;
        size_t item;
        double stripHeight;
        double cellWidth;
    };
    std::vector<Frame> stack;
    std::vector<uint32_t> created;
    stack.push_back({vertex.get(), continuation, 0, 0,
                     vertex->getHeight() / static_cast<double>(vertex->stripCount()), 0.0});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.strip >= frame.cell->stripCount()) {
            stack.pop_back();
            continue;
        }
        const Strip& strip = *frame.cell->getStrip(frame.strip);
        if (frame.item >= strip.vertexCount()) {
            ++frame.strip;
            frame.item = 0;
            continue;
        }
        if (frame.item == 0) {
            frame.cellWidth = frame.cell->getWidth() / static_cast<double>(strip.vertexCount());
        }
        const VertexPtr& child = strip.getVertex(frame.item++);
        const uint32_t id = child->getId();
        if (id >= count) continue;
        // An id that already has a rectangle keeps it.
        if (!m_byId[id]) {
            m_byId[id] = boost::make_shared<MapVertex>(child, frame.cellWidth, frame.stripHeight);
            created.push_back(id);
        }
        MapVertex* cell = m_byId[id].get();
        const Continuation next = frame.continuation;
        group(*cell, next);
        // frame is not used past this point: the push may move it.
        stack.push_back({cell, childContinuation(next), 0, 0,
                         cell->getHeight() / static_cast<double>(cell->stripCount()), 0.0});
    }

    // Publish the new rectangles in ascending id order, each insert hinted by the previous one.
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
    auto hint = m_mapVertices.begin();
    for (uint32_t id : created) {
        while (hint != m_mapVertices.end() && hint->first < id) ++hint;
        hint = m_mapVertices.emplace_hint(hint, id, m_byId[id]);
    }
}

void TreeMap::placeRecords() {
    const size_t count = g_graph->vertexCount();
    const uint32_t rootId = g_graph->getRoot()->getId();
    syncIndex();
    MapVertex* rootCell = find(rootId);
    if (!rootCell) return;
    std::vector<LayoutRecord> records(count);
    std::vector<uint8_t> written(count, 0);
    std::vector<MapVertex*> queue;
    queue.reserve(count);

    // Corner pass: every rectangle's smallest x and z, strip by strip and cell by cell.
    records[rootId] = treemapRecord(0.0f, 0.5f, 0.0f);
    written[rootId] = 1;
    queue.push_back(rootCell);
    for (size_t head = 0; head < queue.size(); ++head) {
        const MapVertex& parent = *queue[head];
        const LayoutRecord corner = records[parent.getVertex()->getId()];
        const size_t stripCount = parent.stripCount();
        float z = corner.z;
        for (const StripPtr& strip : parent.getStrips()) {
            const float stripHeight = static_cast<float>(parent.getHeight() / stripCount);
            if (strip->vertexCount() > 0) {
                const float cellWidth =
                    static_cast<float>(parent.getWidth() / strip->vertexCount());
                float x = corner.x;
                for (const VertexPtr& vertex : strip->items()) {
                    const uint32_t id = vertex->getId();
                    if (id >= count) continue;
                    records[id] = treemapRecord(x, corner.y, z);
                    written[id] = 1;
                    if (MapVertex* cell = find(id)) queue.push_back(cell);
                    x = x + cellWidth;
                }
            }
            z = z + stripHeight;
        }
    }

    // Centre pass: move every record from its corner to the middle of its rectangle.
    auto centre = [](LayoutRecord& record, const MapVertex& cell) {
        record.x = record.x + static_cast<float>(0.5 * cell.getWidth());
        record.z = record.z + static_cast<float>(0.5 * cell.getHeight());
    };
    centre(records[rootId], *rootCell);
    queue.clear();
    queue.push_back(rootCell);
    for (size_t head = 0; head < queue.size(); ++head) {
        for (const StripPtr& strip : queue[head]->getStrips()) {
            for (const VertexPtr& vertex : strip->items()) {
                MapVertex* cell = find(vertex->getId());
                if (!cell) continue;
                centre(records[vertex->getId()], *cell);
                queue.push_back(cell);
            }
        }
    }

    layout::storeRecords(m_nodeRecords, records, written);
}
