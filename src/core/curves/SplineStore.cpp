#include "SplineStore.h"

#include "GraphStore.h"
#include "ParallelRuns.h"
#include "Trace.h"
#include "TreePaths.h"
#include "VertexPositions.h"
#include "View.h"
#include "ViewType.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

namespace {

bool validViewType(int32_t viewType) { return viewType >= 0 && viewType < VIEW_COUNT; }

// Below this many curves a second thread costs more than it saves.
constexpr size_t kParallelThreshold = 4096;
// How many curves ahead applyBeta asks for a curve's memory.
constexpr size_t kPrefetchAhead = 4;
// Curves that applyBeta hands to a thread at a time.
constexpr size_t kCurvesPerRun = 4096;

}  // namespace

SplineStore::SplineStore(int32_t levelCount) : m_levelCount(levelCount) {
    // The longest tree path runs from a deepest leaf up to the root and down to another one.
    m_basisCache.resize(levelCount > 0 ? size_t(2) * levelCount - 1 : 0);
}

float SplineStore::controlY(float y, int32_t k, int32_t n, int32_t viewType) {
    if (k == 0 || k == n - 1) return y;
    switch (viewType) {
        case VIEW_ROOTED_TREE:
            // Mirror the hierarchy below the leaves so that bundles run under the tree.
            return 1.325f - y;
        case VIEW_BALLON_TREE:
            return -y;
        case VIEW_SLICE_AND_DICE:
        case VIEW_STRIP_TREEMAP:
            return 0.5f;
        case VIEW_RADIAL_TREE:
            return 0.0f;
        default:
            return y;
    }
}

std::vector<Point3> SplineStore::controlPolygon(const std::vector<uint32_t>& path, View& view,
                                                int32_t viewType) {
    const int32_t n = int32_t(path.size());
    std::vector<Point3> points;
    points.reserve(n);
    for (int32_t k = 0; k < n; ++k) {
        const LayoutRecord record = view.getRecord(path[k]);
        points.push_back({record.x, controlY(record.y, k, n, viewType), record.z});
    }
    return points;
}

std::vector<Point3> SplineStore::controlPolygon(const GraphStore& graph, const Edge& edge,
                                                View& view, int32_t viewType) {
    return controlPolygon(graph.getTreePath(edge), view, viewType);
}

const BasisTable* SplineStore::cachedBasis(int32_t controlCount) const {
    if (controlCount < 1 || size_t(controlCount) > m_basisCache.size()) return nullptr;
    return m_basisCache[controlCount - 1].get();
}

const BasisTable* SplineStore::basisFor(int32_t controlCount) {
    // A path longer than the depths promised (a store made for another graph) widens the cache
    // rather than writing past it.
    if (size_t(controlCount) > m_basisCache.size()) m_basisCache.resize(controlCount);
    std::unique_ptr<BasisTable>& slot = m_basisCache[controlCount - 1];
    if (!slot) slot = std::make_unique<BasisTable>(controlCount, m_sampleCount);
    return slot.get();
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
    float* storage = allocate(viewType, SplineCurve::storageSize(n, m_sampleCount));
    m_curves[viewType].emplace_back(basis, points.data(), n, edgeId, storage);
}

void SplineStore::FreeFloats::operator()(float* p) const { std::free(p); }

SplineStore::FloatArray SplineStore::allocateLines(size_t floats) {
    const size_t bytes = ((std::max<size_t>(floats, 1) * sizeof(float)) + 63) & ~size_t(63);
    float* p = static_cast<float*>(std::aligned_alloc(64, bytes));
    if (!p) throw std::bad_alloc();
    return FloatArray(p);
}

float* SplineStore::allocate(int32_t viewType, size_t floats) {
    std::vector<FloatArray>& chunks = m_chunks[viewType];
    size_t& free = m_chunkFree[viewType];
    size_t& size = m_chunkSize[viewType];
    if (chunks.empty() || free < floats) {
        const size_t next = chunks.empty() ? kFirstChunkFloats : std::min(2 * size, kChunkFloats);
        // A block larger than the next chunk gets a chunk of exactly its size.
        size = std::max(next, floats);
        chunks.push_back(allocateLines(size));
        free = size;
    }
    float* block = chunks.back().get() + (size - free);
    free -= floats;
    return block;
}

void SplineStore::compact(int32_t viewType) {
    CurveList& list = m_curves[viewType];
    size_t total = 0;
    for (const SplineCurve& curve : list) {
        total += SplineCurve::storageSize(curve.getControlCount(), curve.getSampleCount());
    }
    FloatArray ordered = allocateLines(total);
    float* next = ordered.get();
    for (SplineCurve& curve : list) {
        curve.relocate(next);
        next += SplineCurve::storageSize(curve.getControlCount(), curve.getSampleCount());
    }
    m_ordered[viewType] = std::move(ordered);
    m_chunks[viewType].clear();
    m_chunkFree[viewType] = 0;
}

namespace {

void addCurves(SplineStore& store, const TreePaths& paths, size_t vertexCount, View& view,
               int32_t viewType) {
    VertexPositions positions(view, vertexCount);
    std::vector<Point3> points;
    for (size_t e = 0; e < paths.size(); ++e) {
        const uint32_t* path = paths.path(e);
        const int32_t n = paths.length(e);
        points.clear();
        for (int32_t k = 0; k < n; ++k) {
            const Point3 p = positions.at(path[k]);
            points.push_back({p[0], SplineStore::controlY(p[1], k, n, viewType), p[2]});
        }
        store.AddSpline(points, viewType, float(paths.edge[e]));
    }
}

}  // namespace

void SplineStore::addCurvesOfView(const GraphStore& graph, View& view, int32_t viewType) {
    const TreePaths paths = TreePaths::collect(graph);
    if (validViewType(viewType)) {
        m_curves[viewType].reserve(m_curves[viewType].size() + paths.edge.size());
    }
    addCurves(*this, paths, graph.vertexCount(), view, viewType);
}

void SplineStore::addCurvesOfViews(const GraphStore& graph, View* const views[5]) {
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
    // A view given for two codes would be written (find-or-insert) from two threads.
    bool distinct = true;
    for (int a = 0; a < kViewCount; ++a) {
        for (int b = a + 1; b < kViewCount; ++b) distinct &= views[a] != views[b];
    }
    runIndexed(kViewCount, distinct ? threadCount() : 1,
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
        compact(type);
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
