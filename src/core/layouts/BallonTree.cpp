#include "BallonTree.h"

#include "BreadthFirstTree.h"
#include "GraphStore.h"
#include "LayoutGraph.h"
#include "LayoutSupport.h"
#include "Trace.h"

#include "ObjectPool.h"

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
    const GraphStore* graph = layoutGraph();
    if (!graph || !graph->getRoot()) return;
    const BreadthFirstTree tree(*graph);
    const uint32_t size = tree.size();
    const int32_t depths = static_cast<int32_t>(graph->depthCount());

    // Working values by breadth-first position.
    // Kept together per vertex: the final walk in id order meets them in scattered order.
    struct Sizes {
        double radius = 0.0;
        double innerRadius = 0.0;
        double angle = 0.0;
        double perimeter = 0.0;
    };
    std::vector<Sizes> sizes(size);

    trace() << "Calculate Radius\n";
    for (uint32_t position = 0; position < size; ++position) {
        if (tree.childCount(position) > 0) continue;
        sizes[position].radius = sizes[position].innerRadius = kLeafRadius;
        sizes[position].perimeter = kTwoPi * kLeafRadius;
    }

    // Breadth-first positions hold the levels one after the other.
    std::vector<uint32_t> levelStart(std::max<int32_t>(depths, 0) + 1, size);
    for (uint32_t position = size; position-- > 0;) {
        const int32_t level = tree.level(position);
        if (level >= 0 && level < depths) levelStart[level] = position;
    }
    for (int32_t level = depths - 1; level > 0; --level) {
        levelStart[level - 1] = std::min(levelStart[level - 1], levelStart[level]);
    }

    // The pass for each level adds the children's diameters to their parents in ascending id
    // order (the order of a sweep over the id-ordered balloon table), then sizes the parents'
    // level. Per parent that is a sum over its children sorted by id; the levels are walked in
    // place instead of sweeping the whole table once per level.
    std::vector<uint32_t> byId;
    for (int32_t level = depths - 1; level >= 1; --level) {
        for (uint32_t position = levelStart[level - 1]; position < levelStart[level]; ++position) {
            const uint32_t childCount = tree.childCount(position);
            const uint32_t first = tree.firstChild(position);
            double largest = 0.0;
            if (childCount > 0) {
                byId.clear();
                bool ascending = true;
                for (uint32_t child = first; child < first + childCount; ++child) {
                    if (!byId.empty() && tree.id(byId.back()) > tree.id(child)) ascending = false;
                    byId.push_back(child);
                    largest = std::max(largest, sizes[child].radius);
                }
                if (!ascending) {
                    std::sort(byId.begin(), byId.end(),
                              [&tree](uint32_t a, uint32_t b) { return tree.id(a) < tree.id(b); });
                }
                double sum = 2 * sizes[byId[0]].radius;
                for (size_t k = 1; k < byId.size(); ++k) sum += 2 * sizes[byId[k]].radius;
                sizes[position].perimeter = sum;
            }
            double circumference = sizes[position].perimeter;
            // A few children get some extra room; nine or more get none.
            if (childCount >= 1 && childCount <= 8) {
                circumference += static_cast<double>(10 - static_cast<int>(childCount)) * 0.01;
            }
            sizes[position].innerRadius = circumference / kTwoPi;
            sizes[position].radius = sizes[position].innerRadius + largest;
            sizes[position].perimeter = 2 * sizes[position].radius;
        }
    }

    trace() << "Calculate Angle\n";
    const int32_t lastInnerLevel = depths - 2;
    sizes[0].angle = 0.0;
    for (uint32_t parent = 0; parent < size; ++parent) {
        const uint32_t childCount = tree.childCount(parent);
        if (childCount == 0) continue;
        double gap = 0.0;
        if (childCount <= 9) {
            // Children on the deepest level are packed closer.
            const double spacing = tree.level(parent) == lastInnerLevel ? 0.01 : 0.04;
            gap = static_cast<double>(10 - static_cast<int>(childCount)) * spacing /
                  static_cast<double>(childCount);
        }
        const double ringRadius = sizes[parent].innerRadius;
        const uint32_t first = tree.firstChild(parent);
        const uint32_t last = first + childCount - 1;
        // The first child's step is measured from the last child, around the circle.
        double previous = sizes[last].innerRadius;
        for (uint32_t child = first; child <= last; ++child) {
            sizes[child].angle = (sizes[child].innerRadius + gap + previous) / ringRadius;
            previous = sizes[child].innerRadius;
        }
    }

    trace() << "make it ready\n";
    std::vector<LayoutRecord> records(size);
    const double levels = static_cast<double>(depths);
    // The running angle accumulates over all vertices of one level in breadth-first order,
    // across parents, so the next parent's children continue where the previous ones ended.
    float runningAngle = 0.0f;
    int32_t currentLevel = 0;
    for (uint32_t position = 0; position < size; ++position) {
        if (tree.level(position) != currentLevel) {
            ++currentLevel;
            runningAngle = 0.0f;
        }
        runningAngle += sizes[position].angle;

        double baseX = 0.0, baseY = -1.0, baseZ = 0.0;
        double offsetX = 0.0, offsetY = 0.0, offsetZ = 0.0;
        const uint32_t parent = tree.parent(position);
        if (parent != BreadthFirstTree::kNone) {
            const LayoutRecord& base = records[parent];
            baseX = base.x;
            baseY = base.y;
            baseZ = base.z;
            const double rho = sizes[parent].radius;
            const float degrees = runningAngle * 180.0f / 3.14159f;
            const double theta = static_cast<double>(degrees) * kDegreesToRadians;
            offsetX = -(rho * std::sin(theta));
            offsetZ = rho * std::cos(theta);
        }
        records[position] =
            layout::treeRecord(static_cast<float>(baseX + offsetX),
                               static_cast<float>(baseY + offsetY + currentLevel / levels),
                               static_cast<float>(baseZ + offsetZ), 0.8f);
    }

    // The store's vertex map is in ascending id order, so every entry goes in at the end.
    m_balloons.clear();
    const auto pool = ObjectPool<VertexBallon>::create();
    for (const auto& [id, vertex] : graph->vertices()) {
        const uint32_t position = tree.position(id);
        if (position == BreadthFirstTree::kNone) continue;
        m_balloons.emplace_hint(
            m_balloons.end(), id,
            ObjectPool<VertexBallon>::make(pool, vertex, sizes[position].radius,
                                           sizes[position].innerRadius, sizes[position].perimeter,
                                           sizes[position].angle));
    }
    layout::storeRecords(m_nodeRecords, tree, records);
}
