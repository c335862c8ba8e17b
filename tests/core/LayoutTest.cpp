// The geometry each layout gives small trees, beside the invariants over generated families.
#include "BallonTree.h"
#include "FiveViews.h"
#include "LayoutTestGraph.h"
#include "ViewType.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

constexpr float kAny = NAN;  // a coordinate the case does not fix

struct Case {
    const char* tree;  // parent-child pairs over ids 0 .. n, root 0
    int view;
    uint32_t id;
    float x, y, z;
};

// Radial tree: leaves 2, 3, 4, 5 at 0, 90, 180 and 270 degrees; inner vertex 1 holds 2 and 5,
// so its angle is their mean without wrapping round, 135 degrees.
const float kRing = 1.0f / 3, kInner = float(std::sqrt(0.5) / 3);

const Case kCases[] = {
    {"", VIEW_ROOTED_TREE, 0, 0, 0, 0},
    {"0-1 0-2", VIEW_ROOTED_TREE, 0, 0.25f, 0, kAny},
    {"0-1 0-2", VIEW_ROOTED_TREE, 2, 0.5f, 0.5f, kAny},
    // Inner vertices average their children, not their leaves; a leaf keeps its own depth.
    {"0-1 0-2 2-3 2-4 2-5", VIEW_ROOTED_TREE, 2, 0.5f, 1.0f / 3, kAny},
    {"0-1 0-2 2-3 2-4 2-5", VIEW_ROOTED_TREE, 0, 0.25f, 0, kAny},
    {"0-1 0-2 2-3 2-4 2-5", VIEW_ROOTED_TREE, 1, 0, 1.0f / 3, kAny},
    {"0-1 0-2 2-3 2-4 2-5", VIEW_ROOTED_TREE, 3, 0.25f, 2.0f / 3, kAny},
    // Leaves follow their ids even when subtrees interleave.
    {"0-1 0-2 1-3 2-4 1-5 2-6", VIEW_ROOTED_TREE, 4, 0.25f, kAny, kAny},
    {"0-1 0-2 1-3 2-4 1-5 2-6", VIEW_ROOTED_TREE, 5, 0.5f, kAny, kAny},
    {"0-1 0-2 1-3 2-4 1-5 2-6", VIEW_ROOTED_TREE, 1, 0.25f, kAny, kAny},
    {"", VIEW_BALLON_TREE, 0, 0, -1, 0},
    {"0-1 0-2 0-3", VIEW_BALLON_TREE, 2, kAny, -0.5f, kAny},
    {"0-1 0-2 1-3 1-4 2-5 2-6", VIEW_BALLON_TREE, 1, kAny, -1 + 1.0f / 3, kAny},
    {"0-1 0-2 1-3 1-4 2-5 2-6", VIEW_BALLON_TREE, 5, kAny, 0, kAny},
    {"", VIEW_SLICE_AND_DICE, 0, 0.5f, 0.5f, 0.5f},
    {"0-1 0-2 0-3", VIEW_SLICE_AND_DICE, 1, 1.0f / 6, kAny, 0.5f},
    {"0-1 0-2 0-3", VIEW_SLICE_AND_DICE, 3, 5.0f / 6, kAny, 0.5f},
    {"0-1 0-2 1-3 1-4", VIEW_SLICE_AND_DICE, 3, 0.25f, kAny, 0.25f},
    {"0-1 0-2 1-3 1-4", VIEW_SLICE_AND_DICE, 4, 0.25f, kAny, 0.75f},
    {"0-1 1-2", VIEW_SLICE_AND_DICE, 2, 0.5f, kAny, 0.5f},
    {"0-1 1-2", VIEW_STRIP_TREEMAP, 2, 0.5f, kAny, 0.5f},
    {"0-1 0-2", VIEW_STRIP_TREEMAP, 2, 0.5f, kAny, 0.75f},
    // Five children: strips {1}, {2, 3}, {4, 5}; eight: {1}, {2, 3}, {4, 5, 6}, {7, 8}.
    {"0-1 0-2 0-3 0-4 0-5", VIEW_STRIP_TREEMAP, 1, 0.5f, kAny, 1.0f / 6},
    {"0-1 0-2 0-3 0-4 0-5", VIEW_STRIP_TREEMAP, 3, 0.75f, kAny, 0.5f},
    {"0-1 0-2 0-3 0-4 0-5", VIEW_STRIP_TREEMAP, 4, 0.25f, kAny, 5.0f / 6},
    {"0-1 0-2 0-3 0-4 0-5 0-6 0-7 0-8", VIEW_STRIP_TREEMAP, 4, 1.0f / 6, kAny, 0.625f},
    {"0-1 0-2 0-3 0-4 0-5 0-6 0-7 0-8", VIEW_STRIP_TREEMAP, 8, 0.75f, kAny, 0.875f},
    {"", VIEW_RADIAL_TREE, 0, 0, 0, 0},
    {"0-1 0-2 0-3 0-4", VIEW_RADIAL_TREE, 1, 0.5f, 0, 0},
    {"0-1 0-2 0-3 0-4", VIEW_RADIAL_TREE, 2, 0, 0, 0.5f},
    {"0-1 0-2 0-3 0-4", VIEW_RADIAL_TREE, 4, 0, 0, -0.5f},
    {"0-1 1-2 0-3 0-4 1-5", VIEW_RADIAL_TREE, 1, -kInner, 0, kInner},
    {"0-1 1-2 0-3 0-4 1-5", VIEW_RADIAL_TREE, 3, 0, 0, kRing},
    {"0-1 1-2 0-3 0-4 1-5", VIEW_RADIAL_TREE, 5, 0, 0, -2 * kRing},
};

std::vector<DataRecord> recordsOf(const std::string& tree) {
    std::vector<std::pair<uint32_t, uint32_t>> edges;
    std::istringstream pairs(tree);
    uint32_t parent, child, count = 1;
    char dash;
    while (pairs >> parent >> dash >> child) {
        edges.emplace_back(parent, child);
        count = std::max(count, child + 1);
    }
    return treeRecords(count, edges);
}

}  // namespace

TEST(Layouts, SmallTreesGetTheirGeometry) {
    for (const Case& c : kCases) {
        const std::unique_ptr<FiveViews> laid = layOutFiveViews(c.tree, recordsOf(c.tree));
        const LayoutRecord r = laid->views[c.view]->getRecord(c.id);
        const float expected[] = {c.x, c.y, c.z}, actual[] = {r.x, r.y, r.z};
        for (int axis = 0; axis < 3; ++axis) {
            if (std::isnan(expected[axis])) continue;
            EXPECT_NEAR(actual[axis], expected[axis], 1e-6)
                << "tree \"" << c.tree << "\" view " << c.view << " vertex " << c.id << " axis "
                << axis;
        }
    }
}

// The balloon of three leaves: its circle is the leaves' diameters plus seven gaps of 0.01 long,
// and the leaves stand a third of the circle apart.
TEST(Layouts, BalloonCircleHoldsItsChildrenAndGaps) {
    const auto graph = builtGraph(treeRecords(4, {{0, 1}, {0, 2}, {0, 3}}));
    BallonTree view(*graph);
    view.calculate();
    const double radius = (3 * 0.02 + 7 * 0.01) / (2 * M_PI) + 0.01;
    double angles[3];
    for (uint32_t id = 1; id <= 3; ++id) {
        const LayoutRecord leaf = view.getRecord(id);
        EXPECT_NEAR(std::hypot(leaf.x, leaf.z), radius, 1e-5);
        angles[id - 1] = std::atan2(-leaf.x, leaf.z);
    }
    EXPECT_NEAR(std::remainder(angles[1] - angles[0], 2 * M_PI), 2 * M_PI / 3, 1e-4);
    EXPECT_NEAR(std::remainder(angles[2] - angles[1], 2 * M_PI), 2 * M_PI / 3, 1e-4);
}
