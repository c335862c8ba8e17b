#include "BasisCache.h"

BasisCache::BasisCache(int32_t levelCount, int32_t sampleCount) : m_sampleCount(sampleCount) {
    // The longest tree path runs from a deepest leaf up to the root and down to another one.
    m_tables.resize(levelCount > 0 ? size_t(2) * levelCount - 1 : 0);
}

const BasisTable* BasisCache::cached(int32_t controlCount) const {
    if (controlCount < 1 || size_t(controlCount) > m_tables.size()) return nullptr;
    return m_tables[controlCount - 1].get();
}

const BasisTable* BasisCache::basisFor(int32_t controlCount) {
    // A path longer than the depths promised (a store made for another graph) widens the cache
    // rather than writing past it.
    if (size_t(controlCount) > m_tables.size()) m_tables.resize(controlCount);
    std::unique_ptr<BasisTable>& slot = m_tables[controlCount - 1];
    if (!slot) slot = std::make_unique<BasisTable>(controlCount, m_sampleCount);
    return slot.get();
}
