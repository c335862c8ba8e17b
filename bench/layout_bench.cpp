// All five layouts of a generated graph of a million vertices; the target is two seconds for
// the five together. Argument 0 numbers the vertices breadth-first as the generator grows them,
// argument 1 shuffles the ids, which scatters every walk in id order over memory.
#include "BallonTree.h"
#include "BuildGraph.h"
#include "GraphGenerator.h"
#include "RadialTree.h"
#include "RootedTree.h"
#include "Trace.h"
#include "TreeMap.h"
#include "ViewFactory.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

GraphStore& millionVertexGraph(bool shuffled) {
    static std::unique_ptr<GraphStore> stores[2];
    std::unique_ptr<GraphStore>& store = stores[shuffled ? 1 : 0];
    if (!store) {
        setTraceStream(nullptr);
        GeneratorParams params;
        params.vertices = 1'000'000;
        params.fanOut = 6;
        params.maxDepth = 12;
        params.relations = 0;
        params.seed = 7;
        params.shuffleIds = shuffled;
        store = buildGraph(GraphGenerator(params).records());
        store->calculateHierarchy();
    }
    return *store;
}

template <typename Make>
void runLayout(benchmark::State& state, Make make) {
    const GraphStore& graph = millionVertexGraph(state.range(0) != 0);
    for (auto _ : state) {
        std::unique_ptr<View> view = make(graph);
        view->calculate();
        benchmark::DoNotOptimize(view->records().size());
        // Releasing a replaced file's views happens when the next file is opened.
        state.PauseTiming();
        view.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(graph.vertexCount()));
}

void BM_RootedTree(benchmark::State& state) {
    runLayout(state, [](const GraphStore& g) { return std::make_unique<RootedTree>(g); });
}
void BM_BallonTree(benchmark::State& state) {
    runLayout(state, [](const GraphStore& g) { return std::make_unique<BallonTree>(g); });
}
void BM_SliceAndDice(benchmark::State& state) {
    runLayout(state, [](const GraphStore& g) {
        return std::make_unique<TreeMap>(g, TreeMap::SLICE_AND_DICE);
    });
}
void BM_StripTreeMap(benchmark::State& state) {
    runLayout(state,
              [](const GraphStore& g) { return std::make_unique<TreeMap>(g, TreeMap::STRIPS); });
}
void BM_RadialTree(benchmark::State& state) {
    runLayout(state, [](const GraphStore& g) { return std::make_unique<RadialTree>(g); });
}

// The five views in view-code order, as a file is opened.
void BM_AllFiveLayouts(benchmark::State& state) {
    const GraphStore& graph = millionVertexGraph(state.range(0) != 0);
    for (auto _ : state) {
        auto views = calculateFiveViews(graph);
        benchmark::DoNotOptimize(views[4]->records().size());
        state.PauseTiming();
        for (auto& view : views) view.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_RootedTree)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BallonTree)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SliceAndDice)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StripTreeMap)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RadialTree)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllFiveLayouts)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
