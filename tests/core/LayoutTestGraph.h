#pragma once

#include "GraphGenerator.h"

#include <string>
#include <utility>
#include <vector>

// Records of a tree given as (parent, child) pairs over ids 0 .. count-1, root 0.
inline std::vector<DataRecord> treeRecords(uint32_t count,
                                           const std::vector<std::pair<uint32_t, uint32_t>>& edges,
                                           uint32_t root = 0) {
    std::vector<DataRecord> records{{"Root", {std::to_string(root)}}};
    for (uint32_t id = 0; id < count; ++id) {
        records.push_back({"H", {std::to_string(id), "v" + std::to_string(id)}});
    }
    for (const auto& [parent, child] : edges) {
        records.push_back({"PCR", {std::to_string(parent), std::to_string(child)}});
    }
    return records;
}

// Parameter families for the comparisons and invariants: fan-outs, depths, seeds, shuffled ids.
inline std::vector<GeneratorParams> graphFamily(uint32_t vertices, int seeds) {
    std::vector<GeneratorParams> family;
    const uint32_t fanOuts[] = {1, 2, 3, 5, 12};
    const uint32_t depths[] = {1, 2, 4, 9, 40};
    for (int seed = 1; seed <= seeds; ++seed) {
        for (uint32_t fanOut : fanOuts) {
            for (uint32_t depth : depths) {
                GeneratorParams params;
                params.vertices = vertices + static_cast<uint32_t>(seed * 7) % 13;
                params.fanOut = fanOut;
                params.maxDepth = depth;
                params.relations = 0;
                params.seed = static_cast<uint64_t>(seed);
                params.shuffleIds = seed % 2 == 0;
                family.push_back(params);
            }
        }
    }
    return family;
}

inline std::string describe(const GeneratorParams& params) {
    return "vertices " + std::to_string(params.vertices) + " fan-out " +
           std::to_string(params.fanOut) + " depth " + std::to_string(params.maxDepth) + " seed " +
           std::to_string(params.seed) + (params.shuffleIds ? " shuffled" : "");
}
