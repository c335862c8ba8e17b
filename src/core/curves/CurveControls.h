#pragma once

#include "BasisTexels.h"
#include "SplineCurve.h"
#include "TreePaths.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class GraphStore;
class View;

// What the drawing surface keeps of the relation curves: the tree paths (shared by the five
// views), each view's vertex positions and each view's drawing order. The curves themselves are
// evaluated where they are drawn, for the bundling strength of the moment, so nothing here
// depends on beta and a million edges fit in a few hundred megabytes.
//
// Built on any thread from a graph and its five layouts; after that it only answers questions.
class CurveControls {
public:
    static constexpr int kViewCount = 5;

    // Curves of sampleCount samples; the drawing order is the one SplineStore::orderByLength gives
    // curves built from the same graph and layouts.
    CurveControls(const GraphStore& graph, const View* const views[kViewCount],
                  int32_t sampleCount);

    // The tree paths that have curves (edges whose ends the root reaches), in edge id order.
    const TreePaths& paths() const { return m_paths; }
    size_t curveCount() const { return m_paths.size(); }
    int32_t sampleCount() const { return m_sampleCount; }
    // Control points of the longest path.
    int32_t longestPath() const { return m_longestPath; }
    // The basis tables of the control counts the paths have, ready to upload.
    const BasisTexels& basis() const { return m_basis; }
    // Edges that stand for several (merged ones) are drawn more opaque: a path's curve alpha is
    // multiplied by 1 + log2(weight of its edge), held in steps of 1/kAlphaScaleSteps so that
    // every drawing of it multiplies by the very same float. weightOfEdge is indexed by
    // relation edge id; without it every scale is 1.
    static constexpr int32_t kAlphaScaleSteps = 1024;
    void setEdgeWeights(const std::vector<uint32_t>& weightOfEdge);
    float alphaScale(size_t path) const { return m_alphaScale.empty() ? 1.0f : m_alphaScale[path]; }
    // x, y, z of every vertex id in a view, the layout's own y (before the curves' rules).
    const std::vector<float>& positions(int viewType) const { return m_positions[viewType]; }
    // List position -> path index, longest curve first.
    const std::vector<uint32_t>& order(int viewType) const { return m_order[viewType]; }
    // The relation edge drawn at a list position of a view.
    uint32_t edgeAt(int viewType, size_t position) const {
        return m_paths.edge[m_order[viewType][position]];
    }
    // For every relation edge id below edgeCount, its list position in a view; -1 without a
    // curve.
    std::vector<int32_t> listPositions(int viewType, size_t edgeCount) const;
    // The control points of the curve at a list position, as SplineStore::controlPolygon gives
    // them.
    std::vector<Point3> controlPolygon(int viewType, size_t position) const;

private:
    void orderView(int viewType, const View& view, size_t vertexCount,
                   const std::vector<const BasisTable*>& bases);

    int32_t m_sampleCount;
    int32_t m_longestPath = 0;
    TreePaths m_paths;
    BasisTexels m_basis;
    std::vector<float> m_alphaScale;  // per path; empty: all 1
    std::vector<float> m_positions[kViewCount];
    std::vector<uint32_t> m_order[kViewCount];
};
