#include "../../src/tools/ExportCurves.h"
#include "BasisTable.h"
#include "BuildGraph.h"
#include "GraphGenerator.h"
#include "GraphStore.h"
#include "SplineCurve.h"
#include "SplineRows.h"
#include "SplineStore.h"
#include "Trace.h"
#include "View.h"
#include "ViewType.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>

namespace {

constexpr int kSamples = SplineStore::kSampleCount;

// A layout whose records the test chooses: either set directly or scattered by a seed.
class FixedView : public View {
public:
    explicit FixedView(uint32_t seed = 0) : m_seed(seed) {}
    void calculate() override {
        std::mt19937 random(m_seed);
        std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
        for (const auto& [id, vertex] : g_graph->vertices()) {
            LayoutRecord& r = record(id);
            r.x = unit(random);
            r.y = float(vertex->getLevel()) / float(g_graph->depthCount());
            r.z = unit(random);
        }
    }

private:
    uint32_t m_seed;
};

std::unique_ptr<GraphStore> makeGraph(std::vector<DataRecord> records) {
    setTraceStream(nullptr);
    std::unique_ptr<GraphStore> graph = buildGraph(std::move(records));
    graph->calculateHierarchy();
    setTraceStream(&std::cout);
    return graph;
}

// Root 0 with children 1 and 2; relation edge 0 joins the siblings, edge 1 is a self-edge.
std::unique_ptr<GraphStore> siblingsGraph() {
    return makeGraph({{"Root", {"0"}},
                      {"H", {"0", "r"}},
                      {"H", {"1", "a"}},
                      {"H", {"2", "b"}},
                      {"PCR", {"0", "1"}},
                      {"PCR", {"0", "2"}},
                      {"R", {"1", "2"}},
                      {"R", {"2", "2"}}});
}

// The evaluation as defined: every control point, float accumulator, weights in double.
std::vector<float> referenceSamples(const SplineCurve& curve) {
    const BasisTable& basis = *curve.getBasis();
    std::vector<float> out;
    for (int j = 0; j < basis.sampleCount(); ++j) {
        for (int c = 0; c < 3; ++c) {
            float x = 0;
            for (int i = 0; i < basis.controlCount(); ++i) {
                x += basis.weight(i, j) * curve.workPoint(i)[c];
            }
            out.push_back(c == 1 ? 1.0f - x : x);
        }
    }
    return out;
}

std::vector<float> positions(const SplineCurve& curve) {
    std::vector<float> out(size_t(curve.getSampleCount()) * 3);
    curve.writePositions(out.data());
    return out;
}

// Equal bits, or both NaN: a NaN's sign and payload follow whichever operand order the compiler
// picks, so they carry no meaning.
bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const bool bothNaN = std::isnan(a[i]) && std::isnan(b[i]);
        if (!bothNaN && std::memcmp(&a[i], &b[i], sizeof(float)) != 0) return false;
    }
    return true;
}

SplineCurve makeCurve(SplineStore& store, const std::vector<Point3>& points, float id = 0) {
    return SplineCurve(store.basisFor(int32_t(points.size())), points.data(),
                       int32_t(points.size()), id);
}

}  // namespace

TEST(BasisTable, KnotVectorsAreClampedOnIntegers) {
    EXPECT_EQ(BasisTable(3, kSamples).knots(), (std::vector<int32_t>{0, 0, 0, 1, 1, 1}));
    EXPECT_EQ(BasisTable(3, kSamples).order(), 3);
    EXPECT_EQ(BasisTable(4, kSamples).knots(), (std::vector<int32_t>{0, 0, 0, 0, 1, 1, 1, 1}));
    BasisTable six(6, kSamples);
    EXPECT_EQ(six.knots(), (std::vector<int32_t>{0, 0, 0, 0, 1, 2, 3, 3, 3, 3}));
    EXPECT_EQ(six.order(), 4);
    EXPECT_EQ(six.knotCount(), 10);
}

TEST(BasisTable, SingleSegmentsAreBernsteinPolynomials) {
    BasisTable quadratic(3, kSamples), cubic(4, kSamples);
    for (int j = 0; j + 1 < kSamples; ++j) {
        const double t = quadratic.parameters()[j], u = 1 - t;
        EXPECT_NEAR(quadratic.weight(0, j), u * u, 1e-14);
        EXPECT_NEAR(quadratic.weight(1, j), 2 * t * u, 1e-14);
        EXPECT_NEAR(quadratic.weight(2, j), t * t, 1e-14);
        EXPECT_NEAR(cubic.weight(1, j), 3 * t * u * u, 1e-14);
        EXPECT_NEAR(cubic.weight(3, j), t * t * t, 1e-14);
    }
}

TEST(BasisTable, WeightsOfEverySampleSumToOne) {
    for (int n = 3; n <= 40; ++n) {
        BasisTable table(n, kSamples);
        for (int j = 0; j < kSamples; ++j) {
            double sum = 0;
            for (int i = 0; i < n; ++i) sum += table.weight(i, j);
            EXPECT_NEAR(sum, 1.0, 1e-12) << "n " << n << " sample " << j;
        }
    }
}

TEST(BasisTable, SamplesOnInteriorKnotsStillSumToOne) {
    BasisTable table(24, kSamples);
    for (int j : {14, 42}) {
        EXPECT_NEAR(table.parameters()[j], j == 14 ? 6.0 : 18.0, 1e-12);
        double sum = 0;
        for (int i = 0; i < 24; ++i) sum += table.weight(i, j);
        EXPECT_NEAR(sum, 1.0, 1e-12);
    }
}

TEST(BasisTable, EndSamplesBelongToTheEndPoints) {
    for (int n : {1, 2, 3, 4, 6, 7, 24}) {
        BasisTable table(n, kSamples);
        // The running sum of steps can stop just short of the end knot (n = 6 and 24 do); the
        // recursion then leaves tiny weights beside the pinned 1 of the last point.
        const bool endOnKnot = n <= 2 || table.parameters().back() >= table.knots().back();
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(table.weight(i, 0), i == 0 ? 1.0 : 0.0) << n;
            if (i == n - 1) {
                EXPECT_EQ(table.weight(i, kSamples - 1), 1.0) << n;
            } else if (endOnKnot) {
                EXPECT_EQ(table.weight(i, kSamples - 1), 0.0) << n;
            } else {
                EXPECT_LT(std::fabs(table.weight(i, kSamples - 1)), 1e-12) << n;
            }
        }
        if (n == 6) {
            EXPECT_FALSE(endOnKnot);
        }
    }
}

TEST(BasisTable, WindowHoldsEveryNonZeroWeight) {
    for (int n = 1; n <= 40; ++n) {
        BasisTable table(n, kSamples);
        EXPECT_LE(table.windowWidth(), std::max(table.order(), 1));
        for (int j = 0; j < kSamples; ++j) {
            const int start = table.windowStart(j);
            ASSERT_LE(start + table.windowWidth(), n);
            for (int i = 0; i < n; ++i) {
                if (i < start || i >= start + table.windowWidth()) {
                    EXPECT_EQ(table.weight(i, j), 0.0) << n << " " << i << " " << j;
                }
            }
        }
    }
}

TEST(BasisTable, BlocksReadRunsOfSixteenFromTheirBase) {
    for (int n = 1; n <= 80; ++n) {
        BasisTable table(n, kSamples);
        // Every path of up to 64 points takes the widened-row path.
        if (n <= 64) {
            EXPECT_TRUE(table.blocksSpanSixteen()) << n;
        }
        if (!table.blocksSpanSixteen()) continue;
        for (int b = 0; b < table.blockCount(); ++b) {
            const int base = table.blockBases()[b];
            EXPECT_GE(base, 0);
            for (int r = 0; r < table.windowWidth(); ++r) {
                for (int lane = 0; lane < BasisTable::kLanes; ++lane) {
                    const int64_t offset = table.blockOffsets(b, r)[lane];
                    ASSERT_GE(offset, 0);
                    ASSERT_LT(offset, 16);
                    if (b * BasisTable::kLanes + lane >= kSamples) continue;
                    ASSERT_EQ(base + offset, table.blockIndices(b, r)[lane]) << n << " " << b;
                }
            }
        }
    }
}

TEST(SplineRows, RememberedRowsGiveTheSamplesOfAFreshEvaluation) {
    // A few hundred distinct rows of four and five points drawn again and again, flipped and
    // not: repeats are answered from memory, and rows that share a slot must not be confused.
    SplineStore store(4);
    std::mt19937 random(5);
    std::uniform_int_distribution<int> pick(0, 2);
    int repeats = 0;
    std::set<std::vector<float>> seen;
    for (int round = 0; round < 4000; ++round) {
        std::vector<float> row(4 + round % 2);
        for (float& v : row) v = 0.1f * float(1 + pick(random));
        const bool flip = round % 3 == 0;
        std::vector<float> key = row;
        key.push_back(flip);
        repeats += !seen.insert(key).second;
        const int32_t n = int32_t(row.size());
        const BasisTable& basis = *store.basisFor(n);
        const splinerows::Facts facts = splinerows::examine(row.data(), n);
        std::vector<float> fresh(kSamples), remembered(kSamples);
        splinerows::evaluate(basis, row.data(), facts, fresh.data(), flip);
        splinerows::evaluateRecurring(basis, row.data(), facts, remembered.data(), flip);
        ASSERT_TRUE(sameBits(fresh, remembered)) << round;
    }
    EXPECT_GT(repeats, 3000);
}

TEST(SplineCurve, StartsAndEndsExactlyOnItsEndPoints) {
    SplineStore store(20);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(-3.0f, 3.0f);
    for (int n = 1; n <= 30; ++n) {
        std::vector<Point3> points(n);
        for (Point3& p : points) p = {unit(random), unit(random), unit(random)};
        SplineCurve curve = makeCurve(store, points);
        const Point3 first = points.front(), last = points.back();
        EXPECT_EQ(curve.point(0), (Point3{first[0], 1.0f - first[1], first[2]})) << n;
        EXPECT_EQ(curve.point(kSamples - 1), (Point3{last[0], 1.0f - last[1], last[2]})) << n;
    }
}

TEST(SplineCurve, SelfEdgeIsOnePointWhateverTheBeta) {
    SplineStore store(3);
    SplineCurve curve = makeCurve(store, {{0.25f, 0.75f, -2.0f}});
    curve.applyBeta(0.3f);
    for (int j = 0; j < kSamples; ++j) EXPECT_EQ(curve.point(j), (Point3{0.25f, 0.25f, -2.0f}));
    EXPECT_EQ(curve.getLength(), 0.0f);
}

TEST(SplineCurve, TwoPointsGiveTheEvenlySampledSegment) {
    SplineStore store(3);
    SplineCurve curve = makeCurve(store, {{0, 0, 0}, {4.9f, 1.0f, -9.8f}});
    for (int j = 0; j < kSamples; ++j) {
        const double t = double(j) / (kSamples - 1);
        EXPECT_NEAR(curve.point(j)[0], 4.9 * t, 1e-6);
        EXPECT_NEAR(curve.point(j)[1], 1.0 - t, 1e-6);
        EXPECT_NEAR(curve.point(j)[2], -9.8 * t, 1e-6);
    }
    EXPECT_EQ(curve.point(kSamples - 1), (Point3{4.9f, 0.0f, -9.8f}));
}

TEST(SplineCurve, BetaBlendsTowardsTheSegmentBetweenTheEnds) {
    SplineStore store(10);
    const std::vector<Point3> points{{0, 0, 0}, {1, 3, 0}, {2, -1, 5}, {3, 7, 1}, {4, 0, 2}};
    SplineCurve curve = makeCurve(store, points);
    curve.applyBeta(1.0f);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(curve.workPoint(i), points[i]);
    curve.applyBeta(0.0f);
    for (int i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(curve.workPoint(i)[0], float(i));
        EXPECT_FLOAT_EQ(curve.workPoint(i)[1], 0.0f);
        EXPECT_FLOAT_EQ(curve.workPoint(i)[2], 0.5f * i);
    }
    for (int j = 0; j < kSamples; ++j) {
        // On the segment from (0, 1, 0) to (4, 1, 2) after the flip.
        EXPECT_NEAR(curve.point(j)[1], 1.0f, 1e-6);
        EXPECT_NEAR(curve.point(j)[2], 0.5f * curve.point(j)[0], 1e-6);
    }
    curve.applyBeta(0.5f);
    EXPECT_FLOAT_EQ(curve.workPoint(1)[1], 1.5f);
    EXPECT_FLOAT_EQ(curve.workPoint(3)[1], 3.5f);
    EXPECT_FLOAT_EQ(curve.workPoint(2)[2], 3.0f);
    EXPECT_EQ(curve.controlPoint(1), points[1]);
}

TEST(SplineCurve, ColoursRunFromStartToEndWithAlphaPerControlPoint) {
    SplineStore store(5);
    SplineCurve curve = makeCurve(store, {{0, 0, 0}, {1, 1, 1}, {2, 0, 2}, {3, 0, 0}});
    std::vector<float> colors(kSamples * 4);
    curve.writeColors(colors.data());
    for (int j : {0, 10, 49}) {
        const float s = float(j) / kSamples;
        EXPECT_EQ(colors[4 * j], 0.0f);
        EXPECT_FLOAT_EQ(colors[4 * j + 1], 1.0f - s);
        EXPECT_FLOAT_EQ(colors[4 * j + 2], s);
        EXPECT_FLOAT_EQ(colors[4 * j + 3], 0.25f);
    }
    curve.setColors({1, 0, 0, 0.8f}, {0, 0, 1, 0.1f});
    curve.writeColors(colors.data());
    EXPECT_FLOAT_EQ(colors[4 * 25], 0.5f);
    EXPECT_FLOAT_EQ(colors[4 * 25 + 2], 0.5f);
    EXPECT_FLOAT_EQ(colors[4 * 25 + 3], 0.2f);
    EXPECT_NEAR(colors[4 * 49], 0.02f, 1e-6);
}

TEST(SplineCurve, VectorAndScalarEvaluationMatchTheDefinitionBitForBit) {
    // Values chosen to hit the corners of skipping zero weights: signed zeros, subnormals whose
    // products round to a signed zero, and non-finite points.
    const float specials[] = {0.0f,
                              -0.0f,
                              1e-45f,
                              -1e-45f,
                              1.0f,
                              -1.0f,
                              std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::quiet_NaN()};
    SplineStore store(30);
    std::mt19937 random(11);
    std::uniform_real_distribution<float> unit(-2.0f, 2.0f);
    std::uniform_int_distribution<int> pick(0, 15);
    int compared = 0;
    for (int round = 0; round < 400; ++round) {
        const int n = 1 + round % 45;
        const bool allowNonFinite = round % 7 == 0;
        std::vector<Point3> points(n);
        for (Point3& p : points) {
            for (float& v : p) {
                const int k = pick(random);
                v = k < 6 || (allowNonFinite && k < 8) ? specials[k] : unit(random);
            }
        }
        SplineCurve::useVectorUnits(round % 2 == 0);
        SplineCurve curve = makeCurve(store, points);
        curve.applyBeta(round % 3 == 0 ? 1.0f : 0.37f);
        EXPECT_TRUE(sameBits(positions(curve), referenceSamples(curve))) << "n " << n;
        ++compared;
    }
    SplineCurve::useVectorUnits(true);
    EXPECT_EQ(compared, 400);
}

TEST(SplineStore, RejectsUnknownViewTypesWithItsMessage) {
    SplineStore store(4);
    std::ostringstream captured;
    setTraceStream(&captured);
    store.AddSpline({{0, 0, 0}, {1, 1, 1}, {2, 2, 2}}, 5, 0.0f);
    setTraceStream(&std::cout);
    EXPECT_EQ(captured.str(), "Fehler bei AddSpline kein zul\xE4ssiger View\n");
    EXPECT_EQ(store.curveCount(), 0u);
    EXPECT_NE(store.cachedBasis(3), nullptr);
    EXPECT_EQ(store.curvesFor(5), nullptr);
    EXPECT_EQ(store.curvesFor(-1), nullptr);
    ASSERT_NE(store.curvesFor(4), nullptr);
}

TEST(SplineStore, PathsLongerThanTheCacheStillGetATable) {
    SplineStore store(1);
    store.AddSpline(std::vector<Point3>(9, Point3{1, 2, 3}), VIEW_RADIAL_TREE, 3.0f);
    ASSERT_EQ(store.curvesFor(VIEW_RADIAL_TREE)->size(), 1u);
    EXPECT_EQ(store.cachedBasis(9)->controlCount(), 9);
}

TEST(SplineStore, OrderingGivesTextureValuesLongestFirst) {
    SplineStore store(3);
    const float ends[] = {std::sqrt(5.0f), 3.0f, 1.0f, 3.0f};  // lengths in ratio 5 : 9 : 1 : 9
    for (int id = 0; id < 4; ++id) store.AddSpline({{0, 0, 0}, {ends[id], 0, 0}}, 2, float(id));
    store.orderByLength();
    const SplineStore::CurveList& list = *store.curvesFor(2);
    std::map<float, float> texture;
    for (const SplineCurve& curve : list) texture[curve.getEdgeId()] = curve.getTexValue();
    EXPECT_EQ(std::min(texture[1], texture[3]), 0.0f);
    EXPECT_EQ(std::max(texture[1], texture[3]), 0.25f);
    EXPECT_EQ(texture[0], 0.5f);
    EXPECT_EQ(texture[2], 0.75f);
    std::vector<float> tex(kSamples * 4);
    list.back().writeTexCoords(tex.data());
    EXPECT_EQ(tex[4 * 30 + 2], 0.75f);
    EXPECT_EQ(tex[4 * 30 + 1], 0.0f);
}

TEST(SplineStore, CurvesAcrossGrowingChunksKeepTheirOwnPoints) {
    // Chunks start small and double; a curve larger than the next chunk gets one of its own.
    // No curve may share floats with another, before ordering moves them or after.
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
    auto check = [&] {
        for (const SplineCurve& curve : *store.curvesFor(1)) {
            const int i = int(curve.getEdgeId());
            ASSERT_EQ(curve.getControlCount(), counts[i]);
            for (int32_t k = 0; k < counts[i]; ++k) {
                ASSERT_EQ(curve.controlPoint(k), pointOf(i, k)) << i << " " << k;
                ASSERT_EQ(curve.workPoint(k), pointOf(i, k)) << i << " " << k;
            }
            const Point3 first = pointOf(i, 0), last = pointOf(i, counts[i] - 1);
            EXPECT_EQ(curve.point(0), (Point3{first[0], 1.0f - first[1], first[2]}));
            EXPECT_EQ(curve.point(kSamples - 1), (Point3{last[0], 1.0f - last[1], last[2]}));
        }
    };
    check();
    store.orderByLength();
    check();
}

TEST(SplineStore, InteriorControlPointsFollowTheViewRule) {
    std::unique_ptr<GraphStore> graph = siblingsGraph();
    FixedView view;
    view.record(0) = {0.5f, 0.0f, 0.1f};
    view.record(1) = {0.0f, 0.5f, 0.2f};
    const RelationEdge& siblings = *graph->getRelationEdge(0);
    const float expected[] = {1.325f, -0.0f, 0.5f, 0.5f, 0.0f};
    for (int type = 0; type < 5; ++type) {
        std::vector<Point3> points = SplineStore::controlPolygon(*graph, siblings, view, type);
        ASSERT_EQ(points.size(), 3u);
        EXPECT_EQ(points[0], (Point3{0.0f, 0.5f, 0.2f}));
        EXPECT_EQ(points[1], (Point3{0.5f, expected[type], 0.1f}));
        // Vertex 2 had no record: it reads as zeros and now has one.
        EXPECT_EQ(points[2], (Point3{0, 0, 0}));
    }
    EXPECT_EQ(view.records().count(2), 1u);
    EXPECT_EQ(SplineStore::controlY(0.25f, 1, 3, VIEW_ROOTED_TREE), 1.325f - 0.25f);
    EXPECT_EQ(SplineStore::controlY(0.25f, 1, 3, VIEW_BALLON_TREE), -0.25f);
}

TEST(SplineStore, CurvesOnGeneratedGraphsKeepTheirInvariants) {
    for (uint64_t seed : {1, 2}) {
        GeneratorParams params;
        params.vertices = 1500;
        params.relations = 1000;
        params.maxDepth = seed == 1 ? 6 : 20;
        params.seed = seed;
        params.shuffleIds = seed == 2;
        std::unique_ptr<GraphStore> graph = makeGraph(GraphGenerator(params).records());
        g_graph = graph.get();
        SplineStore store(int32_t(graph->depthCount()));
        std::vector<FixedView> views;
        for (int type = 0; type < 5; ++type) views.emplace_back(uint32_t(seed * 10 + type));
        for (int type = 0; type < 5; ++type) {
            views[type].calculate();
            store.addCurvesOfView(*graph, views[type], type);
        }
        g_graph = nullptr;
        ASSERT_EQ(store.curveCount(), 5000u);
        store.orderByLength();
        // The parallel builder makes the same lists.
        SplineStore parallel(int32_t(graph->depthCount()));
        View* table[5];
        for (int type = 0; type < 5; ++type) table[type] = &views[type];
        parallel.addCurvesOfViews(*graph, table);
        parallel.orderByLength();
        for (int type = 0; type < 5; ++type) {
            const SplineStore::CurveList& a = *store.curvesFor(type);
            const SplineStore::CurveList& b = *parallel.curvesFor(type);
            ASSERT_EQ(a.size(), b.size());
            for (size_t i = 0; i < a.size(); ++i) {
                ASSERT_EQ(a[i].getEdgeId(), b[i].getEdgeId());
                ASSERT_EQ(a[i].getTexValue(), b[i].getTexValue());
                ASSERT_TRUE(sameBits(positions(a[i]), positions(b[i])));
            }
        }
        for (int type = 0; type < 5; ++type) {
            const SplineStore::CurveList& list = *store.curvesFor(type);
            for (size_t i = 0; i < list.size(); ++i) {
                const SplineCurve& curve = list[i];
                if (i > 0) {
                    ASSERT_GE(list[i - 1].getLength(), curve.getLength());
                }
                const RelationEdge& edge = *graph->getRelationEdge(uint32_t(curve.getEdgeId()));
                const std::vector<Point3> polygon =
                    SplineStore::controlPolygon(*graph, edge, views[type], type);
                ASSERT_EQ(int(polygon.size()), curve.getControlCount());
                for (int k = 0; k < curve.getControlCount(); ++k) {
                    ASSERT_EQ(curve.controlPoint(k), polygon[k]);
                }
                const Point3 first = polygon.front(), last = polygon.back();
                ASSERT_EQ(curve.point(0), (Point3{first[0], 1 - first[1], first[2]}));
                ASSERT_EQ(curve.point(kSamples - 1), (Point3{last[0], 1 - last[1], last[2]}));
            }
        }
        // Above the threshold the store splits the work over threads: the result must not
        // depend on that.
        store.applyBeta(0.0f);
        EXPECT_EQ(store.getBeta(), 0.0f);
        for (int type = 0; type < 5; ++type) {
            for (const SplineCurve& curve : *store.curvesFor(type)) {
                ASSERT_TRUE(sameBits(positions(curve), referenceSamples(curve)));
                const Point3 a = curve.point(0), b = curve.point(kSamples - 1);
                const Point3 mid = curve.point(kSamples / 2);
                // Straight: the middle sample lies on the line through the ends.
                double cross = 0, scale = 1e-6;
                for (int c = 0; c < 3; ++c) {
                    const int d = (c + 1) % 3;
                    const double u = (b[c] - a[c]) * (mid[d] - a[d]);
                    const double v = (b[d] - a[d]) * (mid[c] - a[c]);
                    cross = std::max(cross, std::fabs(u - v));
                    scale = std::max(scale, std::fabs(double(b[c] - a[c])));
                }
                ASSERT_LT(cross, 1e-5 * scale * scale + 1e-6);
            }
        }
        // Heights follow depth, so y rows recur from curve to curve and are remembered; every
        // curve must still get its own samples.
        store.applyBeta(0.61f);
        for (int type = 0; type < 5; ++type) {
            for (const SplineCurve& curve : *store.curvesFor(type)) {
                ASSERT_TRUE(sameBits(positions(curve), referenceSamples(curve)));
            }
        }
    }
}

TEST(ExportCurves, WritesOneTabSeparatedLinePerCurveAndView) {
    std::unique_ptr<GraphStore> graph = siblingsGraph();
    std::vector<std::unique_ptr<FixedView>> owned;
    View* views[5];
    for (int type = 0; type < 5; ++type) {
        owned.push_back(std::make_unique<FixedView>());
        owned.back()->record(1) = {0.0f, 0.5f, 0.0f};
        owned.back()->record(2) = {1.0f, 0.5f, 0.0f};
        views[type] = owned.back().get();
    }
    char* text = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    writeCurveLines(out, *graph, views, 0.0f);
    std::fclose(out);
    std::istringstream lines(std::string(text, size));
    std::free(text);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string tag, samples;
        double v, p, id, n, length, tex;
        fields >> tag >> v >> p >> id >> n >> length >> tex;
        EXPECT_EQ(tag, "curve");
        EXPECT_EQ(v, count / 2);
        std::vector<double> values;
        for (double x; fields >> x;) values.push_back(x);
        ASSERT_EQ(values.size(), 150u);
        if (n == 3) {
            // Beta 0: the sibling edge is the straight segment at y = 0.5, drawn at 1 - 0.5.
            EXPECT_EQ(values[3 * 25 + 1], 0.5);
            EXPECT_EQ(values[147], 1.0);
        }
        ++count;
    }
    EXPECT_EQ(count, 10);
}
