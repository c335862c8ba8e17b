#include "GraphOpening.h"

#include "BallonTree.h"
#include "GraphLoader.h"
#include "LayoutGraph.h"
#include "OpeningWatch.h"
#include "RadialTree.h"
#include "RootedTree.h"
#include "SourceScanner.h"
#include "SplineStore.h"
#include "Trace.h"
#include "TreeMap.h"

#include <filesystem>
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

std::unique_ptr<View> makeView(int type) {
    switch (type) {
        case 0:
            return std::make_unique<RootedTree>();
        case 1:
            return std::make_unique<BallonTree>();
        case 2:
            return std::make_unique<TreeMap>(0);
        case 3:
            return std::make_unique<TreeMap>(1);
        default:
            return std::make_unique<RadialTree>();
    }
}

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
                               const std::function<void(double)>& progress) {
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
        return openAll(fileName, phaseStarts);
    } catch (const OpeningWatch::Cancelled&) {
        // Stopped inside a phase: whatever was built is freed on the way out.
        OpenedGraph cancelled;
        cancelled.cancelled = true;
        return cancelled;
    } catch (const std::bad_alloc&) {
        // Whatever was built is freed on the way out; the graph on screen is untouched.
        OpenedGraph failed;
        failed.error = fileName + ": there is not enough memory to open it";
        return failed;
    }
}

OpenedGraph GraphOpening::openAll(const std::string& fileName,
                                  const std::function<bool(int phase)>& carryOn) {
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
    const LayoutGraph scope(loaded.graph.get());
    trace() << "calculate tree\n";
    auto cancel = [&] {
        // The layouts go before the graph they were made from.
        for (std::unique_ptr<View>& view : opened.views) view.reset();
        opened.cancelled = true;
        return std::move(opened);
    };
    for (int type = 0; type < 5; ++type) {
        if (stopped(4 + type)) return cancel();
        opened.views[type] = makeView(type);
        opened.views[type]->calculate();
        trace() << kCalculatedTraces[type];
    }
    if (stopped(9)) return cancel();
    View* const views[5] = {opened.views[0].get(), opened.views[1].get(), opened.views[2].get(),
                            opened.views[3].get(), opened.views[4].get()};
    opened.curves =
        std::make_unique<CurveControls>(*loaded.graph, views, SplineStore::kSampleCount);
    opened.graph = std::move(loaded.graph);
    return opened;
}
