#pragma once

#include "GraphStore.h"
#include "ViewFactory.h"

#include <memory>
#include <string>
#include <utility>

// A graph with its five layouts, computed in view-code order as opening a file computes them.
struct FiveViews {
    std::string name;
    std::unique_ptr<GraphStore> graph;
    std::array<std::unique_ptr<View>, 5> views;
};

inline std::unique_ptr<FiveViews> layOutFiveViews(std::string name,
                                                  std::unique_ptr<GraphStore> graph) {
    auto laid = std::make_unique<FiveViews>();
    laid->name = std::move(name);
    laid->graph = std::move(graph);
    laid->views = calculateFiveViews(*laid->graph);
    return laid;
}
