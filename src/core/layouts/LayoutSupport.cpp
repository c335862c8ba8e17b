#include "LayoutSupport.h"

#include "BreadthFirstTree.h"

namespace layout {

namespace {

// Ids arrive in ascending order. The writer keeps the first entry not below the next id; a new
// entry goes in just before it, which leaves it in place, so each write is amortised constant
// time whether the map is empty or not.
class AscendingWriter {
public:
    explicit AscendingWriter(std::map<uint32_t, LayoutRecord>& records)
        : m_records(records), m_next(records.begin()) {}

    void write(uint32_t id, const LayoutRecord& record) {
        while (m_next != m_records.end() && m_next->first < id) ++m_next;
        if (m_next != m_records.end() && m_next->first == id) {
            m_next->second = record;
            ++m_next;
        } else {
            m_records.emplace_hint(m_next, id, record);
        }
    }

private:
    std::map<uint32_t, LayoutRecord>& m_records;
    std::map<uint32_t, LayoutRecord>::iterator m_next;
};

}  // namespace

void storeRecords(std::map<uint32_t, LayoutRecord>& records, const BreadthFirstTree& tree,
                  const std::vector<LayoutRecord>& byPosition) {
    AscendingWriter writer(records);
    const uint32_t limit = tree.idLimit();
    for (uint32_t id = 0; id < limit; ++id) {
        // Positions are scattered when ids are not in tree order; fetch a little ahead.
        if (id + 16 < limit) {
            const uint32_t ahead = tree.position(id + 16);
            if (ahead != BreadthFirstTree::kNone) __builtin_prefetch(&byPosition[ahead]);
        }
        const uint32_t position = tree.position(id);
        if (position != BreadthFirstTree::kNone) writer.write(id, byPosition[position]);
    }
}

void storeRecords(std::map<uint32_t, LayoutRecord>& records, const std::vector<LayoutRecord>& byId,
                  const std::vector<uint8_t>& written) {
    AscendingWriter writer(records);
    for (uint32_t id = 0; id < byId.size(); ++id) {
        if (written[id]) writer.write(id, byId[id]);
    }
}

LayoutRecord treeRecord(float x, float y, float z, float alpha) {
    LayoutRecord record;
    record.x = x;
    record.y = y;
    record.z = z;
    record.r = 1.0f;
    record.g = 0.0f;
    record.b = 0.0f;
    record.a = alpha;
    return record;
}

}  // namespace layout
