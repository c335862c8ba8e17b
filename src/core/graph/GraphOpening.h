#pragma once

#include "CurveControls.h"
#include "GraphStore.h"
#include "View.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

// A file made ready to show: its graph, the five layouts in view-type order and the controls of
// its relation curves, or the error naming the file and the problem, or neither when it was
// cancelled.
struct OpenedGraph {
    std::unique_ptr<GraphStore> graph;
    std::array<std::unique_ptr<View>, 5> views;
    std::unique_ptr<CurveControls> curves;
    std::string error;
    bool cancelled = false;

    bool ok() const { return graph != nullptr; }
};

// Everything opening a file does before anything is shown: load (or, for a folder, scan its
// sources), check, hierarchy, the five layouts and the curves' controls. It touches no published
// state, so it may run on any thread; the layouts read the graph being opened, never g_graph.
class GraphOpening {
public:
    static constexpr int kPhaseCount = 10;
    // What phase 0 to kPhaseCount - 1 does, as shown to the user.
    static const char* phaseName(int phase);
    // How far the opening has come when phase starts, from 0 to 1: the phases weighted by the
    // share of the time they take on large graphs.
    static double fractionAt(int phase);

    // carryOn, when given, hears of each phase as it starts; returning false stops the opening,
    // which then ends cancelled and has freed what it had built. So does cancel turning true,
    // which the long loops inside every phase check. progress, when given, hears how far the
    // whole opening has come (0 .. 1, as fractionAt weighs the phases) as the loops go, on the
    // opening's threads. Memory running out ends it with an error.
    static OpenedGraph open(const std::string& fileName,
                            const std::function<bool(int phase)>& carryOn = {},
                            const std::atomic<bool>* cancel = nullptr,
                            const std::function<void(double)>& progress = {});

private:
    static OpenedGraph openAll(const std::string& fileName,
                               const std::function<bool(int phase)>& carryOn);
};
