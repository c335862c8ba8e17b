// Finding vertices by name, and the relation edges at each vertex.
#include "BuildGraph.h"
#include "GraphGenerator.h"
#include "RelationAdjacency.h"
#include "VertexNameIndex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Ids = std::vector<uint32_t>;

// Vertex k is named kNames[k]. Folded and sorted they read: "" (5), "a\tb" (8), "alp" (12),
// "alpha" (1, 4, 9), "alphabet" (2), "beta" (3), "gamma ray" (6), "root" (0), "x" (11),
// "zeta-alpha" (10), "\xC3\x84rger" (7).
const std::vector<std::string> kNames = {"root",       "Alpha",     "alphabet",     "beta", "ALPHA",
                                         "",           "gamma ray", "\xC3\x84rger", "a\tb", "alpha",
                                         "zeta-alpha", "x",         "alp"};

Ids ids(const std::vector<VertexNameIndex::Match>& matches) {
    Ids out;
    for (const auto& m : matches) out.push_back(m.id);
    return out;
}

TEST(VertexNameIndexTest, QueriesOverOddNames) {
    enum Kind { PREFIX, CONTAINS, FIND, NAMED };
    using Query =
        std::vector<VertexNameIndex::Match> (VertexNameIndex::*)(std::string_view, size_t) const;
    const Query kQueries[] = {&VertexNameIndex::startingWith, &VertexNameIndex::containing,
                              &VertexNameIndex::find, &VertexNameIndex::named};
    struct Case {
        Kind kind;
        std::string text;
        size_t limit;
        Ids expected;
    };
    const Case cases[] = {
        {PREFIX, "alp", 10, {12, 1, 4, 9, 2}},
        {PREFIX, "ALP", 3, {12, 1, 4}},  // case ignored, equal names by id, cut at the limit
        {PREFIX, "", 3, {5, 8, 12}},
        {PREFIX, "\xC3\x84", 10, {7}},
        {PREFIX, "\xC3\xA4", 10, {}},  // only ASCII letters are folded
        {PREFIX, "alp", 0, {}},
        {CONTAINS, "pha", 10, {1, 4, 9, 2, 10}},
        {CONTAINS, "A", 3, {8, 12, 1}},
        {CONTAINS, "", 2, {5, 8}},
        {CONTAINS, "pal", 10, {}},               // "alp" then "alpha" laid end to end is no name
        {CONTAINS, "ba", 10, {}},                // nor "a\tb" then "alp"
        {FIND, "al", 10, {12, 1, 4, 9, 2, 10}},  // beginnings first, then the rest
        {FIND, "a", 4, {8, 12, 1, 4}},
        {FIND, "r", 10, {0, 6, 7}},
        {NAMED, "alpha", 10, {1, 4, 9}},
        {NAMED, "ALPHA", 2, {1, 4}},
        {NAMED, "", 10, {5}},
        {NAMED, "al", 10, {}},
    };
    std::vector<DataRecord> records{{"Root", {"0"}}};
    for (size_t k = 0; k < kNames.size(); ++k)
        records.push_back({"H", {std::to_string(k), kNames[k]}});
    const std::unique_ptr<GraphStore> graph = buildGraph(records);
    const VertexNameIndex fromGraph(*graph), fromNames(kNames);
    for (const VertexNameIndex* index : {&fromGraph, &fromNames}) {
        ASSERT_EQ(index->size(), kNames.size());
        for (const Case& c : cases) {
            const auto found = (index->*kQueries[c.kind])(c.text, c.limit);
            EXPECT_EQ(ids(found), c.expected) << "kind " << c.kind << " text \"" << c.text << '"';
            for (const auto& m : found) EXPECT_EQ(m.name, kNames[m.id]) << c.text;
            if (c.kind == PREFIX) {
                EXPECT_EQ(index->countStartingWith(c.text),
                          index->startingWith(c.text, kNames.size()).size())
                    << c.text;
            }
        }
    }
}

TEST(RelationAdjacencyTest, RowsHoldExactlyTheEdgesAtEachEnd) {
    // Vertices, fan-out, depth, relation edges, seed, shuffled ids.
    GeneratorParams params{400, 4, 8, 1500, 11, true};
    std::vector<DataRecord> records = GraphGenerator(params).records();
    // Two edges from a vertex to itself: each is outgoing and incoming at once.
    records.push_back({"R", {"17", "17"}});
    records.push_back({"R", {"17", "17"}});
    const std::unique_ptr<GraphStore> graph = buildGraph(records);
    const RelationAdjacency adjacency(*graph);
    ASSERT_EQ(adjacency.edgeCount(), graph->relationEdgeCount());
    size_t outTotal = 0, inTotal = 0;
    for (uint32_t v = 0; v < graph->vertexCount(); ++v) {
        Ids out, in;
        for (const auto& [id, edge] : graph->relationEdges()) {
            if (edge->getStart()->getId() == v) out.push_back(id);
            if (edge->getEnd()->getId() == v) in.push_back(id);
        }
        const RelationAdjacency::Row outRow = adjacency.outgoing(v), inRow = adjacency.incoming(v);
        EXPECT_EQ(Ids(outRow.begin(), outRow.end()), out) << "vertex " << v;
        EXPECT_EQ(Ids(inRow.begin(), inRow.end()), in) << "vertex " << v;
        outTotal += outRow.size();
        inTotal += inRow.size();
    }
    EXPECT_EQ(outTotal, graph->relationEdgeCount());
    EXPECT_EQ(inTotal, graph->relationEdgeCount());
    const uint32_t loops = static_cast<uint32_t>(graph->relationEdgeCount());
    const RelationAdjacency::Row loopRow = adjacency.outgoing(17);
    EXPECT_EQ(Ids(loopRow.end() - 2, loopRow.end()), (Ids{loops - 2, loops - 1}));
    EXPECT_EQ(adjacency.outgoing(params.vertices).size(), 0u);  // no such vertex
    EXPECT_EQ(RelationAdjacency().incoming(0).size(), 0u);
}

}  // namespace
