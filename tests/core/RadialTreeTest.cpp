#include "LayoutTestGraph.h"
#include "RadialTree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

TEST(RadialTree, SingleVertexAtTheCentre) {
    PublishedGraph graph(treeRecords(1, {}));
    std::ostringstream captured;
    setTraceStream(&captured);
    RadialTree view;
    view.calculate();
    setTraceStream(nullptr);
    EXPECT_EQ(captured.str(), "Radialtree 0\nRadialtree 1\nRadialtree 2\n");
    const LayoutRecord record = view.getRecord(0);
    EXPECT_EQ(record.x, 0.0f);
    EXPECT_EQ(record.y, 0.0f);
    EXPECT_EQ(record.z, 0.0f);
    EXPECT_EQ(record.a, 0.8f);
}

TEST(RadialTree, FourLeavesOnTheQuarterCircle) {
    PublishedGraph graph(starRecords(4));
    RadialTree view;
    view.calculate();
    const float expected[4][2] = {{0.5f, 0.0f}, {0.0f, 0.5f}, {-0.5f, 0.0f}, {0.0f, -0.5f}};
    for (uint32_t id = 1; id <= 4; ++id) {
        const LayoutRecord record = view.getRecord(id);
        EXPECT_NEAR(record.x, expected[id - 1][0], 1e-6) << id;
        EXPECT_NEAR(record.z, expected[id - 1][1], 1e-6) << id;
        EXPECT_EQ(record.y, 0.0f);
    }
    EXPECT_EQ(view.getRecord(1).x, 0.5f);
    const LayoutRecord root = view.getRecord(0);
    EXPECT_EQ(root.x, 0.0f);
    EXPECT_EQ(root.z, 0.0f);
}

TEST(RadialTree, AnglesAverageWithoutWrapAroundAndTraceTheMean) {
    // Leaves 2, 3, 4, 5 at 0, 90, 180, 270 degrees; vertex 1 holds leaves 2 and 5.
    PublishedGraph graph(treeRecords(6, {{0, 1}, {1, 2}, {0, 3}, {0, 4}, {1, 5}}));
    std::ostringstream captured;
    setTraceStream(&captured);
    RadialTree view;
    view.calculate();
    setTraceStream(nullptr);
    EXPECT_EQ(captured.str(),
              "Radialtree 0\nRadialtree 1\nbegin\ntmphelp:0\ntmphelp:270\nANGLE:135\nbefore\n"
              "after\nende\nRadialtree 2\n");
    const LayoutRecord inner = view.getRecord(1);
    const double theta = 135.0 * (static_cast<double>(static_cast<float>(M_PI)) / 180.0);
    const float rho = 1.0f / 3.0f;
    EXPECT_EQ(inner.x, static_cast<float>(rho * std::cos(theta)));
    EXPECT_EQ(inner.z, static_cast<float>(rho * std::sin(theta)));
    // Leaves keep their own radius: 3 and 4 on the first ring, 2 and 5 on the second.
    EXPECT_FLOAT_EQ(std::hypot(view.getRecord(3).x, view.getRecord(3).z), 1.0f / 3);
    EXPECT_FLOAT_EQ(std::hypot(view.getRecord(5).x, view.getRecord(5).z), 2.0f / 3);
}

TEST(RadialTree, DeeperPassesWalkPendingVerticesBackwards) {
    // 1 and 2 are both discovered from leaves, 1 first; the pass over level 1 visits 2 first.
    PublishedGraph graph(treeRecords(5, {{0, 1}, {0, 2}, {1, 3}, {2, 4}}));
    std::ostringstream captured;
    setTraceStream(&captured);
    RadialTree view;
    view.calculate();
    setTraceStream(nullptr);
    const std::string text = captured.str();
    EXPECT_LT(text.find("tmphelp:180"), text.find("tmphelp:0\n"));
}

}  // namespace
