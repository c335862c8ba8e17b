#include "LayoutTestGraph.h"
#include "RootedTree.h"

#include <gtest/gtest.h>

namespace {

TEST(RootedTree, SingleVertexIsItsOwnLeafAtTheOrigin) {
    PublishedGraph graph(treeRecords(1, {}));
    RootedTree view;
    view.calculate();
    ASSERT_EQ(view.records().size(), 1u);
    const LayoutRecord record = view.getRecord(0);
    EXPECT_EQ(record.x, 0.0f);
    EXPECT_EQ(record.y, 0.0f);
    EXPECT_EQ(record.z, 0.0f);
    EXPECT_EQ(record.r, 1.0f);
    EXPECT_EQ(record.g, 0.0f);
    EXPECT_EQ(record.b, 0.0f);
    EXPECT_EQ(record.a, 0.2f);
}

TEST(RootedTree, RootWithTwoLeavesIsCentredAboveThem) {
    PublishedGraph graph(starRecords(2));
    RootedTree view;
    view.calculate();
    EXPECT_EQ(view.getRecord(1).x, 0.0f);
    EXPECT_EQ(view.getRecord(2).x, 0.5f);
    EXPECT_EQ(view.getRecord(1).y, 0.5f);
    EXPECT_EQ(view.getRecord(2).y, 0.5f);
    EXPECT_EQ(view.getRecord(0).x, 0.25f);
    EXPECT_EQ(view.getRecord(0).y, 0.0f);
}

TEST(RootedTree, InnerVertexAveragesChildrenNotLeaves) {
    // 0 -> {1, 2}; 2 -> {3, 4, 5}: leaves 1, 3, 4, 5 at x 0, 1/4, 2/4, 3/4; L = 3.
    PublishedGraph graph(treeRecords(6, {{0, 1}, {0, 2}, {2, 3}, {2, 4}, {2, 5}}));
    RootedTree view;
    view.calculate();
    const float subtree = (0.25f + 0.5f + 0.75f) / 3.0f;
    EXPECT_EQ(view.getRecord(2).x, subtree);
    EXPECT_EQ(view.getRecord(0).x, (0.0f + subtree) / 2.0f);
    // A leaf keeps its own depth: leaf 1 is not pushed down to the leaves of depth 2.
    EXPECT_EQ(view.getRecord(1).y, static_cast<float>(1.0 / 3.0));
    EXPECT_EQ(view.getRecord(3).y, static_cast<float>(2.0 / 3.0));
}

TEST(RootedTree, LeavesFollowIdsEvenWhenSubtreesInterleave) {
    // Subtree of 1 holds leaves 3 and 5, subtree of 2 holds 4 and 6.
    PublishedGraph graph(treeRecords(7, {{0, 1}, {0, 2}, {1, 3}, {2, 4}, {1, 5}, {2, 6}}));
    RootedTree view;
    view.calculate();
    EXPECT_EQ(view.getRecord(3).x, 0.0f);
    EXPECT_EQ(view.getRecord(4).x, 0.25f);
    EXPECT_EQ(view.getRecord(5).x, 0.5f);
    EXPECT_EQ(view.getRecord(6).x, 0.75f);
    EXPECT_EQ(view.getRecord(1).x, 0.25f);
    EXPECT_EQ(view.getRecord(2).x, 0.5f);
}

TEST(RootedTree, GetRecordOfUnknownIdInsertsZeros) {
    PublishedGraph graph(starRecords(2));
    RootedTree view;
    view.calculate();
    const LayoutRecord record = view.getRecord(77);
    EXPECT_EQ(record.x, 0.0f);
    EXPECT_EQ(record.a, 0.0f);
    EXPECT_EQ(view.records().size(), 4u);
}

TEST(RootedTree, RecalculationOverwritesReachedIdsAndKeepsOthers) {
    RootedTree view;
    {
        PublishedGraph graph(starRecords(4));
        view.calculate();
    }
    const LayoutRecord stale = view.getRecord(4);
    PublishedGraph graph(starRecords(2));
    view.calculate();
    ASSERT_EQ(view.records().size(), 5u);
    EXPECT_EQ(view.getRecord(2).x, 0.5f);
    EXPECT_EQ(view.getRecord(0).x, 0.25f);
    EXPECT_TRUE(sameRecord(view.getRecord(4), stale));
}

}  // namespace
