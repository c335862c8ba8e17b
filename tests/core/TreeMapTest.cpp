#include "LayoutTestGraph.h"
#include "TreeMap.h"

#include <boost/make_shared.hpp>
#include <gtest/gtest.h>

#include <sstream>

namespace {

// Child ids of every strip of a rectangle.
std::vector<std::vector<uint32_t>> stripIds(const MapVertex& cell) {
    std::vector<std::vector<uint32_t>> strips;
    for (const StripPtr& strip : cell.getStrips()) {
        strips.emplace_back();
        for (const VertexPtr& vertex : strip->items()) strips.back().push_back(vertex->getId());
    }
    return strips;
}

// Runs a treemap with the trace captured.
std::string calculateTraced(TreeMap& view) {
    std::ostringstream captured;
    setTraceStream(&captured);
    view.calculate();
    setTraceStream(nullptr);
    return captured.str();
}

TEST(TreeMap, RootAloneFillsTheUnitSquare) {
    for (int mode : {0, 1}) {
        PublishedGraph graph(treeRecords(1, {}));
        TreeMap view(mode);
        EXPECT_EQ(calculateTraced(view), "");
        ASSERT_EQ(view.mapVertices().size(), 1u);
        const MapVertex& root = *view.mapVertices().at(0);
        EXPECT_EQ(root.getWidth(), 1.0);
        EXPECT_EQ(root.getHeight(), 1.0);
        EXPECT_EQ(stripIds(root), std::vector<std::vector<uint32_t>>{{}});
        const LayoutRecord record = view.getRecord(0);
        EXPECT_EQ(record.x, 0.5f);
        EXPECT_EQ(record.y, 0.5f);
        EXPECT_EQ(record.z, 0.5f);
        EXPECT_EQ(record.r, 0.0f);
        EXPECT_EQ(record.g, 1.0f);
        EXPECT_EQ(record.b, 1.0f);
        EXPECT_EQ(record.a, 1.0f);
    }
}

TEST(TreeMap, SliceAndDiceSplitsTheRootIntoThirdsAlongX) {
    PublishedGraph graph(starRecords(3));
    TreeMap view(TreeMap::SLICE_AND_DICE);
    view.calculate();
    const float third = static_cast<float>(1.0 / 3.0);
    const float half = static_cast<float>(0.5 * (1.0 / 3.0));
    float corner = 0.0f;
    for (uint32_t id = 1; id <= 3; ++id) {
        const MapVertex& cell = *view.mapVertices().at(id);
        EXPECT_EQ(cell.getWidth(), 1.0 / 3.0);
        EXPECT_EQ(cell.getHeight(), 1.0);
        EXPECT_EQ(view.getRecord(id).x, corner + half) << id;
        EXPECT_EQ(view.getRecord(id).z, 0.5f);
        corner = corner + third;
    }
    EXPECT_NEAR(view.getRecord(1).x, 1.0 / 6, 1e-7);
    EXPECT_NEAR(view.getRecord(3).x, 5.0 / 6, 1e-7);
}

TEST(TreeMap, SliceAndDiceStacksGrandchildrenAlongZ) {
    // 0 -> {1, 2}; 1 -> {3, 4}.
    PublishedGraph graph(treeRecords(5, {{0, 1}, {0, 2}, {1, 3}, {1, 4}}));
    TreeMap view(TreeMap::SLICE_AND_DICE);
    view.calculate();
    EXPECT_EQ(stripIds(*view.mapVertices().at(0)), (std::vector<std::vector<uint32_t>>{{1, 2}}));
    EXPECT_EQ(stripIds(*view.mapVertices().at(1)), (std::vector<std::vector<uint32_t>>{{3}, {4}}));
    for (uint32_t id : {3u, 4u}) {
        EXPECT_EQ(view.mapVertices().at(id)->getWidth(), 0.5);
        EXPECT_EQ(view.mapVertices().at(id)->getHeight(), 0.5);
        EXPECT_EQ(view.getRecord(id).x, 0.25f);
    }
    EXPECT_EQ(view.getRecord(3).z, 0.25f);
    EXPECT_EQ(view.getRecord(4).z, 0.75f);
}

TEST(TreeMap, SingleChildTakesItsParentsRectangleInBothModes) {
    for (int mode : {0, 1}) {
        PublishedGraph graph(treeRecords(3, {{0, 1}, {1, 2}}));
        TreeMap view(mode);
        EXPECT_EQ(calculateTraced(view), "");
        for (uint32_t id : {1u, 2u}) {
            EXPECT_EQ(view.mapVertices().at(id)->getWidth(), 1.0);
            EXPECT_EQ(view.mapVertices().at(id)->getHeight(), 1.0);
            EXPECT_EQ(view.getRecord(id).x, 0.5f);
            EXPECT_EQ(view.getRecord(id).z, 0.5f);
        }
    }
}

TEST(TreeMap, StripsWithTwoChildrenOpenASecondStrip) {
    PublishedGraph graph(starRecords(2));
    TreeMap view(TreeMap::STRIPS);
    EXPECT_EQ(calculateTraced(view), "Aspect Ratio: 2\n");
    EXPECT_EQ(stripIds(*view.mapVertices().at(0)), (std::vector<std::vector<uint32_t>>{{1}, {2}}));
    for (uint32_t id : {1u, 2u}) {
        EXPECT_EQ(view.mapVertices().at(id)->getWidth(), 1.0);
        EXPECT_EQ(view.mapVertices().at(id)->getHeight(), 0.5);
    }
    EXPECT_EQ(view.getRecord(2).z, 0.75f);
}

TEST(TreeMap, StripsWithFiveChildren) {
    PublishedGraph graph(starRecords(5));
    TreeMap view(TreeMap::STRIPS);
    EXPECT_EQ(calculateTraced(view),
              "Aspect Ratio: 2\nAspect Ratio: 1\nAspect Ratio: 1.5\nAspect Ratio: 1.5\n");
    EXPECT_EQ(stripIds(*view.mapVertices().at(0)),
              (std::vector<std::vector<uint32_t>>{{1}, {2, 3}, {4, 5}}));
    EXPECT_EQ(view.mapVertices().at(1)->getWidth(), 1.0);
    for (uint32_t id = 2; id <= 5; ++id) EXPECT_EQ(view.mapVertices().at(id)->getWidth(), 0.5);
    for (uint32_t id = 1; id <= 5; ++id) {
        EXPECT_EQ(view.mapVertices().at(id)->getHeight(), 1.0 / 3.0);
    }
}

TEST(TreeMap, StripsWithEightChildren) {
    PublishedGraph graph(starRecords(8));
    TreeMap view(TreeMap::STRIPS);
    EXPECT_EQ(calculateTraced(view),
              "Aspect Ratio: 2\nAspect Ratio: 1\nAspect Ratio: 1.5\nAspect Ratio: 1.5\n"
              "Aspect Ratio: 1\nAspect Ratio: 1.33333\nAspect Ratio: 2\n");
    EXPECT_EQ(stripIds(*view.mapVertices().at(0)),
              (std::vector<std::vector<uint32_t>>{{1}, {2, 3}, {4, 5, 6}, {7, 8}}));
    for (uint32_t id = 1; id <= 8; ++id) {
        EXPECT_EQ(view.mapVertices().at(id)->getHeight(), 0.25);
    }
}

TEST(TreeMap, StripsTraceFollowsTheSubtreesDepthFirst) {
    // 0 -> {1, 2}; 1 -> 3; 3 -> {4, 5, 6}; 2 -> {7, 8}. Depth first the trace of 3's children
    // comes before that of 2's, breadth first it would come after.
    PublishedGraph graph(
        treeRecords(9, {{0, 1}, {0, 2}, {1, 3}, {3, 4}, {3, 5}, {3, 6}, {2, 7}, {2, 8}}));
    TreeMap view(TreeMap::STRIPS);
    EXPECT_EQ(calculateTraced(view),
              "Aspect Ratio: 2\nAspect Ratio: 1\nAspect Ratio: 1.5\nAspect Ratio: 1\n");
    EXPECT_EQ(stripIds(*view.mapVertices().at(3)),
              (std::vector<std::vector<uint32_t>>{{4, 5}, {6}}));
}

TEST(TreeMap, AspectRatioIsAtLeastOneEitherWay) {
    const VertexPtr vertex = boost::make_shared<Vertex>(0, "v");
    MapVertex cell(vertex, 1.0, 0.5);
    cell.lastStrip()->addVertex(vertex);
    EXPECT_EQ(cell.aspectRatio(), 2.0f);
    cell.lastStrip()->addVertex(vertex);
    EXPECT_EQ(cell.aspectRatio(), 1.0f);
    cell.lastStrip()->addVertex(vertex);
    cell.lastStrip()->addVertex(vertex);
    EXPECT_EQ(cell.aspectRatio(), 2.0f);
    cell.addStrip();
    cell.lastStrip()->addVertex(vertex);
    EXPECT_EQ(cell.aspectRatio(), 4.0f);
    cell.lastStrip()->removeLastVertex();
    EXPECT_EQ(cell.lastStrip()->vertexCount(), 0u);
}

TEST(TreeMap, UnreachableVerticesGetNoRectangleAndNoRecord) {
    PublishedGraph graph(treeRecords(4, {{0, 1}, {0, 2}}));
    for (int mode : {0, 1}) {
        TreeMap view(mode);
        view.calculate();
        EXPECT_EQ(view.mapVertices().count(3), 0u);
        EXPECT_EQ(view.records().count(3), 0u);
        EXPECT_EQ(view.records().size(), 3u);
    }
}

TEST(TreeMap, UnknownModeSubdividesNothing) {
    PublishedGraph graph(starRecords(3));
    TreeMap view(7);
    view.calculate();
    EXPECT_EQ(view.mapVertices().size(), 1u);
    EXPECT_EQ(view.records().size(), 1u);
    EXPECT_EQ(view.getRecord(0).x, 0.5f);
}

}  // namespace
