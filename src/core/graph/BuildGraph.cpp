#include "BuildGraph.h"
#include "OpeningWatch.h"

#include "IntegerText.h"

#include <boost/make_shared.hpp>

#include <string_view>
#include <utility>

namespace {

enum class Kind : uint8_t { Other, Root, Vertex, Hierarchy, Relation };

// Compared as views: their == checks the length first, which settles nearly every comparison.
Kind kindOf(std::string_view key) {
    if (key == "H") return Kind::Vertex;
    if (key == "PCR") return Kind::Hierarchy;
    if (key == "R") return Kind::Relation;
    if (key == "Root") return Kind::Root;
    // Every other key, the header statements among them, declares nothing.
    return Kind::Other;
}

// The two vertex ids of an edge record, converted once before building so that the build loop
// can look ahead; ok is false when a value is missing or does not convert.
struct EdgeIds {
    uint32_t start = 0;
    uint32_t end = 0;
    bool ok = false;
};

EdgeIds edgeIds(const DataRecord& record) {
    EdgeIds ids;
    ids.ok = record.values.size() >= 2 && parseStrictUnsigned(record.values[0], ids.start) &&
             parseStrictUnsigned(record.values[1], ids.end);
    return ids;
}

// How many records ahead the ends of an edge are fetched into the cache. Ids arrive in random
// order, so nearly every lookup misses the cache; asking early lets the misses overlap.
constexpr size_t kIndexAhead = 16;
constexpr size_t kVertexAhead = 8;

// A vertex record's vertex, where its values say one.
void addVertex(GraphStore& store, const DataRecord& record) {
    if (record.values.size() < 2) return;
    int32_t id = 0;
    if (parseLenientInt(record.values[0], id) == LenientResult::OutOfRange) return;
    store.addVertex(boost::make_shared<Vertex>(static_cast<uint32_t>(id), record.values[1]));
}

// An edge between two vertices the store holds.
void addEdge(GraphStore& store, Kind kind, const EdgeIds& ends) {
    if (!ends.ok) return;
    VertexPtr start = store.getVertex(ends.start);
    VertexPtr end = store.getVertex(ends.end);
    if (!start || !end) return;
    if (kind == Kind::Hierarchy) {
        auto edge = boost::make_shared<HierarchyEdge>(std::move(start), std::move(end));
        edge->setId(static_cast<uint32_t>(store.hierarchyEdgeCount()));
        store.addHierarchyEdge(edge);
    } else {
        auto edge = boost::make_shared<RelationEdge>(std::move(start), std::move(end));
        edge->setId(static_cast<uint32_t>(store.relationEdgeCount()));
        store.addRelationEdge(edge);
    }
}

}  // namespace

std::unique_ptr<GraphStore> buildGraph(std::vector<DataRecord> records) {
    auto store = std::make_unique<GraphStore>();
    const size_t count = records.size();
    std::vector<Kind> kinds(count);
    std::vector<EdgeIds> ends(count);
    for (size_t i = 0; i < count; ++i) {
        OpeningWatch::step(i, 2 * count);
        kinds[i] = kindOf(records[i].key);
        if (kinds[i] == Kind::Hierarchy || kinds[i] == Kind::Relation)
            ends[i] = edgeIds(records[i]);
    }
    auto prefetch = [&](size_t i, bool vertex) {
        if (i >= count || !ends[i].ok) return;
        store->prefetchVertex(ends[i].start, vertex);
        store->prefetchVertex(ends[i].end, vertex);
    };

    uint32_t rootId = 0;
    for (size_t i = 0; i < count; ++i) {
        OpeningWatch::step(count + i, 2 * count);
        DataRecord& record = records[i];
        switch (kinds[i]) {
            case Kind::Root: {
                uint32_t id = 0;
                if (!record.values.empty() && parseStrictUnsigned(record.values[0], id)) {
                    rootId = id;
                }
                break;
            }
            case Kind::Vertex:
                addVertex(*store, record);
                break;
            case Kind::Hierarchy:
            case Kind::Relation:
                prefetch(i + kIndexAhead, false);
                prefetch(i + kVertexAhead, true);
                addEdge(*store, kinds[i], ends[i]);
                break;
            case Kind::Other:
                break;
        }
        // Done with this record: its values go back to the allocator now, where the vertices
        // and edges still to come reuse them instead of fresh pages.
        std::vector<std::string>().swap(records[i].values);
    }
    store->setRoot(rootId);
    return store;
}
