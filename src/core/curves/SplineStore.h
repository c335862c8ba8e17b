#pragma once

#include "BasisCache.h"
#include "CurveArena.h"
#include "SplineCurve.h"

#include <cstdint>
#include <memory>
#include <vector>

class Edge;
class GraphStore;
class View;

// All relation-edge curves of one graph: one list per view type, built from the graph's tree
// paths, ordered by length and straightened by beta. Replaced whenever a graph is opened.
class SplineStore {
public:
    using CurveList = std::vector<SplineCurve>;

    static constexpr int32_t kSampleCount = 50;

    // levelCount: number of depths of the graph; sizes the basis cache for the longest tree path.
    explicit SplineStore(int32_t levelCount);

    // Control points of an edge in a view (see ControlPolygon.h); a vertex without a record
    // stands at the origin.
    static std::vector<Point3> controlPolygon(const GraphStore& graph, const Edge& edge,
                                              const View& view, int32_t viewType);

    // Appends a curve on points to the list of viewType (0 .. 4); any other type only builds the
    // basis table and reports the error.
    void AddSpline(const std::vector<Point3>& points, int32_t viewType, float edgeId);
    // AddSpline for every relation edge of the graph, in id order, with the edge id as curve id.
    void addCurvesOfView(const GraphStore& graph, const View& view, int32_t viewType);
    // addCurvesOfView for view types 0 .. 4 with views[type], the tree paths found once and the
    // five lists filled in parallel. The same curves in the same order.
    void addCurvesOfViews(const GraphStore& graph, const View* const views[5]);

    // Whether a curve of length a goes before one of length b: longest first, NaN last.
    static bool longerCurve(float a, float b);
    // Longest curve first in each list (a stable order); then curve i of c gets the texture value i
    // / c.
    void orderByLength();
    // Straightens every curve of every list by beta (both cores for large stores).
    void applyBeta(float beta);

    CurveList* curvesFor(int32_t viewType);
    const CurveList* curvesFor(int32_t viewType) const;

    const BasisTable* basisFor(int32_t controlCount) { return m_bases.basisFor(controlCount); }
    const BasisTable* cachedBasis(int32_t controlCount) const {
        return m_bases.cached(controlCount);
    }

    float getBeta() const { return m_beta; }
    int32_t getLevelCount() const { return m_levelCount; }
    int32_t getSampleCount() const { return m_sampleCount; }
    size_t curveCount() const;

private:
    static constexpr int kViewCount = 5;

    CurveList m_curves[kViewCount];
    CurveArena m_arenas[kViewCount];
    float m_beta = 0;
    int32_t m_levelCount;
    int32_t m_sampleCount = kSampleCount;
    BasisCache m_bases;
};
