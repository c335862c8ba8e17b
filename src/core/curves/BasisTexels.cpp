#include "BasisTexels.h"

#include <algorithm>
#include <stdexcept>

BasisTexels::BasisTexels(const std::vector<const BasisTable*>& bases, int32_t sampleCount)
    : m_firstTexel(bases.size(), -1) {
    constexpr size_t kFloatsPerSample = 4 * kTexelsPerSample;
    size_t tables = 0;
    for (const BasisTable* table : bases) tables += table != nullptr;
    if (tables * sampleCount * kTexelsPerSample > size_t(INT32_MAX)) {
        throw std::length_error("basis tables past what a texture can address");
    }
    m_texels.assign(tables * sampleCount * kFloatsPerSample, 0.0f);
    size_t next = 0;
    for (size_t n = 0; n < bases.size(); ++n) {
        const BasisTable* table = bases[n];
        if (!table) continue;
        m_firstTexel[n] = int32_t(next * sampleCount * kTexelsPerSample);
        for (int32_t j = 0; j < sampleCount; ++j) {
            float* out = &m_texels[(next * sampleCount + j) * kFloatsPerSample];
            out[0] = float(table->windowStart(j));
            for (int32_t r = 0; r < std::min(table->windowWidth(), 4); ++r) {
                out[1 + r] = float(table->windowWeights(j)[r]);
            }
        }
        ++next;
    }
}
