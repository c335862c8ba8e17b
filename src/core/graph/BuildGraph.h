#pragma once

#include "DataRecord.h"
#include "GraphStore.h"

#include <memory>
#include <vector>

// Turns the statements of a data file into a new store, one pass in file order. Does not run
// calculateHierarchy. Records that cannot be used are skipped; GraphLoader rejects such files
// before they get here.
std::unique_ptr<GraphStore> buildGraph(std::vector<DataRecord> records);
