#pragma once

#include "GraphStore.h"
#include "LayoutRecord.h"

#include <cstdint>
#include <map>
#include <vector>

// Working tables shared by the layouts. Layouts compute into vectors indexed by vertex id (ids
// run 0 .. vertexCount-1) and hand the result to the ordered record map in one ascending sweep,
// which keeps a layout of a million vertices linear instead of paying a tree lookup per access.
namespace layout {

// The vertices reachable from the root, breadth-first, children in file order; the root first.
// Vertices whose id lies outside 0 .. vertexCount-1 break the store's invariants and are left
// out together with their subtrees.
std::vector<Vertex*> breadthFirst(const GraphStore& graph);

// Writes byId[id] for every id with written[id] set into records, replacing existing entries
// and leaving others in place, as the find-or-insert access would.
void storeRecords(std::map<uint32_t, LayoutRecord>& records, const std::vector<LayoutRecord>& byId,
                  const std::vector<uint8_t>& written);

}  // namespace layout
