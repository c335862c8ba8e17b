#include "LayoutSupport.h"

#include "OpeningWatch.h"

#include "AscendingInserter.h"
#include "BreadthFirstTree.h"

namespace layout {

void storeRecords(std::map<uint32_t, LayoutRecord>& records, const BreadthFirstTree& tree,
                  const std::vector<LayoutRecord>& byPosition) {
    AscendingInserter writer(records);
    const uint32_t limit = tree.idLimit();
    for (uint32_t id = 0; id < limit; ++id) {
        OpeningWatch::step(id, limit);
        // Positions are scattered when ids are not in tree order; fetch a little ahead.
        if (id + 16 < limit) {
            const uint32_t ahead = tree.position(id + 16);
            if (ahead != BreadthFirstTree::kNone) __builtin_prefetch(&byPosition[ahead]);
        }
        const uint32_t position = tree.position(id);
        if (position != BreadthFirstTree::kNone) writer.assign(id, byPosition[position]);
    }
}

void storeRecords(std::map<uint32_t, LayoutRecord>& records, const std::vector<LayoutRecord>& byId,
                  const std::vector<uint8_t>& written) {
    AscendingInserter writer(records);
    for (uint32_t id = 0; id < byId.size(); ++id) {
        OpeningWatch::step(id, byId.size());
        if (written[id]) writer.assign(id, byId[id]);
    }
}

LayoutRecord treeRecord(float x, float y, float z, float alpha) {
    return LayoutRecord{x, y, z, 1.0f, 0.0f, 0.0f, alpha};
}

}  // namespace layout
