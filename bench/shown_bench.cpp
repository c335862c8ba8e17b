// The shown graph of a million vertices and two million relation edges: collapsing to a depth,
// excluding by pattern, and choosing the overview depth. Each must stay linear; the target is
// well under a second, so that a double-click shows its new picture within one.
#include "BuildGraph.h"
#include "GraphGenerator.h"
#include "OverviewDepth.h"
#include "ShownGraph.h"
#include "Trace.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const GraphStore& largeGraph() {
    static std::unique_ptr<GraphStore> store;
    if (!store) {
        setTraceStream(nullptr);
        GeneratorParams params;
        params.vertices = 1'000'000;
        params.fanOut = 6;
        params.maxDepth = 12;
        params.relations = 2'000'000;
        params.seed = 7;
        params.shuffleIds = true;
        store = buildGraph(GraphGenerator(params).records());
        store->calculateHierarchy();
    }
    return *store;
}

void collapseToDepth(benchmark::State& state) {
    const GraphStore& full = largeGraph();
    const std::vector<uint32_t> collapsed =
        OverviewDepth::collapsedAt(full, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ShownGraph shown = ShownGraph::build(full, {}, collapsed);
        benchmark::DoNotOptimize(shown.mergedCount());
    }
}
BENCHMARK(collapseToDepth)->Arg(2)->Arg(6)->Unit(benchmark::kMillisecond);

void excludeByPattern(benchmark::State& state) {
    const GraphStore& full = largeGraph();
    for (auto _ : state) {
        ShownGraph shown = ShownGraph::build(full, {"*/v1*", "*[37]"}, {});
        benchmark::DoNotOptimize(shown.mergedCount());
    }
}
BENCHMARK(excludeByPattern)->Unit(benchmark::kMillisecond);

void chooseOverviewDepth(benchmark::State& state) {
    const GraphStore& full = largeGraph();
    for (auto _ : state) benchmark::DoNotOptimize(OverviewDepth::choose(full, {}));
}
BENCHMARK(chooseOverviewDepth)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
