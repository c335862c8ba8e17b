#include "BasisTable.h"
#include "FiveViews.h"
#include "LayoutTestGraph.h"
#include "ControlPolygon.h"
#include "GraphGenerator.h"
#include "SplineCurve.h"
#include "SplineStore.h"
#include "View.h"
#include "ViewType.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

constexpr int kSamples = SplineStore::kSampleCount;

// A layout whose records the test chooses: set directly or scattered by a seed.
class FixedView : public View {
public:
    explicit FixedView(const GraphStore& graph, uint32_t seed = 0) : View(graph), m_seed(seed) {}
    void calculate() override {
        std::mt19937 random(m_seed);
        std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
        for (const auto& [id, vertex] : graph().vertices()) {
            record(id) = {unit(random), float(vertex->getLevel()) / float(graph().depthCount()),
                          unit(random)};
        }
    }

private:
    uint32_t m_seed;
};

std::vector<float> positions(const SplineCurve& curve) {
    std::vector<float> out(size_t(curve.getSampleCount()) * 3);
    curve.writePositions(out.data());
    return out;
}

SplineCurve makeCurve(SplineStore& store, const std::vector<Point3>& points, float id = 0) {
    return SplineCurve(store.basisFor(int32_t(points.size())), points.data(),
                       int32_t(points.size()), id);
}

Point3 flipped(const Point3& p) { return {p[0], 1.0f - p[1], p[2]}; }

}  // namespace

// Every table from 1 to 80 control points: weights sum to one (also on interior knots), the
// ends belong to the end points, the window holds every non-zero weight and the blocks of
// sixteen samples read their rows from their base.
TEST(BasisTable, InvariantsOfEveryControlCount) {
    EXPECT_EQ(BasisTable(6, kSamples).knots(),
              (std::vector<int32_t>{0, 0, 0, 0, 1, 2, 3, 3, 3, 3}));
    for (int n = 1; n <= 80; ++n) {
        BasisTable table(n, kSamples);
        ASSERT_LE(table.windowWidth(), std::max(table.order(), 1));
        for (int j = 0; j < kSamples; ++j) {
            double sum = 0;
            const int start = table.windowStart(j);
            ASSERT_LE(start + table.windowWidth(), n);
            for (int i = 0; i < n; ++i) {
                sum += table.weight(i, j);
                if (i < start || i >= start + table.windowWidth()) {
                    ASSERT_EQ(table.weight(i, j), 0.0) << n << " " << i << " " << j;
                }
            }
            ASSERT_NEAR(sum, 1.0, 1e-12) << n << " " << j;
        }
        EXPECT_EQ(table.weight(0, 0), 1.0);
        EXPECT_EQ(table.weight(n - 1, kSamples - 1), 1.0);
        // The running sum of steps can stop just short of the end knot: tiny weights remain.
        if (n > 1) {
            EXPECT_LT(std::fabs(table.weight(n - 2, kSamples - 1)), 1e-12);
        }
        if (n <= 64) {
            ASSERT_TRUE(table.blocksSpanSixteen()) << n;
        }
        if (!table.blocksSpanSixteen()) continue;
        for (int b = 0; b < table.blockCount(); ++b) {
            for (int r = 0; r < table.windowWidth(); ++r) {
                for (int lane = 0; lane < BasisTable::kLanes; ++lane) {
                    const int64_t offset = table.blockOffsets(b, r)[lane];
                    ASSERT_TRUE(offset >= 0 && offset < 16);
                    if (b * BasisTable::kLanes + lane >= kSamples) continue;
                    ASSERT_EQ(table.blockBases()[b] + offset, table.blockIndices(b, r)[lane]);
                }
            }
        }
    }
}

// The sampled curve of three points is the quadratic Bernstein curve; larger counts are held
// against the Bezier chain of their control points by the BezierSpans test.
TEST(SplineCurve, FollowsTheBernsteinCurve) {
    SplineStore store(30);
    const std::vector<Point3> points{{1.5f, -2, 0.25f}, {-3, 0.5f, 2.75f}, {0.75f, 1, -1.25f}};
    const SplineCurve curve = makeCurve(store, points);
    const std::vector<double>& t = store.basisFor(3)->parameters();
    for (int j = 0; j < kSamples; ++j) {
        for (int c : {0, 2}) {
            const double u = 1 - t[j];
            const double x =
                u * u * points[0][c] + 2 * t[j] * u * points[1][c] + t[j] * t[j] * points[2][c];
            EXPECT_NEAR(curve.point(j)[c], x, 1e-5);
        }
    }
    SplineCurve self = makeCurve(store, {{0.25f, 0.75f, -2.0f}});
    self.applyBeta(0.3f);
    for (int j = 0; j < kSamples; ++j) EXPECT_EQ(self.point(j), (Point3{0.25f, 0.25f, -2.0f}));
    EXPECT_EQ(self.getLength(), 0.0f);
    SplineCurve segment = makeCurve(store, {{0, 0, 0}, {4.9f, 1.0f, -9.8f}});
    for (int j = 0; j < kSamples; ++j)
        EXPECT_NEAR(segment.point(j)[2], -9.8 * j / (kSamples - 1), 1e-6);
}

TEST(SplineCurve, BetaBlendsTowardsTheSegmentBetweenTheEnds) {
    SplineStore store(10);
    const std::vector<Point3> points{{0, 0, 0}, {1, 3, 0}, {2, -1, 5}, {3, 7, 1}, {4, 0, 2}};
    SplineCurve curve = makeCurve(store, points);
    curve.applyBeta(1.0f);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(curve.workPoint(i), points[i]);
    curve.applyBeta(0.5f);
    EXPECT_FLOAT_EQ(curve.workPoint(1)[1], 1.5f);
    EXPECT_FLOAT_EQ(curve.workPoint(3)[1], 3.5f);
    EXPECT_FLOAT_EQ(curve.workPoint(2)[2], 3.0f);
    EXPECT_EQ(curve.controlPoint(1), points[1]);
}

TEST(SplineStore, CurvesAcrossGrowingChunksKeepTheirOwnPoints) {
    // Chunks start small and double; a curve larger than the next chunk gets one of its own.
    SplineStore store(20'000);
    std::vector<int32_t> counts;
    for (int i = 0; i < 300; ++i) counts.push_back(i == 150 ? 20'000 : 1 + (i * 37) % 400);
    auto pointOf = [](int curve, int32_t k) {
        return Point3{float(curve), float(k), float(curve * 1000 + k)};
    };
    for (int i = 0; i < int(counts.size()); ++i) {
        std::vector<Point3> points;
        for (int32_t k = 0; k < counts[i]; ++k) points.push_back(pointOf(i, k));
        store.AddSpline(points, 1, float(i));
    }
    for (bool ordered : {false, true}) {
        if (ordered) store.orderByLength();
        for (const SplineCurve& curve : *store.curvesFor(1)) {
            const int i = int(curve.getEdgeId());
            ASSERT_EQ(curve.getControlCount(), counts[i]);
            for (int32_t k = 0; k < counts[i]; ++k)
                ASSERT_EQ(curve.workPoint(k), pointOf(i, k)) << i << " " << k;
            EXPECT_EQ(curve.point(kSamples - 1), flipped(pointOf(i, counts[i] - 1)));
        }
    }
}

TEST(SplineStore, InteriorControlPointsFollowTheViewRule) {
    // Root 0 with children 1 and 2; relation edge 0 joins the siblings.
    std::vector<DataRecord> records = treeRecords(3, {{0, 1}, {0, 2}});
    records.push_back({"R", {"1", "2"}});
    std::unique_ptr<GraphStore> graph = builtGraph(records);
    FixedView view(*graph);
    view.record(0) = {0.5f, 0.0f, 0.1f};
    view.record(1) = {0.0f, 0.5f, 0.2f};
    const float expected[] = {1.325f, -0.0f, 0.5f, 0.5f, 0.0f};
    for (int type = 0; type < 5; ++type) {
        std::vector<Point3> points =
            SplineStore::controlPolygon(*graph, *graph->getRelationEdge(0), view, type);
        ASSERT_EQ(points.size(), 3u);
        EXPECT_EQ(points[0], (Point3{0.0f, 0.5f, 0.2f}));
        EXPECT_EQ(points[1], (Point3{0.5f, expected[type], 0.1f}));
        // Vertex 2 has no record: it reads as zeros and is left without one.
        EXPECT_EQ(points[2], (Point3{0, 0, 0}));
    }
    EXPECT_FALSE(view.records().contains(2));
    EXPECT_EQ(controlpolygon::controlY(0.25f, 1, 3, VIEW_ROOTED_TREE), 1.325f - 0.25f);
}

// Generated graphs: the parallel builder gives the serial lists, the lists run longest first, and
// at beta 0 every curve is straight. That each curve is its edge's control polygon is the
// pipeline fuzz target's check.
TEST(SplineStore, CurvesOnGeneratedGraphsKeepTheirInvariants) {
    for (uint64_t seed : {1, 2}) {
        // Vertices, fan-out, depth, relation edges, seed, shuffled ids.
        GeneratorParams params{1500, 4, seed == 1 ? 6u : 20u, 1000, seed, seed == 2};
        std::unique_ptr<GraphStore> graph = builtGraph(GraphGenerator(params).records());
        SplineStore store(int32_t(graph->depthCount())), parallel(int32_t(graph->depthCount()));
        std::vector<std::unique_ptr<FixedView>> views;
        View* table[5];
        for (int type = 0; type < 5; ++type) {
            views.push_back(std::make_unique<FixedView>(*graph, uint32_t(seed * 10 + type)));
            views[type]->calculate();
            store.addCurvesOfView(*graph, *views[type], type);
            table[type] = views[type].get();
        }
        parallel.addCurvesOfViews(*graph, table);
        ASSERT_EQ(store.curveCount(), 5000u);
        store.orderByLength();
        parallel.orderByLength();
        for (int type = 0; type < 5; ++type) {
            const SplineStore::CurveList& list = *store.curvesFor(type);
            const SplineStore::CurveList& other = *parallel.curvesFor(type);
            ASSERT_EQ(list.size(), other.size());
            for (size_t i = 0; i < list.size(); ++i) {
                const SplineCurve& curve = list[i];
                ASSERT_EQ(curve.getEdgeId(), other[i].getEdgeId());
                ASSERT_EQ(curve.getTexValue(), other[i].getTexValue());
                ASSERT_EQ(positions(curve), positions(other[i]));
                if (i > 0) {
                    ASSERT_GE(list[i - 1].getLength(), curve.getLength());
                }
                std::vector<float> tex(size_t(kSamples) * 4);
                curve.writeTexCoords(tex.data());
                ASSERT_EQ(tex[4 * kSamples - 2], curve.getTexValue());
            }
        }
        // Above a threshold the store splits the work over threads: no effect on the result.
        store.applyBeta(0.0f);
        for (int type = 0; type < 5; ++type) {
            for (const SplineCurve& curve : *store.curvesFor(type)) {
                const Point3 a = curve.point(0), b = curve.point(kSamples - 1);
                const Point3 mid = curve.point(kSamples / 2);
                double cross = 0, scale = 1e-6;
                for (int c = 0; c < 3; ++c) {
                    const int d = (c + 1) % 3;
                    cross = std::max(cross, double(std::fabs((b[c] - a[c]) * (mid[d] - a[d]) -
                                                             (b[d] - a[d]) * (mid[c] - a[c]))));
                    scale = std::max(scale, std::fabs(double(b[c] - a[c])));
                }
                ASSERT_LT(cross, 1e-5 * scale * scale + 1e-6);
            }
        }
    }
}
