#pragma once

#include "GraphStore.h"

#include <cstdint>
#include <string>
#include <vector>

// The vertices that exclude patterns remove: a vertex whose path (the names from the root down
// to it joined by "/", the root's own name first) matches any pattern goes, with its whole
// subtree. A pattern that matches the root is refused: error() says which, and nothing is
// excluded.
class VertexExclusion {
public:
    VertexExclusion(const GraphStore& graph, const std::vector<std::string>& patterns);

    bool excluded(uint32_t id) const { return id < m_excluded.size() && m_excluded[id]; }
    size_t excludedCount() const { return m_excludedCount; }
    bool ok() const { return m_error.empty(); }
    const std::string& error() const { return m_error; }

private:
    std::vector<uint8_t> m_excluded;
    size_t m_excludedCount = 0;
    std::string m_error;
};
