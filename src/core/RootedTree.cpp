#include "RootedTree.h"

#include "GraphStore.h"
#include "LayoutSupport.h"

#include <vector>

void RootedTree::calculate() {
    if (!g_graph || !g_graph->getRoot()) return;
    const GraphStore& graph = *g_graph;
    const size_t count = graph.vertexCount();
    const double depths = static_cast<double>(graph.depthCount());
    std::vector<LayoutRecord> records(count);
    std::vector<uint8_t> written(count, 0);

    auto place = [&](const Vertex& vertex, float x) {
        LayoutRecord& record = records[vertex.getId()];
        record.x = x;
        record.y = static_cast<float>(vertex.getLevel() / depths);
        record.z = 0.0f;
        record.r = 1.0f;
        record.g = 0.0f;
        record.b = 0.0f;
        record.a = 0.2f;
        written[vertex.getId()] = 1;
    };

    // Leaves evenly spaced in id order: 0, 1/K, ..., (K-1)/K, not centred.
    const std::vector<VertexPtr> leaves = graph.getLeaves();
    const double leafCount = static_cast<double>(leaves.size());
    for (size_t p = 0; p < leaves.size(); ++p) {
        place(*leaves[p], static_cast<float>(static_cast<double>(p) / leafCount));
    }

    // Each inner vertex takes the single-precision mean of its children's final x. Climbing one
    // level per pass from every leaf would write a vertex once per leaf below it, the last time
    // after all its children are final; reverse breadth-first order gives those final values
    // directly, visiting each vertex once.
    const std::vector<Vertex*> order = layout::breadthFirst(graph);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const Vertex& vertex = **it;
        const auto& children = vertex.children();
        if (children.empty()) continue;
        float sum = 0.0f;
        for (const VertexPtr& child : children) {
            const uint32_t id = child->getId();
            if (id < count && written[id]) sum += records[id].x;
        }
        place(vertex, sum / static_cast<float>(children.size()));
    }

    layout::storeRecords(m_nodeRecords, records, written);
}
