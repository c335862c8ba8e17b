#pragma once

#include "GraphStore.h"

#include <cstdint>
#include <vector>

// The depth a large graph opens collapsed to: the deepest at which at most a limit of merged
// relation edges remain, at least 1. Graphs with no more relation edges than the limit (after
// exclusion) open whole.
class OverviewDepth {
public:
    static constexpr size_t kMaxMergedEdges = 5'000;
    static constexpr int kWhole = -1;

    // excluded is indexed by original id (empty: nothing excluded). Returns kWhole or the depth.
    // One pass over the edges: the distinct pairs of ends at the deepest level are mapped one
    // level up at a time, each level's distinct pairs made from the level below.
    static int choose(const GraphStore& full, const std::vector<uint8_t>& excluded,
                      size_t limit = kMaxMergedEdges);

    // How many merged edges depth leaves, found the same way (for the status and for tests).
    static size_t mergedEdgesAt(const GraphStore& full, const std::vector<uint8_t>& excluded,
                                int depth);

    // The vertices that collapsing to depth collapses: those at that depth with children.
    static std::vector<uint32_t> collapsedAt(const GraphStore& full, int depth);
};
