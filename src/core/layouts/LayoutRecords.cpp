#include "LayoutRecords.h"

#include <stdexcept>
#include <string>

const LayoutRecord& LayoutRecords::at(uint32_t id) const {
    if (!contains(id)) throw std::out_of_range("no layout record for vertex " + std::to_string(id));
    return m_byId[id];
}

LayoutRecord& LayoutRecords::set(uint32_t id) {
    if (id >= m_written.size()) {
        m_byId.resize(size_t(id) + 1);
        m_written.resize(size_t(id) + 1, 0);
    }
    if (!m_written[id]) {
        m_written[id] = 1;
        m_byId[id] = LayoutRecord{};
        ++m_count;
    }
    return m_byId[id];
}

void LayoutRecords::assign(std::vector<LayoutRecord> byId, std::vector<uint8_t> written) {
    m_byId = std::move(byId);
    m_written = std::move(written);
    m_written.resize(m_byId.size(), 0);
    m_count = 0;
    for (uint8_t w : m_written) m_count += w != 0;
}
