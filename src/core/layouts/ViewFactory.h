#pragma once

#include "View.h"

#include <array>
#include <cstdint>
#include <memory>

class GraphStore;

// The layout of view type viewType (a ViewType) of graph, not yet calculated; a type outside
// the table gives the radial tree.
std::unique_ptr<View> makeView(const GraphStore& graph, int32_t viewType);

// The five layouts of graph in view-type order, calculated one after the other.
std::array<std::unique_ptr<View>, 5> calculateFiveViews(const GraphStore& graph);
