#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class GraphStore;

// The tree paths of a graph's relation edges, in edge id order, laid end to end: path e holds
// vertices[start[e] .. start[e + 1]) and belongs to relation edge edge[e].
struct TreePaths {
    std::vector<uint32_t> vertices;
    std::vector<size_t> start{0};
    std::vector<uint32_t> edge;

    size_t size() const { return edge.size(); }
    int32_t length(size_t e) const { return int32_t(start[e + 1] - start[e]); }
    const uint32_t* path(size_t e) const { return vertices.data() + start[e]; }

    // Every relation edge with an id below the edge count, empty paths included.
    static TreePaths collect(const GraphStore& graph);
    // Drops the empty paths (an end the root does not reach), in place.
    void dropEmpty();
};
