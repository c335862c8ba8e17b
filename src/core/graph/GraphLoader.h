#pragma once

#include "GraphStore.h"

#include <functional>
#include <memory>
#include <string>

// The one way a data file becomes a graph: read, check, build, check again and compute the
// hierarchy. Either a complete store or an error naming the file and the problem, never both.
struct LoadResult {
    std::unique_ptr<GraphStore> graph;
    std::string error;
    bool cancelled = false;  // stopped on request: neither a graph nor an error

    bool ok() const { return graph != nullptr; }
};

// The steps of a load, in the order they run.
enum class LoadPhase { Reading, Checking, Building, Hierarchy };

class GraphLoader {
public:
    // Paths to the root are stored per vertex; files whose paths would hold more ids than this
    // (a chain of 30,000 vertices, say) are refused instead of exhausting memory.
    static constexpr uint64_t kMaxPathIds = 200'000'000;
    // Deepest element nesting accepted in an XML file; the parser recurses per level.
    static constexpr int kMaxXmlNesting = 2'000;
    // Largest file accepted. Loading needs about 12 (RSF) to 15 (XML) times the file's size at
    // its peak, so this keeps a load under about 8 GB; larger files are refused before a byte
    // is read rather than left to exhaust memory.
    static constexpr uint64_t kMaxFileBytes = uint64_t(512) << 20;
    // Longest vertex name accepted, in bytes. Names are shown in one overlay line; a longer one
    // is no name a person reads but a broken file.
    static constexpr size_t kMaxNameBytes = 65'536;

    // Reads fileName as RSF when the file's own name (not its folder) contains ".rsf", as XML
    // otherwise. carryOn, when
    // given, hears of each phase as it starts; returning false there stops the load, which then
    // ends cancelled. Watching changes nothing in the graph a completed load gives.
    static LoadResult load(const std::string& fileName,
                           const std::function<bool(LoadPhase)>& carryOn = {});
};
