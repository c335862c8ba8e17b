#pragma once

#include "LayoutRecord.h"

#include <cstddef>
#include <vector>

class View;

// A layout's records flattened by vertex id in one walk, ids from 0 to count - 1; an id the
// layout did not place gets the all-zero record. A map lookup per use would take most of the
// time on a large graph.
std::vector<LayoutRecord> vertexRecords(const View& view, size_t count);
