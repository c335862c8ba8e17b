#pragma once

#include "CurveControls.h"
#include "GraphStore.h"
#include "SceneGeometry.h"
#include "ShownGraph.h"
#include "ShownRequest.h"
#include "View.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

// A file made ready to show: its graph, the five layouts in view-type order and the controls of
// its relation curves and the rest of what is drawn, or the error naming the file and the problem,
// or neither when it was cancelled.
struct OpenedGraph {
    std::unique_ptr<GraphStore> graph;
    std::array<std::unique_ptr<View>, 5> views;
    std::unique_ptr<CurveControls> curves;
    // The hierarchy-edge arrays and vertex spheres of the five layouts.
    std::unique_ptr<SceneGeometry> geometry;
    std::string error;
    bool cancelled = false;
    // Opened with a ShownRequest: the whole graph, of which graph shows a part (graph is null
    // when it shows all of full); what each shown vertex and edge stands for (null when all
    // shows); and the request resolved to the collapsed vertices in force.
    std::shared_ptr<GraphStore> full;
    std::shared_ptr<const ShownGraph> shown;
    ShownRequest request;

    bool ok() const { return graph != nullptr || full != nullptr; }
    // The graph the views and curves were made from.
    GraphStore* shownStore() const { return graph ? graph.get() : full.get(); }
};

// Everything opening a file does before anything is shown: load (or, for a folder, scan its
// sources), check, hierarchy, the five layouts and the curves' controls. It touches no published
// state, so it may run on any thread; the layouts are given the graph being opened.
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
    // opening's threads. Memory running out ends it with an error. With a request, the part of
    // the graph it asks for is laid out and shown (OpenedGraph::full holds the whole); a pattern
    // that matches the root is an error naming the file.
    static OpenedGraph open(const std::string& fileName,
                            const std::function<bool(int phase)>& carryOn = {},
                            const std::atomic<bool>* cancel = nullptr,
                            const std::function<void(double)>& progress = {},
                            const ShownRequest* request = nullptr);
    // Another part of an opened graph, laid out as an opening lays a graph out (phases 4 on),
    // stopped as an opening is; full is only read.
    static OpenedGraph reshow(const std::shared_ptr<GraphStore>& full, const ShownRequest& request,
                              const std::function<bool(int phase)>& carryOn = {},
                              const std::atomic<bool>* cancel = nullptr);

private:
    static OpenedGraph openAll(const std::string& fileName,
                               const std::function<bool(int phase)>& carryOn,
                               const ShownRequest* request);
    // Builds the shown graph of opened.full; false with opened.error set when refused.
    static bool showPart(OpenedGraph& opened, const ShownRequest& request);
    // The five layouts and the curves' controls of graph; false when stopped.
    static bool layOut(OpenedGraph& opened, GraphStore& graph,
                       const std::function<bool(int phase)>& stopped);
    // Runs an opening under a watch of cancel and progress; cancelled or out of memory (an
    // error naming name) it ends with what it had built freed.
    static OpenedGraph watched(
        const std::string& name, const std::function<bool(int phase)>& carryOn,
        const std::atomic<bool>* cancel, const std::function<void(double)>& progress,
        const std::function<OpenedGraph(const std::function<bool(int phase)>&)>& run);
};
