#include "SplineStore.h"

#include "ControlPolygon.h"
#include "GraphStore.h"
#include "ParallelRuns.h"
#include "Trace.h"
#include "TreePaths.h"
#include "VertexPositions.h"
#include "View.h"
#include "ViewType.h"

#include <algorithm>
#include <cmath>

namespace {

bool validViewType(int32_t viewType) { return viewType >= 0 && viewType < VIEW_COUNT; }

// Below this many curves a second thread costs more than it saves.
constexpr size_t kParallelThreshold = 4096;
// How many curves ahead applyBeta asks for a curve's memory.
constexpr size_t kPrefetchAhead = 4;
// Curves that applyBeta hands to a thread at a time.
constexpr size_t kCurvesPerRun = 4096;

}  // namespace

SplineStore::SplineStore(int32_t levelCount)
    : m_levelCount(levelCount), m_bases(levelCount, kSampleCount) {}

std::vector<Point3> SplineStore::controlPolygon(const GraphStore& graph, const Edge& edge,
                                                const View& view, int32_t viewType) {
    const std::vector<uint32_t> path = graph.getTreePath(edge);
    std::vector<Point3> points;
    controlpolygon::build(
        path.data(), int32_t(path.size()), viewType,
        [&](uint32_t id) {
            const LayoutRecord record = view.getRecord(id);
            return std::array<float, 3>{record.x, record.y, record.z};
        },
        points);
    return points;
}

void SplineStore::AddSpline(const std::vector<Point3>& points, int32_t viewType, float edgeId) {
    const int32_t n = int32_t(points.size());
    if (n == 0) {
        // Only a vertex that the root does not reach has no tree path; there is nothing to draw.
        trace() << "AddSpline: no control points for edge " << edgeId << '\n';
        return;
    }
    const BasisTable* basis = basisFor(n);
    if (!validViewType(viewType)) {
        trace() << "Fehler bei AddSpline kein zul\xE4ssiger View\n";
        return;
    }
    float* storage = m_arenas[viewType].allocate(SplineCurve::storageSize(n, m_sampleCount));
    m_curves[viewType].emplace_back(basis, points.data(), n, edgeId, storage);
}

namespace {

void addCurves(SplineStore& store, const TreePaths& paths, size_t vertexCount, const View& view,
               int32_t viewType) {
    VertexPositions positions(view, vertexCount);
    std::vector<Point3> points;
    for (size_t e = 0; e < paths.size(); ++e) {
        controlpolygon::build(
            paths.path(e), paths.length(e), viewType, [&](uint32_t id) { return positions.at(id); },
            points);
        store.AddSpline(points, viewType, float(paths.edge[e]));
    }
}

}  // namespace

void SplineStore::addCurvesOfView(const GraphStore& graph, const View& view, int32_t viewType) {
    const TreePaths paths = TreePaths::collect(graph);
    if (validViewType(viewType)) {
        m_curves[viewType].reserve(m_curves[viewType].size() + paths.edge.size());
    }
    addCurves(*this, paths, graph.vertexCount(), view, viewType);
}

void SplineStore::addCurvesOfViews(const GraphStore& graph, const View* const views[5]) {
    TreePaths paths = TreePaths::collect(graph);
    // Everything shared is settled here, so that the five lists can be filled side by side:
    // edges without a path are reported and dropped, and every basis table is built.
    for (size_t e = 0; e < paths.size(); ++e) {
        if (paths.length(e) > 0) {
            basisFor(paths.length(e));
            continue;
        }
        for (int type = 0; type < kViewCount; ++type) {
            trace() << "AddSpline: no control points for edge " << float(paths.edge[e]) << '\n';
        }
    }
    paths.dropEmpty();
    for (CurveList& list : m_curves) list.reserve(list.size() + paths.edge.size());
    const size_t vertexCount = graph.vertexCount();
    // Views are only read, so one view given for two codes is safe side by side.
    runIndexed(kViewCount, threadCount(),
               [&](int type) { addCurves(*this, paths, vertexCount, *views[type], type); });
}

bool SplineStore::longerCurve(float a, float b) {
    // A NaN length (from non-finite layout positions) sorts last.
    if (std::isnan(b)) return !std::isnan(a);
    return a > b;
}

void SplineStore::orderByLength() {
    auto longer = [](const SplineCurve& a, const SplineCurve& b) {
        return longerCurve(a.getLength(), b.getLength());
    };
    // The lists are independent: each is sorted and compacted on its own thread.
    runIndexed(kViewCount, curveCount() < kParallelThreshold ? 1 : threadCount(), [&](int type) {
        CurveList& list = m_curves[type];
        std::stable_sort(list.begin(), list.end(), longer);
        const float count = float(list.size());
        for (size_t i = 0; i < list.size(); ++i) list[i].setTexValue(float(i) / count);
        m_arenas[type].compact(list);
    });
}

void SplineStore::applyBeta(float beta) {
    m_beta = beta;
    // The five lists laid end to end, cut into runs that the threads take in turn: curves of
    // some views cost more than others, so fixed halves would leave one thread waiting.
    const size_t total = curveCount();
    const int runs = static_cast<int>((total + kCurvesPerRun - 1) / kCurvesPerRun);
    runIndexed(runs, total < kParallelThreshold ? 1 : threadCount(), [&](int run) {
        const size_t begin = size_t(run) * kCurvesPerRun;
        const size_t end = std::min(total, begin + kCurvesPerRun);
        size_t offset = 0;
        for (CurveList& list : m_curves) {
            const size_t size = list.size();
            const size_t from = std::max(begin, offset), to = std::min(end, offset + size);
            for (size_t i = from; i < to; ++i) {
                if (i + kPrefetchAhead < to) list[i - offset + kPrefetchAhead].prefetch();
                list[i - offset].applyBeta(beta);
            }
            offset += size;
        }
    });
}

SplineStore::CurveList* SplineStore::curvesFor(int32_t viewType) {
    return validViewType(viewType) ? &m_curves[viewType] : nullptr;
}

const SplineStore::CurveList* SplineStore::curvesFor(int32_t viewType) const {
    return validViewType(viewType) ? &m_curves[viewType] : nullptr;
}

size_t SplineStore::curveCount() const {
    size_t count = 0;
    for (const CurveList& list : m_curves) count += list.size();
    return count;
}
