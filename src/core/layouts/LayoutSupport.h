#pragma once

#include "LayoutRecord.h"

#include <cstdint>
#include <map>
#include <vector>

class BreadthFirstTree;

// Layouts compute into vectors and hand the result to the ordered record map in one ascending
// sweep, which keeps a layout of a million vertices linear instead of paying a tree lookup per
// access.
namespace layout {

// Writes byPosition[p] under the id at every position p of tree into records, replacing
// existing entries and leaving others in place, as the find-or-insert access would.
void storeRecords(std::map<uint32_t, LayoutRecord>& records, const BreadthFirstTree& tree,
                  const std::vector<LayoutRecord>& byPosition);

// Writes byId[id] for every id with written[id] set, in the same way.
void storeRecords(std::map<uint32_t, LayoutRecord>& records, const std::vector<LayoutRecord>& byId,
                  const std::vector<uint8_t>& written);

// A record of the tree layouts: colour (1, 0, 0) and the given opacity.
LayoutRecord treeRecord(float x, float y, float z, float alpha);

}  // namespace layout
