#pragma once

#include "BallonTree.h"
#include "GraphStore.h"
#include "RadialTree.h"
#include "RootedTree.h"
#include "TreeMap.h"

#include <memory>
#include <string>
#include <utility>

// A graph with its five layouts, computed in view-code order as the main window computes them.
struct FiveViews {
    std::string name;
    std::unique_ptr<GraphStore> graph;
    std::unique_ptr<View> views[5];
};

inline std::unique_ptr<FiveViews> layOutFiveViews(std::string name,
                                                  std::unique_ptr<GraphStore> graph) {
    auto laid = std::make_unique<FiveViews>();
    laid->name = std::move(name);
    laid->graph = std::move(graph);
    g_graph = laid->graph.get();  // the layouts read the published graph
    laid->views[0] = std::make_unique<RootedTree>();
    laid->views[1] = std::make_unique<BallonTree>();
    laid->views[2] = std::make_unique<TreeMap>(TreeMap::SLICE_AND_DICE);
    laid->views[3] = std::make_unique<TreeMap>(TreeMap::STRIPS);
    laid->views[4] = std::make_unique<RadialTree>();
    for (auto& view : laid->views) view->calculate();
    g_graph = nullptr;
    return laid;
}
