#include "FiveViews.h"

#include <gtest/gtest.h>

namespace {

using Ids = std::vector<uint32_t>;

DataRecord vertex(uint32_t id, const std::string& name = "v") {
    return {"H", {std::to_string(id), name}};
}
DataRecord tree(uint32_t parent, uint32_t child) {
    return {"PCR", {std::to_string(parent), std::to_string(child)}};
}
DataRecord relation(uint32_t start, uint32_t end) {
    return {"R", {std::to_string(start), std::to_string(end)}};
}

}  // namespace

TEST(BuildGraph, RootAndEdgeIdsFollowTheFileOrder) {
    auto store = buildGraph({vertex(0), vertex(1), tree(0, 1)});
    EXPECT_EQ(store->getRoot()->getId(), 0u);
    store = buildGraph({{"Root", {"1"}}, vertex(0), vertex(1), {"Root", {"0"}}, {"Root", {"1"}}});
    EXPECT_EQ(store->getRoot()->getId(), 1u);
    // Edge ids count per kind in file order.
    store = buildGraph(
        {vertex(0), vertex(1), vertex(2), relation(2, 2), tree(0, 1), relation(1, 0), tree(0, 2)});
    ASSERT_EQ(store->hierarchyEdgeCount(), 2u);
    ASSERT_EQ(store->relationEdgeCount(), 2u);
    EXPECT_EQ(store->getHierarchyEdge(1)->getEnd()->getId(), 2u);
    EXPECT_EQ(store->getRelationEdge(0)->getId(), 0u);
    EXPECT_EQ(store->getRelationEdge(1)->getStart()->getId(), 1u);
}

TEST(Hierarchy, CountsPerDepthAndPathsToTheRoot) {
    auto store = builtGraph({vertex(0), vertex(1), vertex(2), vertex(3), vertex(4), vertex(5),
                             tree(0, 1), tree(0, 2), tree(0, 3), tree(2, 4), tree(2, 5)});
    EXPECT_EQ(store->getHierarchy(), (std::vector<int32_t>{1, 3, 2}));
    const int32_t levels[] = {0, 1, 1, 1, 2, 2};
    for (uint32_t id = 0; id < 6; ++id) EXPECT_EQ(store->getVertex(id)->getLevel(), levels[id]);

    auto single = builtGraph({vertex(0)});
    EXPECT_EQ(single->getHierarchy(), (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(single->getRoot()->getPathToRoot(), Ids{0});
    // The tree path of an edge from a vertex to itself is that vertex alone.
    EXPECT_EQ(single->getTreePath(RelationEdge(single->getRoot(), single->getRoot())), Ids{0});
}

TEST(Vertex, FreeingAVeryDeepTreeNeedsNoDeepCallStack) {
    // A chain far deeper than the call stack could take one destructor call per level.
    const uint32_t depth = 1'000'000;
    std::vector<DataRecord> records;
    records.reserve(2 * depth);
    for (uint32_t id = 0; id < depth; ++id) records.push_back(vertex(id));
    for (uint32_t id = 1; id < depth; ++id) records.push_back(tree(id - 1, id));
    auto store = buildGraph(std::move(records));
    VertexPtr middle = store->getVertex(depth / 2);
    store.reset();
    // A vertex still held elsewhere keeps its children.
    ASSERT_EQ(middle->getChildCount(), 1u);
    EXPECT_EQ(middle->getChild(0)->getId(), depth / 2 + 1);
    middle.reset();
}
