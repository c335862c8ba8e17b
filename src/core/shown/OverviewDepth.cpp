#include "OverviewDepth.h"

#include <algorithm>
#include <numeric>

namespace {

// The pairs of ends (start << 32 | end) of the relation edges at the deepest level, distinct,
// without those with an excluded end or whose ends coincide.
std::vector<uint64_t> deepestPairs(const GraphStore& full, const std::vector<uint8_t>& excluded,
                                   size_t& remaining) {
    std::vector<uint64_t> pairs;
    pairs.reserve(full.relationEdgeCount());
    auto gone = [&](uint32_t id) { return id < excluded.size() && excluded[id]; };
    remaining = 0;
    for (const auto& [id, edge] : full.relationEdges()) {
        const uint32_t a = edge->getStart()->getId(), b = edge->getEnd()->getId();
        if (gone(a) || gone(b)) continue;
        ++remaining;
        if (a != b) pairs.push_back(uint64_t(a) << 32 | b);
    }
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    return pairs;
}

// Per original id its depth and parent (the root its own parent).
struct Levels {
    std::vector<int32_t> depth;
    std::vector<uint32_t> parent;
};

Levels levelsOf(const GraphStore& full) {
    Levels levels;
    levels.depth.assign(full.vertexCount(), 0);
    levels.parent.resize(full.vertexCount());
    std::iota(levels.parent.begin(), levels.parent.end(), 0u);
    for (const auto& [id, vertex] : full.vertices()) {
        if (id >= full.vertexCount()) break;
        levels.depth[id] = vertex->getLevel();
        for (const VertexPtr& child : vertex->children()) {
            if (child->getId() < full.vertexCount()) levels.parent[child->getId()] = id;
        }
    }
    return levels;
}

// The pairs of level depth + 1 taken to level depth: ends below depth go to their parents.
void liftTo(int depth, const Levels& levels, std::vector<uint64_t>& pairs) {
    auto lift = [&](uint32_t v) { return levels.depth[v] > depth ? levels.parent[v] : v; };
    size_t kept = 0;
    for (uint64_t pair : pairs) {
        const uint32_t a = lift(uint32_t(pair >> 32)), b = lift(uint32_t(pair));
        if (a != b) pairs[kept++] = uint64_t(a) << 32 | b;
    }
    pairs.resize(kept);
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
}

}  // namespace

int OverviewDepth::choose(const GraphStore& full, const std::vector<uint8_t>& excluded,
                          size_t limit) {
    size_t remaining = 0;
    std::vector<uint64_t> pairs = deepestPairs(full, excluded, remaining);
    if (remaining <= limit) return kWhole;
    const int deepest = static_cast<int>(full.depthCount()) - 1;
    if (deepest <= 1 || pairs.size() <= limit) return std::max(deepest, 1);
    const Levels levels = levelsOf(full);
    for (int depth = deepest - 1; depth > 1; --depth) {
        liftTo(depth, levels, pairs);
        if (pairs.size() <= limit) return depth;
    }
    return 1;
}

size_t OverviewDepth::mergedEdgesAt(const GraphStore& full, const std::vector<uint8_t>& excluded,
                                    int depth) {
    size_t remaining = 0;
    std::vector<uint64_t> pairs = deepestPairs(full, excluded, remaining);
    const Levels levels = levelsOf(full);
    for (int level = static_cast<int>(full.depthCount()) - 2; level >= depth; --level) {
        liftTo(level, levels, pairs);
    }
    return pairs.size();
}

std::vector<uint32_t> OverviewDepth::collapsedAt(const GraphStore& full, int depth) {
    std::vector<uint32_t> collapsed;
    for (const auto& [id, vertex] : full.vertices()) {
        if (vertex->getLevel() == depth && vertex->getChildCount() > 0) collapsed.push_back(id);
    }
    return collapsed;
}
