#pragma once

#include "BasisTable.h"

#include <cstdint>
#include <memory>
#include <vector>

// The basis tables of a graph's curves, one per number of control points, built on first use
// and shared by every curve with that many points.
class BasisCache {
public:
    // levelCount: number of depths of the graph; sizes the cache for the longest tree path.
    BasisCache(int32_t levelCount, int32_t sampleCount);

    // Table for n control points, built on first use.
    const BasisTable* basisFor(int32_t controlCount);
    // Table for n if it has been built, else nullptr.
    const BasisTable* cached(int32_t controlCount) const;

private:
    int32_t m_sampleCount;
    // Slot n-1 holds the table for n control points.
    std::vector<std::unique_ptr<BasisTable>> m_tables;
};
