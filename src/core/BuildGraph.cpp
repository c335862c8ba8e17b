#include "BuildGraph.h"

#include "IntegerText.h"

#include <boost/make_shared.hpp>

namespace {

// Looks up both ends of an edge record; false when a value does not convert or names no vertex.
bool edgeEnds(const GraphStore& store, const DataRecord& record, VertexPtr& start, VertexPtr& end) {
    uint32_t startId = 0, endId = 0;
    if (record.values.size() < 2 || !parseStrictUnsigned(record.values[0], startId) ||
        !parseStrictUnsigned(record.values[1], endId)) {
        return false;
    }
    start = store.getVertex(startId);
    end = store.getVertex(endId);
    return start && end;
}

}  // namespace

std::unique_ptr<GraphStore> buildGraph(std::vector<DataRecord> records) {
    auto store = std::make_unique<GraphStore>();
    uint32_t rootId = 0;
    for (const DataRecord& record : records) {
        const std::string& key = record.key;
        if (key == "Root") {
            uint32_t id = 0;
            if (!record.values.empty() && parseStrictUnsigned(record.values[0], id)) rootId = id;
        } else if (key == "H") {
            if (record.values.size() < 2) continue;
            int32_t id = 0;
            if (parseLenientInt(record.values[0], id) == LenientResult::OutOfRange) continue;
            store->addVertex(
                boost::make_shared<Vertex>(static_cast<uint32_t>(id), record.values[1]));
        } else if (key == "PCR") {
            VertexPtr start, end;
            if (!edgeEnds(*store, record, start, end)) continue;
            auto edge = boost::make_shared<HierarchyEdge>(start, end);
            edge->setId(static_cast<uint32_t>(store->hierarchyEdgeCount()));
            store->addHierarchyEdge(edge);
        } else if (key == "R") {
            VertexPtr start, end;
            if (!edgeEnds(*store, record, start, end)) continue;
            auto edge = boost::make_shared<RelationEdge>(start, end);
            edge->setId(static_cast<uint32_t>(store->relationEdgeCount()));
            store->addRelationEdge(edge);
        }
        // Every other key, the header statements among them, declares nothing.
    }
    store->setRoot(rootId);
    return store;
}
