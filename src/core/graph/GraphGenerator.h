#pragma once

#include "DataRecord.h"

#include <cstdint>
#include <ostream>
#include <vector>

// Makes synthetic graphs for tests and benchmarks, the same graph for the same parameters on any
// machine.
struct GeneratorParams {
    uint32_t vertices = 100;
    uint32_t fanOut = 4;    // most children a vertex gets
    uint32_t maxDepth = 8;  // deepest level below the root
    uint64_t relations = 200;
    uint64_t seed = 1;
    bool shuffleIds = false;  // ids in random order instead of breadth-first order
};

class GraphGenerator {
public:
    explicit GraphGenerator(const GeneratorParams& params);

    uint32_t rootId() const { return m_root; }
    // parent id of each vertex id; the root's entry is its own id
    const std::vector<uint32_t>& parents() const { return m_parents; }
    // the hierarchy edges (parent, child) and relation edges (start, end), in file order
    const std::vector<std::pair<uint32_t, uint32_t>>& hierarchyEdges() const { return m_tree; }
    const std::vector<std::pair<uint32_t, uint32_t>>& relationEdges() const { return m_relations; }

    std::vector<DataRecord> records() const;
    void writeRsf(std::ostream& out) const;
    void writeXml(std::ostream& out) const;

private:
    uint32_t m_root = 0;
    std::vector<uint32_t> m_parents;
    std::vector<std::pair<uint32_t, uint32_t>> m_tree;
    std::vector<std::pair<uint32_t, uint32_t>> m_relations;
};
