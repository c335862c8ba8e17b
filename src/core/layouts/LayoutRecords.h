#pragma once

#include "LayoutRecord.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// The records of one layout by vertex id. The store's ids run 0 .. vertexCount-1, so a vector
// indexed by id replaces a tree lookup per read; a flag per id tells the records a layout wrote
// from the ids it never reached (a vertex outside the tree of a malformed graph).
class LayoutRecords {
public:
    // What iterating the records gives: (id, record) for every written id, ascending.
    using Entry = std::pair<uint32_t, const LayoutRecord&>;

    class Iterator {
    public:
        Iterator(const LayoutRecords& records, uint32_t id) : m_records(&records), m_id(id) {
            skipUnwritten();
        }
        Entry operator*() const { return {m_id, m_records->m_byId[m_id]}; }
        Iterator& operator++() {
            ++m_id;
            skipUnwritten();
            return *this;
        }
        bool operator==(const Iterator& other) const { return m_id == other.m_id; }
        bool operator!=(const Iterator& other) const { return m_id != other.m_id; }

    private:
        void skipUnwritten() {
            while (m_id < m_records->m_written.size() && !m_records->m_written[m_id]) ++m_id;
        }
        const LayoutRecords* m_records;
        uint32_t m_id;
    };

    // The record of id; all zero for an id without one. Never changes the records.
    LayoutRecord get(uint32_t id) const { return contains(id) ? m_byId[id] : LayoutRecord{}; }
    bool contains(uint32_t id) const { return id < m_written.size() && m_written[id]; }
    // The record of id; throws std::out_of_range for an id without one.
    const LayoutRecord& at(uint32_t id) const;
    // The record of id for writing, made all zero when id had none.
    LayoutRecord& set(uint32_t id);
    // Replaces every record: byId[id] for each id with written[id] set (equal sizes).
    void assign(std::vector<LayoutRecord> byId, std::vector<uint8_t> written);

    // Number of written records.
    size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    Iterator begin() const { return Iterator(*this, 0); }
    Iterator end() const { return Iterator(*this, static_cast<uint32_t>(m_written.size())); }

private:
    std::vector<LayoutRecord> m_byId;
    std::vector<uint8_t> m_written;
    size_t m_count = 0;
};
