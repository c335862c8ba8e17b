// Curve creation and straightening for a large graph: 100,000 vertices, 200,000 relation edges,
// five views, so one million curves. Targets: creation <= 1.5 s, applyBeta <= 100 ms.
#include "BallonTree.h"
#include "BuildGraph.h"
#include "GraphGenerator.h"
#include "GraphStore.h"
#include "RadialTree.h"
#include "RootedTree.h"
#include "SplineStore.h"
#include "Trace.h"
#include "TreeMap.h"
#include "ViewFactory.h"
#include "View.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Scene {
    std::unique_ptr<GraphStore> graph;
    std::vector<std::unique_ptr<View>> views;
};

Scene& scene() {
    static Scene* s = [] {
        auto* made = new Scene;
        GeneratorParams params;
        params.vertices = 100000;
        params.relations = 200000;
        params.seed = 42;
        setTraceStream(nullptr);
        made->graph = buildGraph(GraphGenerator(params).records());
        made->graph->calculateHierarchy();
        for (auto& view : calculateFiveViews(*made->graph)) made->views.push_back(std::move(view));
        return made;
    }();
    return *s;
}

std::unique_ptr<SplineStore> createCurves() {
    Scene& s = scene();
    auto store = std::make_unique<SplineStore>(int32_t(s.graph->depthCount()));
    View* views[5];
    for (int type = 0; type < 5; ++type) views[type] = s.views[type].get();
    store->addCurvesOfViews(*s.graph, views);
    store->orderByLength();
    return store;
}

SplineStore& sharedStore() {
    static std::unique_ptr<SplineStore> store = createCurves();
    return *store;
}

double peakResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

void BM_CreateCurvesOfFiveViews(benchmark::State& state) {
    scene();
    size_t curves = 0;
    for (auto _ : state) {
        std::unique_ptr<SplineStore> store = createCurves();
        curves = store->curveCount();
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    state.counters["curves"] = double(curves);
    state.counters["peak_MB"] = peakResidentMegabytes();
}
BENCHMARK(BM_CreateCurvesOfFiveViews)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ApplyBetaToAllCurves(benchmark::State& state) {
    SplineStore* store = &sharedStore();
    float beta = 0.25f;
    for (auto _ : state) {
        store->applyBeta(beta);
        beta = beta == 0.25f ? 0.75f : 0.25f;
    }
    state.counters["curves"] = double(store->curveCount());
    state.counters["vector_units"] = SplineCurve::vectorUnitsInUse() ? 1 : 0;
    state.counters["peak_MB"] = peakResidentMegabytes();
}
BENCHMARK(BM_ApplyBetaToAllCurves)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ApplyBetaScalar(benchmark::State& state) {
    SplineStore* store = &sharedStore();
    SplineCurve::useVectorUnits(false);
    for (auto _ : state) store->applyBeta(0.5f);
    SplineCurve::useVectorUnits(true);
}
BENCHMARK(BM_ApplyBetaScalar)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The arithmetic alone: 500 curves spread over the five views, small enough to stay in the
// caches, on one thread. The gap to the full pass (per curve and thread) is waiting on memory.
void BM_ApplyBetaCacheResident(benchmark::State& state) {
    SplineStore& store = sharedStore();
    std::vector<SplineCurve*> sample;
    for (int type = 0; type < 5; ++type) {
        SplineStore::CurveList& list = *store.curvesFor(type);
        for (size_t i = 0; i < 100; ++i) sample.push_back(&list[i * list.size() / 100]);
    }
    for (auto _ : state) {
        for (SplineCurve* curve : sample) curve->applyBeta(0.5f);
    }
    state.counters["ns_per_curve"] =
        benchmark::Counter(double(sample.size()), benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}
BENCHMARK(BM_ApplyBetaCacheResident)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
