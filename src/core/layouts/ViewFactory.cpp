#include "ViewFactory.h"

#include "BallonTree.h"
#include "RadialTree.h"
#include "RootedTree.h"
#include "TreeMap.h"
#include "ViewType.h"

std::unique_ptr<View> makeView(const GraphStore& graph, int32_t viewType) {
    switch (viewType) {
        case VIEW_ROOTED_TREE:
            return std::make_unique<RootedTree>(graph);
        case VIEW_BALLON_TREE:
            return std::make_unique<BallonTree>(graph);
        case VIEW_SLICE_AND_DICE:
            return std::make_unique<TreeMap>(graph, TreeMap::SLICE_AND_DICE);
        case VIEW_STRIP_TREEMAP:
            return std::make_unique<TreeMap>(graph, TreeMap::STRIPS);
        default:
            return std::make_unique<RadialTree>(graph);
    }
}

std::array<std::unique_ptr<View>, 5> calculateFiveViews(const GraphStore& graph) {
    std::array<std::unique_ptr<View>, 5> views;
    for (int32_t type = 0; type < 5; ++type) {
        views[type] = makeView(graph, type);
        views[type]->calculate();
    }
    return views;
}
