#include "LayoutSupport.h"

#include "OpeningWatch.h"

#include "BreadthFirstTree.h"

namespace layout {

void storeRecords(LayoutRecords& records, const BreadthFirstTree& tree,
                  const std::vector<LayoutRecord>& byPosition) {
    const uint32_t limit = tree.idLimit();
    std::vector<LayoutRecord> byId(limit);
    std::vector<uint8_t> written(limit, 0);
    for (uint32_t id = 0; id < limit; ++id) {
        OpeningWatch::step(id, limit);
        // Positions are scattered when ids are not in tree order; fetch a little ahead.
        if (id + 16 < limit) {
            const uint32_t ahead = tree.position(id + 16);
            if (ahead != BreadthFirstTree::kNone) __builtin_prefetch(&byPosition[ahead]);
        }
        const uint32_t position = tree.position(id);
        if (position == BreadthFirstTree::kNone) continue;
        byId[id] = byPosition[position];
        written[id] = 1;
    }
    records.assign(std::move(byId), std::move(written));
}

LayoutRecord treeRecord(float x, float y, float z, float alpha) {
    return LayoutRecord{x, y, z, 1.0f, 0.0f, 0.0f, alpha};
}

}  // namespace layout
