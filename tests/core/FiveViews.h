#pragma once

#include "BuildGraph.h"
#include "GraphStore.h"
#include "ViewFactory.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// The store of records with its hierarchy.
inline std::unique_ptr<GraphStore> builtGraph(std::vector<DataRecord> records) {
    std::unique_ptr<GraphStore> graph = buildGraph(std::move(records));
    graph->calculateHierarchy();
    return graph;
}

// A graph with its five layouts, computed in view-code order as opening a file computes them,
// and the table of the views by code that the geometry and curve builders take.
struct FiveViews {
    std::string name;
    std::unique_ptr<GraphStore> graph;
    std::array<std::unique_ptr<View>, 5> views;
    View* table[5] = {};
};

inline std::unique_ptr<FiveViews> layOutFiveViews(std::string name,
                                                  std::unique_ptr<GraphStore> graph) {
    auto laid = std::make_unique<FiveViews>();
    laid->name = std::move(name);
    laid->graph = std::move(graph);
    laid->views = calculateFiveViews(*laid->graph);
    for (int t = 0; t < 5; ++t) laid->table[t] = laid->views[t].get();
    return laid;
}

inline std::unique_ptr<FiveViews> layOutFiveViews(std::string name,
                                                  std::vector<DataRecord> records) {
    return layOutFiveViews(std::move(name), builtGraph(std::move(records)));
}
