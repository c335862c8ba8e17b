#include "LayoutSupport.h"

namespace layout {

std::vector<Vertex*> breadthFirst(const GraphStore& graph) {
    std::vector<Vertex*> order;
    const VertexPtr& root = graph.getRoot();
    const size_t count = graph.vertexCount();
    if (!root || root->getId() >= count) return order;
    order.reserve(count);
    order.push_back(root.get());
    for (size_t head = 0; head < order.size(); ++head) {
        for (const VertexPtr& child : order[head]->children()) {
            if (child->getId() < count) order.push_back(child.get());
        }
    }
    return order;
}

void storeRecords(std::map<uint32_t, LayoutRecord>& records, const std::vector<LayoutRecord>& byId,
                  const std::vector<uint8_t>& written) {
    // Ids arrive in ascending order, so the position of the previous id is the hint for the
    // next one: each write is amortised constant time, whether the map is empty or not.
    auto hint = records.begin();
    for (uint32_t id = 0; id < byId.size(); ++id) {
        if (!written[id]) continue;
        while (hint != records.end() && hint->first < id) ++hint;
        if (hint != records.end() && hint->first == id) {
            hint->second = byId[id];
        } else {
            hint = records.emplace_hint(hint, id, byId[id]);
        }
    }
}

}  // namespace layout
