#include "RadialTree.h"

#include "GraphStore.h"
#include "LayoutSupport.h"
#include "Trace.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Degrees to radians with single-precision pi.
const double kDegreesToRadians = static_cast<double>(3.14159265358979323846f) / 180.0;

}  // namespace

void RadialTree::calculate() {
    if (!g_graph || !g_graph->getRoot()) return;
    const GraphStore& graph = *g_graph;
    const size_t count = graph.vertexCount();
    const int32_t depths = static_cast<int32_t>(graph.depthCount());
    const std::vector<Vertex*> order = layout::breadthFirst(graph);
    std::vector<Vertex*> vertexOf(count, nullptr);
    for (Vertex* vertex : order) vertexOf[vertex->getId()] = vertex;

    // Angles in degrees; a vertex without one counts as 0.
    std::vector<double> angle(count, 0.0);
    std::vector<uint8_t> hasAngle(count, 0);
    // The vertices still to be given an angle, split by level, each level in order of
    // discovery. A pass over one level walks the whole list backwards and skips every other
    // level, so walking that level's part backwards meets the same vertices in the same order.
    std::vector<std::vector<uint32_t>> pending(std::max<int32_t>(depths, 1));
    std::vector<uint8_t> isPending(count, 0);
    size_t pendingCount = 0;
    auto addPending = [&](const VertexPtr& vertex) {
        if (!vertex) return;
        const uint32_t id = vertex->getId();
        if (id >= count || isPending[id]) return;
        isPending[id] = 1;
        ++pendingCount;
        const int32_t level = vertex->getLevel();
        if (level >= 0 && level < depths) pending[level].push_back(id);
    };

    trace() << "Radialtree 0\n";
    const std::vector<VertexPtr> leaves = graph.getLeaves();
    const double step = 360.0 / static_cast<double>(leaves.size());
    double running = 0.0;
    for (const VertexPtr& leaf : leaves) {
        const uint32_t id = leaf->getId();
        if (!hasAngle[id]) {
            hasAngle[id] = 1;
            angle[id] = running;
        }
        running += step;
        addPending(leaf->getParent());
    }

    trace() << "Radialtree 1\n";
    for (int32_t level = depths - 2; level >= 1 && pendingCount > 0; --level) {
        const std::vector<uint32_t>& entries = pending[level];
        for (size_t i = entries.size(); i-- > 0;) {
            const Vertex* vertex = vertexOf[entries[i]];
            if (!vertex) continue;
            trace() << "begin\n";
            // Children's angles are averaged as numbers, without wrap-around.
            double sum = 0.0;
            const auto& children = vertex->children();
            for (const VertexPtr& child : children) {
                const uint32_t childId = child->getId();
                const float childAngle = static_cast<float>(childId < count ? angle[childId] : 0.0);
                trace() << "tmphelp:" << childAngle << '\n';
                sum += childAngle;
            }
            const double mean = sum / static_cast<double>(children.size());
            trace() << "ANGLE:" << mean << '\n';
            const VertexPtr parent = vertex->getParent();
            if (!hasAngle[entries[i]]) {
                hasAngle[entries[i]] = 1;
                angle[entries[i]] = parent ? mean : 0.0;
            }
            trace() << "before\n";
            addPending(parent);
            trace() << "after\n";
            trace() << "ende\n";
        }
    }

    trace() << "Radialtree 2\n";
    std::vector<LayoutRecord> records(count);
    std::vector<uint8_t> written(count, 0);
    for (const Vertex* vertex : order) {
        const uint32_t id = vertex->getId();
        const double theta = static_cast<double>(static_cast<float>(angle[id])) * kDegreesToRadians;
        const float rho = static_cast<float>(vertex->getLevel()) / static_cast<float>(depths);
        LayoutRecord& record = records[id];
        record.x = static_cast<float>(rho * std::cos(theta));
        record.y = 0.0f;
        record.z = static_cast<float>(rho * std::sin(theta));
        record.r = 1.0f;
        record.g = 0.0f;
        record.b = 0.0f;
        record.a = 0.8f;
        written[id] = 1;
    }
    layout::storeRecords(m_nodeRecords, records, written);
}
