#pragma once

#include "GraphStore.h"

#include <memory>
#include <string>

// The one way a data file becomes a graph: read, check, build, check again and compute the
// hierarchy. Either a complete store or an error naming the file and the problem, never both.
struct LoadResult {
    std::unique_ptr<GraphStore> graph;
    std::string error;

    bool ok() const { return graph != nullptr; }
};

class GraphLoader {
public:
    // Paths to the root are stored per vertex; files whose paths would hold more ids than this
    // (a chain of 30,000 vertices, say) are refused instead of exhausting memory.
    static constexpr uint64_t kMaxPathIds = 200'000'000;
    // Deepest element nesting accepted in an XML file; the parser recurses per level.
    static constexpr int kMaxXmlNesting = 2'000;

    // Reads fileName as RSF when the name contains ".rsf", as XML otherwise.
    static LoadResult load(const std::string& fileName);
};
