// The linear layouts against transcriptions of the original quadratic procedures: records,
// balloons and trace must agree to the last bit on many generated graphs.
#include "BallonTree.h"
#include "LayoutReference.h"
#include "LayoutTestGraph.h"
#include "RadialTree.h"
#include "RootedTree.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<GeneratorParams> comparisonGraphs() {
    std::vector<GeneratorParams> family = graphFamily(150, 4);
    for (const GeneratorParams& params : graphFamily(1200, 1)) family.push_back(params);
    return family;
}

TEST(LayoutReference, RootedTreeMatchesClimbingFrontier) {
    for (const GeneratorParams& params : comparisonGraphs()) {
        PublishedGraph graph(params);
        const auto expected = reference::rootedTree();
        RootedTree view;
        view.calculate();
        EXPECT_EQ(firstDifference(expected, view.records()), "") << describe(params);
    }
}

TEST(LayoutReference, BallonTreeMatchesLevelSweeps) {
    for (const GeneratorParams& params : comparisonGraphs()) {
        PublishedGraph graph(params);
        std::ostringstream expectedTrace, actualTrace;
        setTraceStream(&expectedTrace);
        const reference::Balloons expected = reference::ballonTree();
        setTraceStream(&actualTrace);
        BallonTree view;
        view.calculate();
        setTraceStream(nullptr);
        EXPECT_EQ(firstDifference(expected.records, view.records()), "") << describe(params);
        EXPECT_EQ(expectedTrace.str(), actualTrace.str());
        ASSERT_EQ(expected.balloons.size(), view.balloons().size()) << describe(params);
        for (const auto& [id, balloon] : expected.balloons) {
            const VertexBallon& actual = *view.balloons().at(id);
            EXPECT_EQ(actual.m_vertex, balloon->m_vertex);
            EXPECT_TRUE(sameBits(actual.m_radius, balloon->m_radius) &&
                        sameBits(actual.m_innerRadius, balloon->m_innerRadius) &&
                        sameBits(actual.m_angle, balloon->m_angle) &&
                        sameBits(actual.m_perimeter, balloon->m_perimeter))
                << describe(params) << " balloon " << id;
        }
    }
}

TEST(LayoutReference, RadialTreeMatchesPendingListIncludingTrace) {
    for (const GeneratorParams& params : comparisonGraphs()) {
        PublishedGraph graph(params);
        std::ostringstream expectedTrace, actualTrace;
        setTraceStream(&expectedTrace);
        const auto expected = reference::radialTree();
        setTraceStream(&actualTrace);
        RadialTree view;
        view.calculate();
        setTraceStream(nullptr);
        EXPECT_EQ(firstDifference(expected, view.records()), "") << describe(params);
        EXPECT_EQ(expectedTrace.str(), actualTrace.str()) << describe(params);
    }
}

TEST(LayoutReference, HandWrittenTreesWithLeavesOnSeveralLevels) {
    // Ids interleave between subtrees and leaves sit on three different depths.
    const std::vector<std::vector<std::pair<uint32_t, uint32_t>>> trees = {
        {{0, 5}, {0, 1}, {5, 2}, {5, 7}, {1, 3}, {7, 4}, {7, 6}, {1, 8}},
        {{3, 0}, {3, 1}, {0, 2}, {2, 4}, {4, 5}, {1, 6}, {3, 7}, {7, 8}},
        {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 8}},
    };
    const uint32_t roots[] = {0, 3, 0};
    for (size_t t = 0; t < trees.size(); ++t) {
        PublishedGraph graph(treeRecords(9, trees[t], roots[t]));
        RootedTree rooted;
        rooted.calculate();
        EXPECT_EQ(firstDifference(reference::rootedTree(), rooted.records()), "") << t;
        BallonTree ballon;
        ballon.calculate();
        EXPECT_EQ(firstDifference(reference::ballonTree().records, ballon.records()), "") << t;
        RadialTree radial;
        radial.calculate();
        EXPECT_EQ(firstDifference(reference::radialTree(), radial.records()), "") << t;
    }
}

}  // namespace
