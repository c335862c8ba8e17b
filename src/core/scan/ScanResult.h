#pragma once

#include "GraphStore.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// What scanning a source folder found: the tree, the relation edges and the figures a user
// needs to judge the result, or an error naming the path and the problem.
struct ScanResult {
    // Vertex i's name and parent (the root, vertex 0, is its own parent); parents come first.
    std::vector<std::string> names;
    std::vector<uint32_t> parents;
    // From including to included file, each pair once.
    std::vector<std::pair<uint32_t, uint32_t>> relations;

    size_t files = 0;
    size_t directives = 0;
    size_t skipped = 0;  // directives whose name reached no file of the tree
    // The most frequent skipped names, as written with their quotes or brackets, most frequent
    // first (equal counts by name), with their counts.
    std::vector<std::pair<std::string, size_t>> topSkipped;
    size_t distinctSkipped = 0;
    // Files and folders of the tree that could not be read, each with its problem.
    std::vector<std::string> unreadable;
    double seconds = 0;

    std::string error;
    bool cancelled = false;

    bool ok() const { return error.empty() && !cancelled; }
    // The graph as a store with its hierarchy calculated.
    std::unique_ptr<GraphStore> toGraph() const;
    // The figures for a person, several lines, each ending with a line break.
    std::string report() const;
};
