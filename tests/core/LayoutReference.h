#pragma once

#include "LayoutRecord.h"
#include "VertexBallon.h"

#include <cstdint>
#include <map>

// Word-for-word transcriptions of the original layout procedures of g_graph: the rooted tree's
// climbing frontier with duplicates, the balloon sweeps over the whole table per level, the radial
// pending list with linear search. Quadratic, so only for small graphs; the layouts must
// reproduce their records (and trace) bit for bit.
namespace reference {

std::map<uint32_t, LayoutRecord> rootedTree();

struct Balloons {
    std::map<uint32_t, LayoutRecord> records;
    std::map<uint32_t, VertexBallonPtr> balloons;
};
Balloons ballonTree();

std::map<uint32_t, LayoutRecord> radialTree();

}  // namespace reference
