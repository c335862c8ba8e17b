#include "BallonTree.h"

#include "GraphStore.h"
#include "LayoutSupport.h"
#include "Trace.h"

#include <boost/make_shared.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The leaf radius is a single-precision constant widened to double.
const double kLeafRadius = static_cast<double>(0.01f);
const double kTwoPi = 6.28318;
// Degrees back to radians with single-precision pi, as the rotation helper does.
const double kDegreesToRadians = static_cast<double>(3.14159265358979323846f) / 180.0;

}  // namespace

void BallonTree::calculate() {
    if (!g_graph || !g_graph->getRoot()) return;
    const GraphStore& graph = *g_graph;
    const size_t count = graph.vertexCount();
    const int32_t depths = static_cast<int32_t>(graph.depthCount());
    const std::vector<Vertex*> order = layout::breadthFirst(graph);

    std::vector<double> radius(count, 0.0), innerRadius(count, 0.0), angle(count, 0.0),
        perimeter(count, 0.0);
    std::vector<uint8_t> present(count, 0);

    trace() << "Calculate Radius\n";
    const std::vector<VertexPtr> leaves = graph.getLeaves();
    for (const VertexPtr& leaf : leaves) {
        const uint32_t id = leaf->getId();
        if (present[id]) continue;
        present[id] = 1;
        radius[id] = innerRadius[id] = kLeafRadius;
        perimeter[id] = kTwoPi * kLeafRadius;
    }

    // Each level's vertices in ascending id order: the order in which a sweep over the id-ordered
    // balloon table meets them, so every parent sums its children's diameters in the same order
    // without a walk over the whole table per level.
    std::vector<Vertex*> vertexOf(count, nullptr);
    for (Vertex* vertex : order) vertexOf[vertex->getId()] = vertex;
    std::vector<std::vector<uint32_t>> byLevel(std::max<int32_t>(depths, 1));
    for (uint32_t id = 0; id < count; ++id) {
        if (!vertexOf[id]) continue;
        const int32_t level = vertexOf[id]->getLevel();
        if (level >= 0 && level < depths) byLevel[level].push_back(id);
    }

    for (int32_t level = depths - 1; level >= 1; --level) {
        for (uint32_t id : byLevel[level]) {
            if (!present[id]) continue;
            const VertexPtr parent = vertexOf[id]->getParent();
            if (!parent || parent->getId() >= count) continue;
            const uint32_t parentId = parent->getId();
            if (present[parentId]) {
                perimeter[parentId] += 2 * radius[id];
            } else {
                present[parentId] = 1;
                radius[parentId] = innerRadius[parentId] = angle[parentId] = 0.0;
                perimeter[parentId] = 2 * radius[id];
            }
        }
        for (uint32_t id : byLevel[level - 1]) {
            if (!present[id]) continue;
            const auto& children = vertexOf[id]->children();
            const size_t childCount = children.size();
            double circumference = perimeter[id];
            // A few children get some extra room; nine or more get none.
            if (childCount >= 1 && childCount <= 8) {
                circumference += static_cast<double>(10 - static_cast<int>(childCount)) * 0.01;
            }
            innerRadius[id] = circumference / kTwoPi;
            double largest = 0.0;
            for (const VertexPtr& child : children) {
                const uint32_t childId = child->getId();
                if (childId < count && present[childId])
                    largest = std::max(largest, radius[childId]);
            }
            radius[id] = innerRadius[id] + largest;
            perimeter[id] = 2 * radius[id];
        }
    }

    trace() << "Calculate Angle\n";
    const int32_t lastInnerLevel = depths - 2;
    angle[order.front()->getId()] = 0.0;
    for (const Vertex* parent : order) {
        const auto& children = parent->children();
        const size_t childCount = children.size();
        if (childCount == 0) continue;
        double gap = 0.0;
        if (childCount <= 9) {
            // Children on the deepest level are packed closer.
            const double spacing = parent->getLevel() == lastInnerLevel ? 0.01 : 0.04;
            gap = static_cast<double>(10 - static_cast<int>(childCount)) * spacing /
                  static_cast<double>(childCount);
        }
        const double ringRadius = innerRadius[parent->getId()];
        // The first child's step is measured from the last child, around the circle.
        const uint32_t lastId = children.back()->getId();
        double previous = lastId < count ? innerRadius[lastId] : 0.0;
        for (const VertexPtr& child : children) {
            const uint32_t childId = child->getId();
            if (childId >= count) continue;
            angle[childId] = (innerRadius[childId] + gap + previous) / ringRadius;
            previous = innerRadius[childId];
        }
    }

    trace() << "make it ready\n";
    std::vector<LayoutRecord> records(count);
    std::vector<uint8_t> written(count, 0);
    const double levels = static_cast<double>(depths);
    // The running angle accumulates over all vertices of one level in breadth-first order,
    // across parents, so the next parent's children continue where the previous ones ended.
    float runningAngle = 0.0f;
    int32_t currentLevel = 0;
    for (const Vertex* vertex : order) {
        const uint32_t id = vertex->getId();
        if (vertex->getLevel() != currentLevel) {
            ++currentLevel;
            runningAngle = 0.0f;
        }
        runningAngle += angle[id];

        double baseX = 0.0, baseY = -1.0, baseZ = 0.0;
        double offsetX = 0.0, offsetY = 0.0, offsetZ = 0.0;
        const VertexPtr parent = vertex->getParent();
        if (parent && parent->getId() < count) {
            const LayoutRecord& base = records[parent->getId()];
            baseX = base.x;
            baseY = base.y;
            baseZ = base.z;
            const double rho = radius[parent->getId()];
            const float degrees = runningAngle * 180.0f / 3.14159f;
            const double theta = static_cast<double>(degrees) * kDegreesToRadians;
            offsetX = -(rho * std::sin(theta));
            offsetZ = rho * std::cos(theta);
        }
        LayoutRecord& record = records[id];
        record.x = static_cast<float>(baseX + offsetX);
        record.y = static_cast<float>(baseY + offsetY + currentLevel / levels);
        record.z = static_cast<float>(baseZ + offsetZ);
        record.r = 1.0f;
        record.g = 0.0f;
        record.b = 0.0f;
        record.a = 0.8f;
        written[id] = 1;
    }

    // The store's vertex map is in ascending id order, so every entry goes in at the end.
    m_balloons.clear();
    for (const auto& [id, vertex] : graph.vertices()) {
        if (id >= count) break;
        if (!present[id] || !vertexOf[id]) continue;
        m_balloons.emplace_hint(m_balloons.end(), id,
                                boost::make_shared<VertexBallon>(
                                    vertex, radius[id], innerRadius[id], perimeter[id], angle[id]));
    }
    layout::storeRecords(m_nodeRecords, records, written);
}
