// The arrays the renderer uploads against the layout records they come from, over generated
// graphs, and the tessellation levels of the vertex spheres.
#include "BallonTree.h"
#include "FiveViews.h"
#include "LayoutTestGraph.h"
#include "SceneGeometry.h"
#include "SphereLevels.h"
#include "SphereMesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <set>

namespace {

// A code names its element when code * count lies within rounding of the element's index.
void expectCodeNames(float code, uint32_t index, uint32_t count) {
    ASSERT_GE(code, 0.0f);
    ASSERT_LT(code, 1.0f);
    ASSERT_EQ(std::lround(double(code) * count), long(index));
}

TEST(SceneGeometry, ArraysHoldTheLayoutRecordsOfEveryEdgeEndAndSphere) {
    for (const GeneratorParams& params : graphFamily(300, 1)) {
        const auto laid = layOutFiveViews("generated", GraphGenerator(params).records());
        const GraphStore& graph = *laid->graph;
        const auto geometry = SceneGeometry::build(graph, laid->table);
        const uint32_t edges = static_cast<uint32_t>(graph.hierarchyEdgeCount());
        ASSERT_EQ(geometry->edges[0].codes.size(), size_t(8) * edges) << describe(params);
        for (int t = 0; t < 5; ++t) {
            const View& view = *laid->views[t];
            const HierarchyEdgeArrays& arrays = geometry->edges[t];
            ASSERT_EQ(arrays.edgeCount(), edges) << describe(params) << " view " << t;
            ASSERT_EQ(arrays.colors.size(), size_t(8) * edges);
            EXPECT_EQ(arrays.codes.empty(), t != 0) << "codes are kept once";
            for (uint32_t i = 0; i < edges; ++i) {
                const HierarchyEdgePtr edge = graph.getHierarchyEdge(i);
                const uint32_t ends[2] = {edge->getStart()->getId(), edge->getEnd()->getId()};
                for (int e = 0; e < 2; ++e) {
                    const size_t v = 2 * size_t(i) + e;
                    const LayoutRecord r = view.getRecord(ends[e]);
                    const float* p = &arrays.positions[3 * v];
                    const float* c = &arrays.colors[4 * v];
                    const float* code = &geometry->edges[0].codes[4 * v];
                    // q = 1 in the code tells an edge from a curve.
                    ASSERT_EQ(std::vector<float>({p[0], p[1], p[2], c[0], c[1], c[2], c[3], code[0],
                                                  code[2], code[3]}),
                              std::vector<float>({r.x, 1 - r.y, r.z, r.r, r.g, r.b, 1, 0, 0, 1}))
                        << describe(params) << " view " << t << " edge " << i;
                    expectCodeNames(code[1], i, edges);
                }
            }

            const SphereInstances& spheres = geometry->spheres[t];
            const auto* balloons = dynamic_cast<const BallonTree*>(&view);
            const size_t expected = balloons ? balloons->balloons().size() : graph.vertexCount();
            ASSERT_EQ(spheres.count(), expected) << describe(params) << " view " << t;
            ASSERT_EQ(spheres.centres.size(), 3 * expected);
            for (uint32_t k = 0; k < spheres.count(); ++k) {
                const LayoutRecord r = view.getRecord(k);
                const float* centre = &spheres.centres[3 * k];
                ASSERT_EQ(std::vector<float>(centre, centre + 3),
                          std::vector<float>({r.x, 1 - r.y, r.z}))
                    << describe(params) << " sphere " << k;
                expectCodeNames(spheres.codes[k], k, spheres.count());
            }
        }
        EXPECT_TRUE(geometry->fits(graph, laid->table)) << describe(params);
    }
}

TEST(SceneGeometry, GeometryOfAnotherGraphDoesNotFit) {
    const std::vector<GeneratorParams> family = graphFamily(200, 1);
    const auto first = layOutFiveViews("generated", GraphGenerator(family[3]).records());
    const auto geometry = SceneGeometry::build(*first->graph, first->table);
    GeneratorParams larger = family[3];
    larger.vertices += 1;
    const auto second = layOutFiveViews("generated", GraphGenerator(larger).records());
    EXPECT_FALSE(geometry->fits(*second->graph, second->table));
    auto emptied = SceneGeometry::build(*second->graph, second->table);
    EXPECT_TRUE(emptied->fits(*second->graph, second->table));
    emptied->spheres[1] = SphereInstances();
    EXPECT_FALSE(emptied->fits(*second->graph, second->table));
}

TEST(SphereLevels, RadiusInPixelsGivesTheTessellation) {
    const struct {
        float radius;
        SphereLevels::Level level;
    } cases[] = {
        {0.0f, SphereLevels::DOT1},      {0.74f, SphereLevels::DOT1},
        {0.75f, SphereLevels::DOT2},     {1.24f, SphereLevels::DOT2},
        {1.25f, SphereLevels::DOT3},     {1.49f, SphereLevels::DOT3},
        {1.5f, SphereLevels::SLICES6},   {3.7f, SphereLevels::SLICES6},
        {3.8f, SphereLevels::SLICES8},   {6.6f, SphereLevels::SLICES8},
        {6.7f, SphereLevels::SLICES12},  {14.7f, SphereLevels::SLICES12},
        {14.8f, SphereLevels::SLICES16}, {26.0f, SphereLevels::SLICES16},
        {26.1f, SphereLevels::FULL},     {1e9f, SphereLevels::FULL},
    };
    for (const auto& c : cases) EXPECT_EQ(SphereLevels::levelFor(c.radius), c.level) << c.radius;
}

// Column-major matrices: a uniform scale s, and an orthographic or a perspective projection.
TEST(SphereLevels, PixelRadiusFollowsScaleViewportAndDistance) {
    const float s = 2.0f;
    const float modelView[16] = {s, 0, 0, 0, 0, s, 0, 0, 0, 0, s, 0, 0, 0, -5, 1};
    const float ortho[16] = {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, -0.1f, 0, 0, 0, 0, 1};
    const SphereLevels flat(modelView, ortho, 800);
    // 0.01 * 2 eye units, half a clip unit per eye unit, 400 pixels per clip unit.
    EXPECT_FLOAT_EQ(flat.pixelRadius(0, 0, 0), 4.0f);
    EXPECT_FLOAT_EQ(flat.pixelRadius(0.3f, -0.2f, 1.0f), 4.0f) << "no perspective";
    const float perspective[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, -1, 0, 0, -0.2f, 0};
    const SphereLevels deep(modelView, perspective, 800);
    EXPECT_FLOAT_EQ(deep.pixelRadius(0, 0, 0), 8.0f / 5.0f);
    EXPECT_FLOAT_EQ(deep.pixelRadius(0, 0, 1.5f), 8.0f / 2.0f) << "nearer, larger";
    EXPECT_GT(deep.pixelRadius(0, 0, 2.5f), 1e6f) << "on the eye's plane: the full sphere";
    const std::array<float, 3> normal = deep.eyeNormal();
    EXPECT_FLOAT_EQ(normal[2], 1.0f);
}

TEST(SphereLevels, SortPutsEverySphereButTheSkippedOneInItsLevelOnce) {
    const auto laid =
        layOutFiveViews("generated", GraphGenerator(graphFamily(400, 1)[7]).records());
    const auto geometry = SceneGeometry::build(*laid->graph, laid->table);
    // Looking along the layouts' x axis, so that x sets the distance: 1 to 2.5 pixels.
    const float modelView[16] = {0, 0, 9, 0, 0, 9, 0, 0, 9, 0, 0, 0, 0, 0, -20, 1};
    const float perspective[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, -1, 0, 0, -0.2f, 0};
    const SphereLevels levels(modelView, perspective, 600);
    for (const SphereInstances& spheres : geometry->spheres) {
        // All spheres, and a list of every third id with one beyond the instances.
        std::vector<uint32_t> listed;
        for (uint32_t k = 0; k <= spheres.count(); k += 3) listed.push_back(k);
        for (const std::vector<uint32_t>* only : {(std::vector<uint32_t>*)nullptr, &listed}) {
            const int64_t skip = only ? 3 * (spheres.count() / 6) : spheres.count() / 2;
            const SphereLevels::Buckets buckets = levels.sort(spheres, skip, only);
            std::set<uint32_t> seen;
            std::set<int> used;
            for (int level = 0; level < SphereLevels::LEVEL_COUNT; ++level) {
                for (size_t i = 0; i < buckets[level].size(); ++i) {
                    const uint32_t id = buckets[level][i];
                    if (i > 0) {
                        ASSERT_LT(buckets[level][i - 1], id) << "ascending ids";
                    }
                    const float* c = &spheres.centres[3 * size_t(id)];
                    ASSERT_EQ(SphereLevels::levelFor(levels.pixelRadius(c[0], c[1], c[2])), level);
                    ASSERT_TRUE(seen.insert(id).second) << id;
                    ASSERT_TRUE(!only || id % 3 == 0) << id << " is not listed";
                    used.insert(level);
                }
            }
            const size_t listedHere = only ? (spheres.count() + 2) / 3 : spheres.count();
            EXPECT_EQ(seen.size(), listedHere - 1);
            EXPECT_EQ(seen.count(uint32_t(skip)), 0u);
            EXPECT_GT(used.size(), 1u) << "a camera this close sees spheres of several sizes";
        }
    }
}

// A draft keeps whole levels from the root down, as many as the budget holds, and the edges
// between the vertices it keeps; a tree within the budget is not cut.
TEST(DraftSkeleton, KeepsTheUpperLevelsWithinTheBudget) {
    for (const GeneratorParams& params : graphFamily(300, 2)) {
        const auto laid = layOutFiveViews("generated", GraphGenerator(params).records());
        const GraphStore& graph = *laid->graph;
        for (size_t budget : {size_t(1), size_t(4), size_t(40), size_t(299), size_t(10000)}) {
            const auto geometry = SceneGeometry::build(graph, laid->table, budget);
            const DraftSkeleton& skeleton = geometry->skeleton;
            const std::string where = describe(params) + " budget " + std::to_string(budget);
            ASSERT_EQ(skeleton.cuts(), graph.vertexCount() > budget) << where;
            for (int t = 0; t < 5; ++t) {
                const bool own = skeleton.cuts() && t != 1;  // balloons are not vertices
                EXPECT_EQ(geometry->draftSpheres(t), own ? &skeleton.vertices : nullptr) << where;
            }
            if (!skeleton.cuts()) continue;
            ASSERT_TRUE(std::is_sorted(skeleton.vertices.begin(), skeleton.vertices.end()));
            ASSERT_TRUE(std::is_sorted(skeleton.edges.begin(), skeleton.edges.end()));
            const std::set<uint32_t> kept(skeleton.vertices.begin(), skeleton.vertices.end());
            int32_t deepest = 0;
            for (uint32_t id : kept) deepest = std::max(deepest, graph.getVertex(id)->getLevel());
            size_t withNextLevel = 0;
            for (const auto& [id, vertex] : graph.vertices()) {
                ASSERT_EQ(kept.count(id) == 1, vertex->getLevel() <= deepest) << where << id;
                withNextLevel += vertex->getLevel() <= deepest + 1;
            }
            EXPECT_TRUE(kept.size() <= budget || deepest == 0) << where;
            EXPECT_GT(withNextLevel, budget) << where << ": another level would have fitted";
            std::vector<uint32_t> between;
            for (const auto& [id, edge] : graph.hierarchyEdges()) {
                if (kept.count(edge->getStart()->getId()) && kept.count(edge->getEnd()->getId())) {
                    between.push_back(id);
                }
            }
            EXPECT_EQ(skeleton.edges, between) << where;
        }
    }
}

// Every level's mesh is a closed sphere of the spheres' radius, wound outward for back-face
// culling, with the slices and stacks the level was drawn with.
TEST(SphereMesh, EveryLevelIsAClosedOutwardSphereOfItsTessellation) {
    const struct {
        int level;
        uint32_t vertices, triangles;
    } cases[] = {
        {SphereLevels::DOT1, 6 * 3 + 2, 2 * 6 * 3},
        {SphereLevels::SLICES6, 6 * 3 + 2, 2 * 6 * 3},
        {SphereLevels::SLICES8, 8 * 5 + 2, 2 * 8 * 5},
        {SphereLevels::SLICES12, 12 * 8 + 2, 2 * 12 * 8},
        {SphereLevels::SLICES16, 16 * 11 + 2, 2 * 16 * 11},
        {SphereLevels::FULL, 20 * 19 + 2, 2 * 20 * 19},
    };
    for (const auto& c : cases) {
        const SphereMesh mesh = SphereMesh::forLevel(c.level);
        ASSERT_EQ(mesh.vertexCount(), c.vertices) << c.level;
        ASSERT_EQ(mesh.normals.size(), mesh.positions.size());
        ASSERT_EQ(mesh.indices.size(), 3 * size_t(c.triangles)) << c.level;
        for (uint32_t v = 0; v < mesh.vertexCount(); ++v) {
            const float* p = &mesh.positions[3 * v];
            const float* n = &mesh.normals[3 * v];
            ASSERT_NEAR(std::hypot(p[0], p[1], p[2]), SphereInstances::kRadius, 1e-6f);
            for (int i = 0; i < 3; ++i) ASSERT_NEAR(n[i] * SphereInstances::kRadius, p[i], 1e-7f);
        }
        // Closed: every edge is used once in each direction.
        std::map<std::pair<uint32_t, uint32_t>, int> directed;
        for (size_t t = 0; t < mesh.indices.size(); t += 3) {
            const uint32_t* k = &mesh.indices[t];
            ASSERT_LT(std::max({k[0], k[1], k[2]}), mesh.vertexCount());
            float e1[3], e2[3], centre[3];
            for (int i = 0; i < 3; ++i) {
                const float a = mesh.positions[3 * k[0] + i];
                e1[i] = mesh.positions[3 * k[1] + i] - a;
                e2[i] = mesh.positions[3 * k[2] + i] - a;
                centre[i] = a;
            }
            const float normal[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                     e1[0] * e2[1] - e1[1] * e2[0]};
            ASSERT_GT(normal[0] * centre[0] + normal[1] * centre[1] + normal[2] * centre[2], 0)
                << "level " << c.level << " triangle " << t / 3 << " faces inward";
            for (int i = 0; i < 3; ++i) ++directed[{k[i], k[(i + 1) % 3]}];
        }
        for (const auto& [edge, uses] : directed) {
            ASSERT_EQ(uses, 1) << edge.first << "-" << edge.second;
            ASSERT_EQ(directed.count({edge.second, edge.first}), 1u) << "open edge";
        }
    }
}

}  // namespace
