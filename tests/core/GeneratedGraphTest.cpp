#include "BuildGraph.h"
#include "GraphGenerator.h"
#include "GraphLoader.h"
#include "TempFiles.h"
#include "Trace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <numeric>

namespace {

std::unique_ptr<GraphStore> buildWithHierarchy(const GraphGenerator& generator) {
    auto store = buildGraph(generator.records());
    setTraceStream(nullptr);
    store->calculateHierarchy();
    setTraceStream(&std::cout);
    return store;
}

std::vector<GeneratorParams> families() {
    std::vector<GeneratorParams> all;
    for (uint64_t seed : {1, 7, 42}) {
        for (uint32_t fanOut : {1, 3, 9}) {
            for (uint32_t maxDepth : {2, 6, 40}) {
                GeneratorParams params;
                params.vertices = 300 + static_cast<uint32_t>(seed) * 11;
                params.fanOut = fanOut;
                params.maxDepth = maxDepth;
                params.relations = 150;
                params.seed = seed;
                params.shuffleIds = seed != 1;
                all.push_back(params);
            }
        }
    }
    return all;
}

std::string describe(const GeneratorParams& p) {
    return "seed " + std::to_string(p.seed) + " fan-out " + std::to_string(p.fanOut) + " depth " +
           std::to_string(p.maxDepth) + (p.shuffleIds ? " shuffled" : "");
}

}  // namespace

TEST(GeneratedGraphs, HierarchyInvariantsHold) {
    for (const GeneratorParams& params : families()) {
        SCOPED_TRACE(describe(params));
        GraphGenerator generator(params);
        auto store = buildWithHierarchy(generator);
        const GraphStore& graph = *store;
        const uint32_t root = generator.rootId();
        ASSERT_EQ(graph.vertexCount(), params.vertices);

        const auto& counts = graph.getHierarchy();
        EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), int64_t{0}),
                  static_cast<int64_t>(params.vertices));
        EXPECT_LE(counts.size(), static_cast<size_t>(params.maxDepth) + 1);

        for (const auto& [id, vertex] : graph.vertices()) {
            const std::vector<uint32_t>& path = vertex->pathToRoot();
            ASSERT_FALSE(path.empty()) << id;
            EXPECT_EQ(path.front(), id);
            EXPECT_EQ(path.back(), root);
            EXPECT_EQ(path.size(), static_cast<size_t>(vertex->getLevel()) + 1);
            for (size_t k = 0; k + 1 < path.size(); ++k) {
                ASSERT_EQ(generator.parents()[path[k]], path[k + 1]) << id;
            }
        }

        for (const auto& [id, edge] : graph.relationEdges()) {
            const std::vector<uint32_t> there = graph.getTreePath(*edge);
            RelationEdge reverse(edge->getEnd(), edge->getStart());
            std::vector<uint32_t> back = graph.getTreePath(reverse);
            std::reverse(back.begin(), back.end());
            ASSERT_EQ(there, back) << "edge " << id;
            EXPECT_EQ(there.front(), edge->getStart()->getId());
            EXPECT_EQ(there.back(), edge->getEnd()->getId());
            // Up to the shallowest vertex, which is the lowest common ancestor, then down; every
            // step joins a parent and a child, and no vertex repeats.
            auto level = [&](uint32_t v) { return graph.getVertex(v)->getLevel(); };
            size_t top = 0;
            for (size_t k = 1; k < there.size(); ++k) {
                if (level(there[k]) < level(there[top])) top = k;
            }
            for (size_t k = 0; k + 1 < there.size(); ++k) {
                const uint32_t a = there[k], b = there[k + 1];
                ASSERT_TRUE(k < top ? generator.parents()[a] == b : generator.parents()[b] == a)
                    << "edge " << id << " step " << k;
            }
            std::vector<uint32_t> sorted = there;
            std::sort(sorted.begin(), sorted.end());
            EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
        }
    }
}

TEST(GeneratedGraphs, RsfAndXmlOfOneGraphLoadToIdenticalStores) {
    TempFiles files;
    for (bool shuffle : {false, true}) {
        GeneratorParams params;
        params.vertices = 2'000;
        params.relations = 3'000;
        params.fanOut = 5;
        params.maxDepth = 9;
        params.seed = 5;
        params.shuffleIds = shuffle;
        GraphGenerator generator(params);
        {
            std::ofstream rsf(files.path("g.rsf"));
            generator.writeRsf(rsf);
            std::ofstream xml(files.path("g.xml"));
            generator.writeXml(xml);
        }
        setTraceStream(nullptr);
        LoadResult fromRsf = GraphLoader::load(files.path("g.rsf"));
        LoadResult fromXml = GraphLoader::load(files.path("g.xml"));
        setTraceStream(&std::cout);
        ASSERT_TRUE(fromRsf.ok()) << fromRsf.error;
        ASSERT_TRUE(fromXml.ok()) << fromXml.error;
        const GraphStore& a = *fromRsf.graph;
        const GraphStore& b = *fromXml.graph;
        ASSERT_EQ(a.vertexCount(), b.vertexCount());
        EXPECT_EQ(a.getRoot()->getId(), b.getRoot()->getId());
        EXPECT_EQ(a.getHierarchy(), b.getHierarchy());
        for (const auto& [id, vertex] : a.vertices()) {
            const VertexPtr other = b.getVertex(id);
            ASSERT_TRUE(other);
            EXPECT_EQ(vertex->getName(), other->getName());
            EXPECT_EQ(vertex->getLevel(), other->getLevel());
            EXPECT_EQ(vertex->pathToRoot(), other->pathToRoot());
            ASSERT_EQ(vertex->getChildCount(), other->getChildCount());
            for (size_t c = 0; c < vertex->getChildCount(); ++c) {
                EXPECT_EQ(vertex->getChild(c)->getId(), other->getChild(c)->getId());
            }
        }
        ASSERT_EQ(a.relationEdgeCount(), b.relationEdgeCount());
        ASSERT_EQ(a.hierarchyEdgeCount(), b.hierarchyEdgeCount());
        for (const auto& [id, edge] : a.relationEdges()) {
            EXPECT_EQ(edge->getStart()->getId(), b.getRelationEdge(id)->getStart()->getId());
            EXPECT_EQ(edge->getEnd()->getId(), b.getRelationEdge(id)->getEnd()->getId());
        }
        EXPECT_EQ(a.relationEdgeCount(), params.relations);
    }
}
