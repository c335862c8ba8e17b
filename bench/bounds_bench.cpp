// The box the drawing surface frames, on a graph of a million relation edges: computed on every
// open and every view switch, so it must cost well under a second. Argument 0 is a graph of
// random relation edges (the scan for a curve that leaves the tree stops at once), argument 1
// one whose relation edges all join a vertex and its parent, so that every edge is looked at.
#include "BuildGraph.h"
#include "GraphGenerator.h"
#include "RadialTree.h"
#include "RootedTree.h"
#include "Trace.h"
#include "ViewBounds.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Laid {
    std::unique_ptr<GraphStore> graph;
    std::unique_ptr<View> rooted, radial;
};

Laid& millionEdgeGraph(bool parentEdges) {
    static Laid laid[2];
    Laid& l = laid[parentEdges ? 1 : 0];
    if (!l.graph) {
        setTraceStream(nullptr);
        GeneratorParams params;
        params.vertices = 500'000;
        params.fanOut = 6;
        params.maxDepth = 10;
        params.relations = parentEdges ? 0 : 1'000'000;
        params.seed = 5;
        GraphGenerator generator(params);
        std::vector<DataRecord> records = generator.records();
        if (parentEdges) {
            // Every vertex's parent edge again as a relation edge, round the tree until there
            // are a million.
            const auto& parents = generator.parents();
            size_t added = 0;
            for (uint32_t id = 0; added < 1'000'000; id = (id + 1) % parents.size()) {
                if (parents[id] == id) continue;
                records.push_back({"R", {std::to_string(parents[id]), std::to_string(id)}});
                ++added;
            }
        }
        l.graph = buildGraph(records);
        l.graph->calculateHierarchy();
        l.rooted = std::make_unique<RootedTree>(*l.graph);
        l.radial = std::make_unique<RadialTree>(*l.graph);
        l.rooted->calculate();
        l.radial->calculate();
    }
    return l;
}

void BM_ViewBounds(benchmark::State& state) {
    Laid& laid = millionEdgeGraph(state.range(0) != 0);
    for (auto _ : state) {
        SceneBounds box = ViewBounds::ofView(*laid.graph, *laid.rooted, 0);
        box = ViewBounds::transformed(box, 10, 20, 30, 1.5f);
        benchmark::DoNotOptimize(box);
    }
    state.SetItemsProcessed(state.iterations() *
                            static_cast<int64_t>(laid.graph->relationEdgeCount()));
}

BENCHMARK(BM_ViewBounds)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
