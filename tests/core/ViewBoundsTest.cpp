// The box a view occupies: it holds every vertex sphere and every curve control point of the
// view, is no larger than those when no curve leaves the tree, and follows the scene rotation
// and scale as the renderer applies them.
#include "Cameras.h"
#include "FiveViews.h"
#include "GraphGenerator.h"
#include "SplineStore.h"
#include "ViewBounds.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

bool inside(const SceneBounds& box, float x, float y, float z) {
    return x >= box.min[0] && x <= box.max[0] && y >= box.min[1] && y <= box.max[1] &&
           z >= box.min[2] && z <= box.max[2];
}

TEST(ViewBounds, HoldsEveryVertexSphereAndEveryControlPoint) {
    struct Case {
        uint32_t vertices, fanOut, depth;
        uint64_t relations, seed;
    };
    const Case cases[] = {{300, 4, 6, 500, 3}, {120, 2, 9, 200, 11}, {60, 12, 2, 80, 5}};
    for (const Case& c : cases) {
        // Vertices, fan-out, depth, relation edges, seed, shuffled ids.
        GeneratorParams params{c.vertices, c.fanOut, c.depth, c.relations, c.seed, false};
        const auto laid = layOutFiveViews("generated", GraphGenerator(params).records());
        const GraphStore& graph = *laid->graph;
        for (int type = 0; type < 5; ++type) {
            SCOPED_TRACE(testing::Message() << "seed " << c.seed << " view " << type);
            View& view = *laid->views[type];
            const SceneBounds box = ViewBounds::ofView(graph, view, type);
            const float r = ViewBounds::kVertexRadius;
            int outside = 0;
            for (const auto& entry : view.records()) {
                const LayoutRecord& p = entry.second;
                outside += !inside(box, p.x - r, 1 - p.y - r, p.z - r) ||
                           !inside(box, p.x + r, 1 - p.y + r, p.z + r);
            }
            // The bundler's own control polygons, drawn at 1 - y as the curves are.
            int interiorPoints = 0;
            for (const auto& entry : graph.relationEdges()) {
                const auto points = SplineStore::controlPolygon(graph, *entry.second, view, type);
                interiorPoints += points.size() > 2 ? int(points.size()) - 2 : 0;
                for (const Point3& p : points) outside += !inside(box, p[0], 1 - p[1], p[2]);
            }
            EXPECT_EQ(outside, 0);
            EXPECT_GT(interiorPoints, 0);

            // The curves themselves, straightened by the bundler, at several strengths: inside
            // the box for that strength, which shrinks towards the vertices' as beta falls.
            SplineStore store(static_cast<int32_t>(graph.depthCount()));
            store.addCurvesOfView(graph, view, type);
            float lowestY = box.min[1];
            for (const float beta : {1.0f, 0.5f, 0.2f, 0.0f}) {
                store.applyBeta(beta);
                const SceneBounds straightened = ViewBounds::ofView(graph, view, type, beta);
                const float slack = 1e-5f;
                int samplesOutside = 0;
                for (const SplineCurve& curve : *store.curvesFor(type)) {
                    for (int j = 0; j < curve.getSampleCount(); ++j) {
                        const Point3 p = curve.point(j);
                        for (int a = 0; a < 3; ++a) {
                            samplesOutside += p[a] < straightened.min[a] - slack ||
                                              p[a] > straightened.max[a] + slack;
                        }
                    }
                }
                EXPECT_EQ(samplesOutside, 0) << "beta " << beta;
                EXPECT_GE(straightened.min[1], lowestY) << "beta " << beta;
                lowestY = straightened.min[1];
            }
            if (type == 0) {
                // Bundles under the rooted tree reach half as far below it at half strength.
                EXPECT_GT(ViewBounds::ofView(graph, view, type, 0.5f).min[1], box.min[1] + 0.05f);
            }
        }
    }
}

TEST(ViewBounds, FollowsTheSceneRotationAndScale) {
    const SceneBounds unit = box({0, 0, 0}, {1, 2, 3});
    struct Case {
        float rx, ry, rz, scale;
        std::array<float, 3> low, high;
    };
    // Right-handed turns in the renderer's order: scale first, then z, then y, then x.
    const Case cases[] = {
        {0, 0, 0, 1, {0, 0, 0}, {1, 2, 3}},
        {90, 0, 0, 1, {0, -3, 0}, {1, 0, 2}},           // y to z, z to -y
        {0, 90, 0, 1, {0, 0, -1}, {3, 2, 0}},           // z to x, x to -z
        {0, 0, 90, 1, {-2, 0, 0}, {0, 1, 3}},           // x to y, y to -x
        {90, 90, 0, 0.5f, {0, 0, 0}, {1.5f, 0.5f, 1}},  // z to x; x to -z, then to y
        {0, 0, 180, 1, {-1, -2, 0}, {0, 0, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rx << " " << c.ry << " " << c.rz << " x" << c.scale);
        const SceneBounds moved = ViewBounds::transformed(unit, c.rx, c.ry, c.rz, c.scale);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(moved.min[axis], c.low[axis], 1e-5f) << axis;
            EXPECT_NEAR(moved.max[axis], c.high[axis], 1e-5f) << axis;
        }
    }
    // A 45 degree turn about y makes the box wider than the unturned one.
    const SceneBounds turned = ViewBounds::transformed(unit, 0, 45, 0, 1);
    EXPECT_NEAR(turned.extent(0), (1 + 3) * std::sqrt(0.5f), 1e-5f);
    EXPECT_TRUE(ViewBounds::transformed(SceneBounds(), 10, 20, 30, 2).empty());
}

// The scale slider: a sixth at 0, one at 50, six at 100, in steps of a tenth above the middle.
TEST(ViewBounds, SceneScaleOfTheSlider) {
    const std::pair<int, float> cases[] = {
        {0, 1.0f / 6}, {40, 0.5f}, {50, 1}, {51, 1.1f}, {100, 6}};
    for (const auto& [slider, scale] : cases)
        EXPECT_FLOAT_EQ(ViewBounds::sceneScale(slider), scale);
}

}  // namespace
