#include "BallonTree.h"
#include "LayoutTestGraph.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

const double kLeafRadius = 0.01f;

// The difference of two angles brought into [-pi, pi).
double angleBetween(double from, double to) {
    double turn = std::fmod(to - from + M_PI, 2 * M_PI);
    if (turn < 0) turn += 2 * M_PI;
    return turn - M_PI;
}

// Angle of a point in the x-z plane as the layout measures it: (0, rho) at 0, turning to -x.
double planeAngle(double x, double z) { return std::atan2(-x, z); }

TEST(BallonTree, SingleVertexKeepsLeafRadiusAndSitsBelowOrigin) {
    PublishedGraph graph(treeRecords(1, {}));
    std::ostringstream captured;
    setTraceStream(&captured);
    BallonTree view;
    view.calculate();
    setTraceStream(nullptr);
    EXPECT_EQ(captured.str(), "Calculate Radius\nCalculate Angle\nmake it ready\n");
    const VertexBallon& root = *view.balloons().at(0);
    // Recomputed in the pass for the first level: 2 pi r0 / 2 pi, r0 up to rounding.
    EXPECT_EQ(root.m_innerRadius, 6.28318 * kLeafRadius / 6.28318);
    EXPECT_EQ(root.m_radius, root.m_innerRadius);
    EXPECT_NEAR(root.m_radius, kLeafRadius, 1e-17);
    const LayoutRecord record = view.getRecord(0);
    EXPECT_EQ(record.x, 0.0f);
    EXPECT_EQ(record.y, -1.0f);
    EXPECT_EQ(record.z, 0.0f);
    EXPECT_EQ(record.a, 0.8f);
}

TEST(BallonTree, ThreeLeavesSitEvenlyAroundTheRoot) {
    PublishedGraph graph(starRecords(3));
    BallonTree view;
    view.calculate();
    const VertexBallon& root = *view.balloons().at(0);
    const double circumference = 3 * (2 * kLeafRadius) + 7 * 0.01;
    EXPECT_NEAR(circumference, 0.13, 1e-8);
    EXPECT_EQ(root.m_innerRadius, circumference / 6.28318);
    EXPECT_EQ(root.m_radius, root.m_innerRadius + kLeafRadius);
    EXPECT_EQ(root.m_perimeter, 2 * root.m_radius);

    const double gap = 7 * 0.01 / 3;
    double total = 0;
    for (uint32_t id = 1; id <= 3; ++id) {
        const VertexBallon& leaf = *view.balloons().at(id);
        EXPECT_EQ(leaf.m_radius, kLeafRadius);
        EXPECT_EQ(leaf.m_angle, (kLeafRadius + gap + kLeafRadius) / root.m_innerRadius);
        total += leaf.m_angle;
        const LayoutRecord record = view.getRecord(id);
        EXPECT_FLOAT_EQ(std::hypot(record.x, record.z), static_cast<float>(root.m_radius));
        EXPECT_EQ(record.y, -0.5f);
    }
    EXPECT_NEAR(total, 6.28318, 1e-9);
    // Evenly around: every leaf a third of the circle from the next.
    const LayoutRecord first = view.getRecord(1), second = view.getRecord(2);
    const double turn = angleBetween(planeAngle(first.x, first.z), planeAngle(second.x, second.z));
    EXPECT_NEAR(turn, angleBetween(0, 6.28318 / 3 * 1.0000008), 1e-5);
}

TEST(BallonTree, NineChildrenGetAGapButNoExtraRoomTenGetNeither) {
    for (uint32_t children : {9u, 10u}) {
        PublishedGraph graph(starRecords(children));
        BallonTree view;
        view.calculate();
        const VertexBallon& root = *view.balloons().at(0);
        double perimeter = 0;
        for (uint32_t c = 0; c < children; ++c) perimeter += 2 * kLeafRadius;
        EXPECT_EQ(root.m_innerRadius, perimeter / 6.28318) << children;
        const double gap = children == 9 ? 1 * 0.01 / 9 : 0.0;
        EXPECT_EQ(view.balloons().at(1)->m_angle,
                  (kLeafRadius + gap + kLeafRadius) / root.m_innerRadius)
            << children;
    }
}

TEST(BallonTree, SecondParentContinuesTheAngleOfTheLevel) {
    // Root 0 with children 1 and 2; 1 has leaves 3, 4; 2 has leaves 5, 6.
    PublishedGraph graph(treeRecords(7, {{0, 1}, {0, 2}, {1, 3}, {1, 4}, {2, 5}, {2, 6}}));
    BallonTree view;
    view.calculate();
    const auto& balloons = view.balloons();
    // A wider gap above the deepest level: f = 0.04 for the root, 0.01 for 1 and 2.
    EXPECT_EQ(balloons.at(1)->m_angle,
              (balloons.at(1)->m_innerRadius + 8 * 0.04 / 2 + balloons.at(2)->m_innerRadius) /
                  balloons.at(0)->m_innerRadius);
    float running = 0;
    for (uint32_t id = 3; id <= 5; ++id) running += balloons.at(id)->m_angle;
    const LayoutRecord parent = view.getRecord(2), leaf = view.getRecord(5);
    const double theta = planeAngle(leaf.x - parent.x, leaf.z - parent.z);
    EXPECT_NEAR(angleBetween(running * 1.0000008, theta), 0.0, 1e-4);
    // Height grows by level / L per step: -1, -1 + 1/3, -1 + 3/3.
    EXPECT_FLOAT_EQ(view.getRecord(1).y, static_cast<float>(-1.0 + 1.0 / 3));
    EXPECT_NEAR(leaf.y, 0.0f, 1e-6);
}

TEST(BallonTree, LeafAboveTheDeepestLevelIsRecomputed) {
    // Leaf 1 on level 1, leaves 3 and 4 on level 2.
    PublishedGraph graph(treeRecords(5, {{0, 1}, {0, 2}, {2, 3}, {2, 4}}));
    BallonTree view;
    view.calculate();
    const VertexBallon& shallow = *view.balloons().at(1);
    EXPECT_EQ(shallow.m_innerRadius, 6.28318 * kLeafRadius / 6.28318);
    EXPECT_EQ(shallow.m_radius, shallow.m_innerRadius);
    EXPECT_EQ(shallow.m_perimeter, 2 * shallow.m_radius);
    const VertexBallon& deep = *view.balloons().at(3);
    EXPECT_EQ(deep.m_radius, kLeafRadius);
    EXPECT_EQ(deep.m_perimeter, 6.28318 * kLeafRadius);
    const VertexBallon& inner = *view.balloons().at(2);
    EXPECT_EQ(inner.m_innerRadius, (2 * kLeafRadius + 2 * kLeafRadius + 8 * 0.01) / 6.28318);
}

}  // namespace
