#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class GraphStore;

// What a draft frame draws of a very large tree while the user drags: the vertices of its upper
// levels and the hierarchy edges down to them. A million edges and spheres cost a software
// rasteriser seconds per frame; the upper levels keep the tree's shape at a fraction of that.
// A tree within the budget is drawn whole in drafts too (cuts() is false).
struct DraftSkeleton {
    static constexpr size_t kVertexBudget = 30000;

    std::vector<uint32_t> vertices;  // ids of the vertices kept, ascending
    std::vector<uint32_t> edges;     // ids of the hierarchy edges down to them, ascending

    bool cuts() const { return m_cuts; }

    // The deepest levels whose vertices together stay within budget (at least the root's).
    static DraftSkeleton build(const GraphStore& graph, size_t budget = kVertexBudget);

private:
    bool m_cuts = false;
};
