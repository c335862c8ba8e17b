#pragma once

#include "LayoutRecords.h"

#include <cstdint>
#include <vector>

class BreadthFirstTree;

// Layouts compute by breadth-first position and hand the result over by vertex id in one sweep.
namespace layout {

// Replaces records by byPosition[p] under the id at every position p of tree; ids the tree did
// not reach get none.
void storeRecords(LayoutRecords& records, const BreadthFirstTree& tree,
                  const std::vector<LayoutRecord>& byPosition);

// A record of the tree layouts: colour (1, 0, 0) and the given opacity.
LayoutRecord treeRecord(float x, float y, float z, float alpha);

}  // namespace layout
