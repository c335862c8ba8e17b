#include "VertexRecords.h"

#include "View.h"

std::vector<LayoutRecord> vertexRecords(const View& view, size_t count) {
    std::vector<LayoutRecord> records(count);
    for (const auto& [id, record] : view.records()) {
        if (id >= count) break;
        records[id] = record;
    }
    return records;
}
