#pragma once

#include "BasisTable.h"
#include "SplineCurve.h"

#include <cstdint>
#include <memory>
#include <vector>

class Edge;
class GraphStore;
class View;

// All relation-edge curves of one graph: one list per view type, and the basis tables shared by
// curves with the same number of control points. Replaced whenever a graph is opened.
class SplineStore {
public:
    using CurveList = std::vector<SplineCurve>;

    static constexpr int32_t kSampleCount = 50;

    // levelCount: number of depths of the graph; sizes the basis cache for the longest tree path.
    explicit SplineStore(int32_t levelCount);

    // Control points of an edge in a view: the layout positions along its tree path, interior
    // points moved off the tree by the view type's rule. Records are read with find-or-insert.
    static std::vector<Point3> controlPolygon(const GraphStore& graph, const Edge& edge, View& view,
                                              int32_t viewType);
    static std::vector<Point3> controlPolygon(const std::vector<uint32_t>& path, View& view,
                                              int32_t viewType);
    // The Y of control point k of n for a record Y of y.
    static float controlY(float y, int32_t k, int32_t n, int32_t viewType);

    // Appends a curve on points to the list of viewType (0 .. 4); any other type only builds the
    // basis table and reports the error.
    void AddSpline(const std::vector<Point3>& points, int32_t viewType, float edgeId);
    // AddSpline for every relation edge of the graph, in id order, with the edge id as curve id.
    void addCurvesOfView(const GraphStore& graph, View& view, int32_t viewType);
    // addCurvesOfView for view types 0 .. 4 with views[type], the tree paths found once and the
    // five lists filled in parallel. The same curves in the same order.
    void addCurvesOfViews(const GraphStore& graph, View* const views[5]);

    // Whether a curve of length a goes before one of length b: longest first, NaN last.
    static bool longerCurve(float a, float b);
    // Longest curve first in each list (a stable order); then curve i of c gets the texture value i
    // / c.
    void orderByLength();
    // Straightens every curve of every list by beta (both cores for large stores).
    void applyBeta(float beta);

    CurveList* curvesFor(int32_t viewType);
    const CurveList* curvesFor(int32_t viewType) const;

    // Table for n control points, built on first use.
    const BasisTable* basisFor(int32_t controlCount);
    // Table for n if it has been built, else nullptr.
    const BasisTable* cachedBasis(int32_t controlCount) const;

    float getBeta() const { return m_beta; }
    int32_t getLevelCount() const { return m_levelCount; }
    int32_t getSampleCount() const { return m_sampleCount; }
    size_t curveCount() const;

private:
    static constexpr int kViewCount = 5;
    // Floats per arena chunk while curves are being added. Large enough (64 MB) for the
    // allocator to map each chunk on its own, so that freeing chunks after ordering gives the
    // memory back instead of leaving holes in the heap; pages never written cost nothing.
    static constexpr size_t kChunkFloats = size_t(1) << 24;
    // The first chunk of a list is far smaller, and each next one twice the last up to
    // kChunkFloats: a small graph need not map 64 MB per view.
    static constexpr size_t kFirstChunkFloats = size_t(1) << 16;

    // Storage for a new curve of list `viewType`, from that list's chunks.
    float* allocate(int32_t viewType, size_t floats);
    // Copies the blocks of a list's curves into one array in list order, so that walking the
    // list walks memory forwards, and frees the chunks.
    void compact(int32_t viewType);

    CurveList m_curves[kViewCount];
    // Point blocks of each list: chunks filled while adding, one array in list order after
    // ordering (plus chunks again for curves added after that).
    struct FreeFloats {
        void operator()(float* p) const;
    };
    // Line-aligned float arrays.
    using FloatArray = std::unique_ptr<float[], FreeFloats>;
    static FloatArray allocateLines(size_t floats);

    std::vector<FloatArray> m_chunks[kViewCount];
    size_t m_chunkFree[kViewCount] = {};
    size_t m_chunkSize[kViewCount] = {};
    FloatArray m_ordered[kViewCount];
    float m_beta = 0;
    int32_t m_levelCount;
    int32_t m_sampleCount = kSampleCount;
    // Slot n-1 holds the table for n control points.
    std::vector<std::unique_ptr<BasisTable>> m_basisCache;
};
