#include "FiveViews.h"
#include "LayoutTestGraph.h"
#include "GraphLoader.h"
#include "GraphWriter.h"
#include "TempFiles.h"

#include <gtest/gtest.h>

#include <numeric>
#include <sstream>

TEST(GeneratedGraphs, HierarchyInvariantsHold) {
    // The layouts' families of fan-outs, depths and seeds, with relation edges.
    for (GeneratorParams params : graphFamily(300, 2)) {
        params.relations = 150;
        SCOPED_TRACE(describe(params));
        GraphGenerator generator(params);
        auto store = builtGraph(generator.records());
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
            for (size_t k = 0; k + 1 < path.size(); ++k)
                ASSERT_EQ(generator.parents()[path[k]], path[k + 1]) << id;
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
            for (size_t k = 1; k < there.size(); ++k)
                if (level(there[k]) < level(there[top])) top = k;
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
        // Vertices, fan-out, depth, relation edges, seed, shuffled ids.
        const GraphGenerator generator({2'000, 5, 9, 3'000, 5, shuffle});
        std::ostringstream rsf, xml, a, b;
        generator.writeRsf(rsf);
        generator.writeXml(xml);
        const LoadResult fromRsf = GraphLoader::load(files.write("g.rsf", rsf.str()));
        const LoadResult fromXml = GraphLoader::load(files.write("g.xml", xml.str()));
        ASSERT_TRUE(fromRsf.ok() && fromXml.ok()) << fromRsf.error << fromXml.error;
        // Written back, both stores give one text: ids, names, root and every edge in order.
        GraphWriter::write(*fromRsf.graph, GraphWriter::Format::Rsf, a);
        GraphWriter::write(*fromXml.graph, GraphWriter::Format::Rsf, b);
        EXPECT_EQ(a.str(), b.str());
        EXPECT_EQ(fromRsf.graph->relationEdgeCount(), 3'000u);
    }
}
