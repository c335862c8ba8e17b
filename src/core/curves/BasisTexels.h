#pragma once

#include "BasisTable.h"

#include <cstdint>
#include <vector>

// The basis tables of the control counts that curves have, packed for the vertex stage that
// evaluates curves: per count and sample two RGBA texels, the first control point of the
// sample's window with weights 0 .. 2, then weight 3. Only the counts that occur are packed, so
// one long path costs its own table and not one table for every shorter count.
class BasisTexels {
public:
    BasisTexels() = default;
    // bases[n]: the table of control count n, null for counts no curve has.
    BasisTexels(const std::vector<const BasisTable*>& bases, int32_t sampleCount);

    const std::vector<float>& texels() const { return m_texels; }
    // Index of the first texel of count n's table, -1 for a count without a table.
    int32_t firstTexel(int32_t n) const {
        return n >= 0 && size_t(n) < m_firstTexel.size() ? m_firstTexel[n] : -1;
    }

    static constexpr int kTexelsPerSample = 2;

private:
    std::vector<float> m_texels;
    std::vector<int32_t> m_firstTexel;
};
