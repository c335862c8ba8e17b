#include "GraphOpening.h"

#include "GraphLoader.h"
#include "OpeningWatch.h"
#include "OverviewDepth.h"
#include "SourceScanner.h"
#include "SplineStore.h"
#include "Trace.h"
#include "ViewFactory.h"
#include "WildcardPattern.h"
#include "VertexExclusion.h"

#include <filesystem>
#include <algorithm>
#include <new>

namespace {

constexpr const char* kPhaseNames[GraphOpening::kPhaseCount] = {
    "Reading",
    "Checking",
    "Building the graph",
    "Building the hierarchy",
    "Laying out: rooted tree",
    "Laying out: balloon tree",
    "Laying out: slice and dice treemap",
    "Laying out: strip treemap",
    "Laying out: radial tree",
    "Preparing the curves",
};

// Share of each phase in opening a generated graph of 100,000 vertices and 200,000 relation
// edges, in percent.
constexpr int kPhaseWeights[GraphOpening::kPhaseCount] = {30, 5, 15, 10, 6, 10, 8, 8, 8, 20};

constexpr const char* kCalculatedTraces[5] = {
    "rootedtree calculated\n", "ballontree calculated\n", "slice and dice calculated\n",
    "treemap calculated\n",    "radialtree calculated\n",
};

// A source folder's graph: scanning stands for reading, checking and building, as a scanned
// tree needs no checks. A cancel throws out of the scan, as out of every long loop of an opening.
LoadResult scanFolder(const std::string& folder, const std::function<bool(int phase)>& stopped) {
    LoadResult result;
    result.cancelled = stopped(0);
    if (result.cancelled) return result;
    ScanOptions options;
    options.root = folder;
    const ScanResult scanned = SourceScanner::scan(options, [] {
        OpeningWatch::step(0, 0);
        return true;
    });
    if (!scanned.error.empty()) {
        result.error = scanned.error;
    } else if (scanned.cancelled || stopped(3)) {
        result.cancelled = true;
    } else {
        trace() << scanned.report();
        result.graph = scanned.toGraph();
    }
    return result;
}

}  // namespace

const char* GraphOpening::phaseName(int phase) {
    return phase >= 0 && phase < kPhaseCount ? kPhaseNames[phase] : "";
}

double GraphOpening::fractionAt(int phase) {
    int total = 0, before = 0;
    for (int i = 0; i < kPhaseCount; ++i) {
        total += kPhaseWeights[i];
        if (i < phase) before += kPhaseWeights[i];
    }
    return double(before) / total;
}

OpenedGraph GraphOpening::open(const std::string& fileName,
                               const std::function<bool(int phase)>& carryOn,
                               const std::atomic<bool>* cancel,
                               const std::function<void(double)>& progress,
                               const ShownRequest* request) {
    return watched(fileName, carryOn, cancel, progress, [&](const auto& phaseStarts) {
        return openAll(fileName, phaseStarts, request);
    });
}

OpenedGraph GraphOpening::watched(
    const std::string& name, const std::function<bool(int phase)>& carryOn,
    const std::atomic<bool>* cancel, const std::function<void(double)>& progress,
    const std::function<OpenedGraph(const std::function<bool(int phase)>&)>& run) {
    std::atomic<int> phaseNow{0};
    OpeningWatch watch(cancel, [&](double share) {
        if (!progress) return;
        const int phase = phaseNow;
        progress(fractionAt(phase) + share * (fractionAt(phase + 1) - fractionAt(phase)));
    });
    const OpeningWatch::Scope scope(&watch);
    auto phaseStarts = [&](int phase) {
        phaseNow = phase;
        watch.startPhase();
        if (cancel && *cancel) return false;
        return !carryOn || carryOn(phase);
    };
    try {
        return run(phaseStarts);
    } catch (const OpeningWatch::Cancelled&) {
        // Stopped inside a phase: whatever was built is freed on the way out.
        OpenedGraph cancelled;
        cancelled.cancelled = true;
        return cancelled;
    } catch (const std::bad_alloc&) {
        // Whatever was built is freed on the way out; the graph on screen is untouched.
        OpenedGraph failed;
        failed.error = name + ": there is not enough memory to open it";
        return failed;
    } catch (const std::exception& problem) {
        // Anything else (a thread that cannot be started, a size beyond what a container holds)
        // would end the program from the opening's thread: it is this file's error instead.
        OpenedGraph failed;
        failed.error = name + ": " + problem.what();
        return failed;
    }
}

OpenedGraph GraphOpening::reshow(const std::shared_ptr<GraphStore>& full,
                                 const ShownRequest& request,
                                 const std::function<bool(int phase)>& carryOn,
                                 const std::atomic<bool>* cancel) {
    return watched("the graph", carryOn, cancel, {}, [&](const auto& phaseStarts) {
        OpenedGraph opened;
        opened.full = full;
        if (!showPart(opened, request)) return opened;
        if (!layOut(opened, *opened.shownStore(), [&](int phase) { return !phaseStarts(phase); })) {
            OpenedGraph cancelled;
            cancelled.cancelled = true;
            return cancelled;
        }
        return opened;
    });
}

bool GraphOpening::showPart(OpenedGraph& opened, const ShownRequest& request) {
    const GraphStore& full = *opened.full;
    opened.request = request;
    ShownRequest& resolved = opened.request;
    if (resolved.passOverRootPatterns && full.getRoot()) {
        const std::string root = full.getRoot()->getName();
        auto& patterns = resolved.patterns;
        patterns.erase(std::remove_if(patterns.begin(), patterns.end(),
                                      [&](const std::string& pattern) {
                                          return WildcardPattern(pattern).matches(root);
                                      }),
                       patterns.end());
        resolved.passOverRootPatterns = false;
    }
    if (!resolved.useCollapsed) {
        int depth = resolved.depth;
        if (depth == ShownRequest::kOverview) {
            std::vector<uint8_t> excluded(full.vertexCount(), 0);
            const VertexExclusion exclusion(full, resolved.patterns);
            for (uint32_t id = 0; id < excluded.size(); ++id) excluded[id] = exclusion.excluded(id);
            depth = OverviewDepth::choose(full, excluded);
        }
        resolved.collapsed =
            depth >= 0 ? OverviewDepth::collapsedAt(full, depth) : std::vector<uint32_t>();
        resolved.depth = depth >= 0 ? depth : ShownRequest::kAll;
        resolved.useCollapsed = true;
    }
    if (resolved.patterns.empty() && resolved.collapsed.empty()) return true;
    auto shown = std::make_shared<ShownGraph>(
        ShownGraph::build(full, resolved.patterns, resolved.collapsed));
    if (!shown->ok()) {
        opened.error = shown->error();
        opened.full.reset();
        return false;
    }
    // A part that hides nothing is the whole graph, shown as it was opened.
    if (shown->hidesNothing()) {
        if (resolved.depth >= 0) resolved.depth = ShownRequest::kAll;
        return true;
    }
    opened.graph = shown->takeGraph();
    opened.shown = std::move(shown);
    return true;
}

bool GraphOpening::layOut(OpenedGraph& opened, GraphStore& graph,
                          const std::function<bool(int phase)>& stopped) {
    trace() << "calculate tree\n";
    for (int type = 0; type < 5; ++type) {
        if (stopped(4 + type)) return false;
        opened.views[type] = makeView(graph, type);
        opened.views[type]->calculate();
        trace() << kCalculatedTraces[type];
    }
    if (stopped(9)) return false;
    View* const views[5] = {opened.views[0].get(), opened.views[1].get(), opened.views[2].get(),
                            opened.views[3].get(), opened.views[4].get()};
    opened.curves = std::make_unique<CurveControls>(graph, views, SplineStore::kSampleCount);
    opened.geometry = SceneGeometry::build(graph, views);
    if (opened.shown) {
        // A merged edge stands out with the number of edges it stands for.
        std::vector<uint32_t> weights(opened.shown->mergedCount());
        for (uint32_t m = 0; m < weights.size(); ++m) weights[m] = opened.shown->weight(m);
        opened.curves->setEdgeWeights(weights);
    }
    return true;
}

OpenedGraph GraphOpening::openAll(const std::string& fileName,
                                  const std::function<bool(int phase)>& carryOn,
                                  const ShownRequest* request) {
    OpenedGraph opened;
    auto stopped = [&](int phase) { return !carryOn(phase); };
    std::error_code ignored;
    LoadResult loaded = std::filesystem::is_directory(fileName, ignored)
                            ? scanFolder(fileName, stopped)
                            : GraphLoader::load(fileName, [&](LoadPhase phase) {
                                  return !stopped(static_cast<int>(phase));
                              });
    if (!loaded.ok()) {
        opened.error = std::move(loaded.error);
        opened.cancelled = loaded.cancelled;
        return opened;
    }
    GraphStore* shown = loaded.graph.get();
    if (request) {
        opened.full = std::shared_ptr<GraphStore>(std::move(loaded.graph));
        if (!showPart(opened, *request)) {
            opened.error = fileName + ": " + opened.error;
            return opened;
        }
        shown = opened.shownStore();
    }
    if (!layOut(opened, *shown, stopped)) {
        // The layouts go before the graph they were made from.
        for (std::unique_ptr<View>& view : opened.views) view.reset();
        opened.curves.reset();
        OpenedGraph cancelled;
        cancelled.cancelled = true;
        return cancelled;
    }
    if (!request) opened.graph = std::move(loaded.graph);
    return opened;
}
