#pragma once

#include "GraphStore.h"
#include "Selection.h"
#include "ShownGraph.h"

#include <string>
#include <vector>

// What a picked vertex or relation edge of a shown graph stands for, as lines for the picture:
// a collapsed vertex's hidden vertices and internal edges, a merged edge's weight and its first
// members. No lines for what stands only for itself.
class ShownInfoText {
public:
    static constexpr size_t kMembersListed = 3;

    static std::vector<std::string> lines(const ShownGraph& shown, const GraphStore& full,
                                          const Selection& selection);
};
