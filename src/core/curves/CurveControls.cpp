#include "CurveControls.h"

#include "OpeningWatch.h"

#include "ControlPolygon.h"
#include "GraphStore.h"
#include "ParallelRuns.h"
#include "SplineStore.h"
#include "VertexPositions.h"
#include "View.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>

CurveControls::CurveControls(const GraphStore& graph, const View* const views[kViewCount],
                             int32_t sampleCount)
    : m_sampleCount(sampleCount), m_paths(TreePaths::collect(graph)) {
    m_paths.dropEmpty();
    for (size_t e = 0; e < m_paths.size(); ++e) {
        m_longestPath = std::max(m_longestPath, m_paths.length(e));
    }
    // Every basis table before the views are ordered side by side.
    std::vector<std::unique_ptr<BasisTable>> tables(m_longestPath);
    std::vector<const BasisTable*> bases(m_longestPath + size_t(1), nullptr);
    for (size_t e = 0; e < m_paths.size(); ++e) {
        const int32_t n = m_paths.length(e);
        if (!tables[n - 1]) tables[n - 1] = std::make_unique<BasisTable>(n, sampleCount);
        bases[n] = tables[n - 1].get();
    }
    m_basis = BasisTexels(bases, sampleCount);
    const size_t vertexCount = graph.vertexCount();
    // Views are only read, so one view given for two codes is safe side by side.
    runIndexed(kViewCount, threadCount(),
               [&](int type) { orderView(type, *views[type], vertexCount, bases); });
}

void CurveControls::orderView(int viewType, const View& view, size_t vertexCount,
                              const std::vector<const BasisTable*>& bases) {
    VertexPositions positions(view, vertexCount);
    // The lengths come from the very evaluation the core's curves make, so that both order
    // alike; the samples are dropped as soon as each length is known.
    std::vector<float> lengths(m_paths.size());
    std::vector<Point3> points;
    std::vector<float> scratch;
    for (size_t e = 0; e < m_paths.size(); ++e) {
        OpeningWatch::step(e, m_paths.size());
        const int32_t n = m_paths.length(e);
        controlpolygon::build(
            m_paths.path(e), n, viewType, [&](uint32_t id) { return positions.at(id); }, points);
        scratch.resize(SplineCurve::storageSize(n, m_sampleCount));
        lengths[e] = SplineCurve(bases[n], points.data(), n, 0, scratch.data()).getLength();
    }
    std::vector<uint32_t>& order = m_order[viewType];
    order.resize(m_paths.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        return SplineStore::longerCurve(lengths[a], lengths[b]);
    });
    m_positions[viewType] = positions.coordinates();
}

void CurveControls::setEdgeWeights(const std::vector<uint32_t>& weightOfEdge) {
    m_alphaScale.assign(m_paths.size(), 1.0f);
    for (size_t e = 0; e < m_paths.size(); ++e) {
        const uint32_t edge = m_paths.edge[e];
        const uint32_t weight = edge < weightOfEdge.size() ? weightOfEdge[edge] : 1;
        const double scale = 1.0 + std::log2(double(std::max<uint32_t>(weight, 1)));
        m_alphaScale[e] = float(std::lround(scale * kAlphaScaleSteps)) / kAlphaScaleSteps;
    }
}

std::vector<int32_t> CurveControls::listPositions(int viewType, size_t edgeCount) const {
    std::vector<int32_t> positions(edgeCount, -1);
    const std::vector<uint32_t>& order = m_order[viewType];
    for (size_t p = 0; p < order.size(); ++p) {
        const uint32_t edge = m_paths.edge[order[p]];
        if (edge < edgeCount) positions[edge] = int32_t(p);
    }
    return positions;
}

std::vector<Point3> CurveControls::controlPolygon(int viewType, size_t position) const {
    const uint32_t e = m_order[viewType][position];
    const std::vector<float>& coordinates = m_positions[viewType];
    std::vector<Point3> points;
    controlpolygon::build(
        m_paths.path(e), m_paths.length(e), viewType,
        [&](size_t v) {
            if (3 * v + 2 >= coordinates.size()) return std::array<float, 3>{};
            return std::array<float, 3>{coordinates[3 * v], coordinates[3 * v + 1],
                                        coordinates[3 * v + 2]};
        },
        points);
    return points;
}
