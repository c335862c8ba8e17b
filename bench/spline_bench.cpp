// Curve creation and straightening for a large graph: 100,000 vertices, 200,000 relation edges,
// five views, so one million curves.
#include "BuildGraph.h"
#include "GraphGenerator.h"
#include "GraphStore.h"
#include "SplineStore.h"
#include "Trace.h"
#include "View.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

// Stand-in for the real layouts: spreads vertices by id, depth along y (type 0) or in the x-z
// plane (the others), which is all the curves read.
class StandInView : public View {
public:
    explicit StandInView(int type) : m_type(type) {}
    void calculate() override {
        const float depths = float(g_graph->depthCount());
        const float count = float(g_graph->vertexCount());
        for (const auto& [id, vertex] : g_graph->vertices()) {
            LayoutRecord& r = record(id);
            const float depth = float(vertex->getLevel()) / depths;
            const float along = float(id) / count;
            if (m_type == 0) {
                r = {along, depth, 0, 1, 0, 0, 0.2f};
            } else {
                const float angle = 6.2831853f * along + 0.1f * m_type;
                r = {depth * std::cos(angle), 0, depth * std::sin(angle), 1, 0, 0, 0.8f};
            }
        }
    }

private:
    int m_type;
};

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
        g_graph = made->graph.get();
        for (int type = 0; type < 5; ++type) {
            made->views.push_back(std::make_unique<StandInView>(type));
            made->views.back()->calculate();
        }
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

}  // namespace

BENCHMARK_MAIN();
