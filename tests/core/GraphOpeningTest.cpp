#include "BallonTree.h"
#include "GraphGenerator.h"
#include "GraphLoader.h"
#include "GraphOpening.h"
#include "RadialTree.h"
#include "RootedTree.h"
#include "TempFiles.h"
#include "Trace.h"
#include "TreeMap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <sstream>
#include <thread>

namespace {

std::string generatedRsf(const TempFiles& files) {
    GeneratorParams params;
    params.vertices = 3000;
    params.relations = 4000;
    params.seed = 7;
    params.shuffleIds = true;
    std::ostringstream text;
    GraphGenerator(params).writeRsf(text);
    return files.write("generated.rsf", text.str());
}

// The five layouts of graph computed the way the main thread always has: through g_graph.
std::array<std::unique_ptr<View>, 5> publishedLayouts(GraphStore* graph) {
    GraphStore* const kept = g_graph;
    g_graph = graph;
    std::array<std::unique_ptr<View>, 5> views = {
        std::make_unique<RootedTree>(), std::make_unique<BallonTree>(),
        std::make_unique<TreeMap>(0), std::make_unique<TreeMap>(1), std::make_unique<RadialTree>()};
    for (auto& view : views) view->calculate();
    g_graph = kept;
    return views;
}

bool sameBits(const View& a, const View& b) {
    if (a.records().size() != b.records().size()) return false;
    for (auto i = a.records().begin(), j = b.records().begin(); i != a.records().end(); ++i, ++j) {
        if (i->first != j->first ||
            std::memcmp(&i->second, &j->second, sizeof(LayoutRecord)) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

// Opened on another thread while g_graph holds a different graph, as the viewer opens files in
// the background: the layouts are those of the file, bit for bit, and g_graph is left alone.
TEST(GraphOpening, LaysOutTheFileOnAnyThreadWithoutTouchingThePublishedGraph) {
    TempFiles files;
    const std::string path = generatedRsf(files);
    setTraceStream(nullptr);
    LoadResult shown = GraphLoader::load(RAMIFLEX_SOURCE_DIR "/data/tiny.rsf");
    ASSERT_TRUE(shown.ok());
    g_graph = shown.graph.get();

    std::vector<int> phases;
    OpenedGraph opened;
    std::thread([&] {
        opened = GraphOpening::open(path, [&](int phase) {
            phases.push_back(phase);
            return true;
        });
    }).join();
    EXPECT_EQ(g_graph, shown.graph.get());
    ASSERT_TRUE(opened.ok()) << opened.error;
    EXPECT_FALSE(opened.cancelled);
    EXPECT_EQ(opened.graph->vertexCount(), 3000u);
    EXPECT_EQ(phases, std::vector<int>({0, 1, 2, 3, 4, 5, 6, 7, 8}));

    LoadResult loaded = GraphLoader::load(path);
    const auto expected = publishedLayouts(loaded.graph.get());
    for (int type = 0; type < 5; ++type) {
        ASSERT_NE(opened.views[type], nullptr);
        EXPECT_GT(opened.views[type]->records().size(), 0u) << "view " << type;
        EXPECT_TRUE(sameBits(*opened.views[type], *expected[type])) << "view " << type;
    }
    g_graph = nullptr;
    setTraceStream(&std::cout);
}

// Stopped as any phase starts, an opening ends cancelled with nothing built and no error; the
// weights of the progress shown rise from 0 towards 1 and every phase has a name.
TEST(GraphOpening, StopsAtEveryPhaseLeavingNothingBehind) {
    TempFiles files;
    const std::string path = generatedRsf(files);
    setTraceStream(nullptr);
    for (int stop = 0; stop < GraphOpening::kPhaseCount; ++stop) {
        int heard = 0;
        const OpenedGraph opened = GraphOpening::open(path, [&](int phase) {
            EXPECT_EQ(phase, heard);
            ++heard;
            return phase != stop;
        });
        EXPECT_TRUE(opened.cancelled) << "stopped at " << stop;
        EXPECT_FALSE(opened.ok());
        EXPECT_TRUE(opened.error.empty()) << opened.error;
        EXPECT_EQ(heard, stop + 1);
        for (const auto& view : opened.views) EXPECT_EQ(view, nullptr) << "stopped at " << stop;
        EXPECT_STRNE(GraphOpening::phaseName(stop), "");
        EXPECT_LT(GraphOpening::fractionAt(stop), GraphOpening::fractionAt(stop + 1));
    }
    EXPECT_EQ(GraphOpening::fractionAt(0), 0.0);
    EXPECT_EQ(GraphOpening::fractionAt(GraphOpening::kPhaseCount), 1.0);
    // A failing file fails in its phase with the loader's error, not as a cancel.
    const OpenedGraph missing =
        GraphOpening::open(files.path("missing.rsf"), [](int) { return true; });
    EXPECT_FALSE(missing.cancelled);
    EXPECT_NE(missing.error.find("missing.rsf"), std::string::npos) << missing.error;
    setTraceStream(&std::cout);
}
