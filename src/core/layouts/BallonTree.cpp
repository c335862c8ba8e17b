#include "BallonTree.h"

#include "OpeningWatch.h"

#include "AscendingInserter.h"
#include "Matrix.h"
#include "BreadthFirstTree.h"
#include "GraphStore.h"
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

// Working values of one vertex, by breadth-first position. Kept together per vertex: the final
// walk in id order meets them in scattered order.
struct Sizes {
    double radius = 0.0;
    double innerRadius = 0.0;
    double angle = 0.0;
    double perimeter = 0.0;
};

void sizeLeaves(const BreadthFirstTree& tree, std::vector<Sizes>& sizes) {
    for (uint32_t position = 0; position < tree.size(); ++position) {
        if (tree.childCount(position) > 0) continue;
        sizes[position].radius = sizes[position].innerRadius = kLeafRadius;
        sizes[position].perimeter = kTwoPi * kLeafRadius;
    }
}

// Where each level starts among the breadth-first positions, which hold the levels one after the
// other; levels past the last start at the end.
std::vector<uint32_t> levelStarts(const BreadthFirstTree& tree, int32_t depths) {
    const uint32_t size = tree.size();
    std::vector<uint32_t> levelStart(std::max<int32_t>(depths, 0) + 1, size);
    for (uint32_t position = size; position-- > 0;) {
        const int32_t level = tree.level(position);
        if (level >= 0 && level < depths) levelStart[level] = position;
    }
    for (int32_t level = depths - 1; level > 0; --level) {
        levelStart[level - 1] = std::min(levelStart[level - 1], levelStart[level]);
    }
    return levelStart;
}

// The sum of the children's diameters in ascending id order, the order of a sweep over the
// id-ordered balloon table; largest gets the largest child radius. byId is scratch space.
double childDiameters(const BreadthFirstTree& tree, uint32_t position,
                      const std::vector<Sizes>& sizes, std::vector<uint32_t>& byId,
                      double& largest) {
    const uint32_t first = tree.firstChild(position);
    byId.clear();
    bool ascending = true;
    for (uint32_t child = first; child < first + tree.childCount(position); ++child) {
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
    return sum;
}

// The pass for each level adds the children's diameters to their parents, then sizes the
// parents' level; the levels are walked in place instead of sweeping the whole table once per
// level.
void sizeParents(const BreadthFirstTree& tree, int32_t depths, std::vector<Sizes>& sizes) {
    const std::vector<uint32_t> levelStart = levelStarts(tree, depths);
    std::vector<uint32_t> byId;
    for (int32_t level = depths - 1; level >= 1; --level) {
        for (uint32_t position = levelStart[level - 1]; position < levelStart[level]; ++position) {
            const uint32_t childCount = tree.childCount(position);
            double largest = 0.0;
            if (childCount > 0) {
                sizes[position].perimeter = childDiameters(tree, position, sizes, byId, largest);
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
}

// Each child's angular step around its parent's ring.
void placeAngles(const BreadthFirstTree& tree, int32_t depths, std::vector<Sizes>& sizes) {
    const int32_t lastInnerLevel = depths - 2;
    sizes[0].angle = 0.0;
    for (uint32_t parent = 0; parent < tree.size(); ++parent) {
        OpeningWatch::step(parent, tree.size());
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
}

// Every vertex on its parent's ring, a level higher.
std::vector<LayoutRecord> placeRecords(const BreadthFirstTree& tree, int32_t depths,
                                       const std::vector<Sizes>& sizes) {
    std::vector<LayoutRecord> records(tree.size());
    const double levels = static_cast<double>(depths);
    // The running angle accumulates over all vertices of one level in breadth-first order,
    // across parents, so the next parent's children continue where the previous ones ended.
    float runningAngle = 0.0f;
    int32_t currentLevel = 0;
    for (uint32_t position = 0; position < tree.size(); ++position) {
        OpeningWatch::step(position, tree.size());
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
            const double theta = static_cast<double>(degrees) * math::kDegreesToRadians;
            offsetX = -(rho * std::sin(theta));
            offsetZ = rho * std::cos(theta);
        }
        records[position] =
            layout::treeRecord(static_cast<float>(baseX + offsetX),
                               static_cast<float>(baseY + offsetY + currentLevel / levels),
                               static_cast<float>(baseZ + offsetZ), 0.8f);
    }
    return records;
}

}  // namespace

void BallonTree::calculate() {
    const GraphStore* graph = &this->graph();
    if (!graph->getRoot()) return;
    const BreadthFirstTree tree(*graph);
    const int32_t depths = static_cast<int32_t>(graph->depthCount());
    std::vector<Sizes> sizes(tree.size());

    trace() << "Calculate Radius\n";
    sizeLeaves(tree, sizes);
    sizeParents(tree, depths, sizes);
    trace() << "Calculate Angle\n";
    placeAngles(tree, depths, sizes);
    trace() << "make it ready\n";
    const std::vector<LayoutRecord> records = placeRecords(tree, depths, sizes);

    // The store's vertex map is in ascending id order.
    m_balloons.clear();
    AscendingInserter balloons(m_balloons);
    const auto pool = ObjectPool<VertexBallon>::create();
    for (const auto& [id, vertex] : graph->vertices()) {
        const uint32_t position = tree.position(id);
        if (position == BreadthFirstTree::kNone) continue;
        balloons.assign(id, ObjectPool<VertexBallon>::make(
                                pool, vertex, sizes[position].radius, sizes[position].innerRadius,
                                sizes[position].perimeter, sizes[position].angle));
    }
    layout::storeRecords(m_records, tree, records);
}
