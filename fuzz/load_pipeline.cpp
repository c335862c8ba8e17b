// The whole road of an opened file, on arbitrary bytes read both as RSF and as XML: the loader,
// the five layouts and the curves of every relation edge (built, ordered, straightened). A file
// is either refused with a message naming it or gives a graph on which every later step holds:
// - every layout gives every vertex a record of finite numbers;
// - each view has one curve per relation edge, the same curve as the one-edge-at-a-time road
//   (controlPolygon and AddSpline) makes, starting and ending exactly on its end points;
// - the samples are, bit for bit, the float sums of weight times working point in control-point
//   order, with the vector units and without;
// - ordering sorts by length, longest first, and numbers the curves i / c;
// - straightening by beta moves the working points as defined, and beta 1 restores the curve.
#include "ExportLayouts.h"
#include "GraphLoader.h"
#include "FuzzCheck.h"
#include "ScratchFile.h"
#include "SplineStore.h"
#include "Trace.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Equal bits, or both NaN: a NaN's sign and payload follow whichever operand order the compiler
// picks, so they carry no meaning.
bool sameBits(float a, float b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

bool samePoint(const Point3& a, const Point3& b) {
    return sameBits(a[0], b[0]) && sameBits(a[1], b[1]) && sameBits(a[2], b[2]);
}

// Curves compared one by one with the road of single AddSpline calls.
constexpr size_t kComparedEdges = 8;

void checkViews(const GraphStore& graph, const exportlayouts::Views& views) {
    for (const auto& view : views) {
        FUZZ_CHECK(view->records().size() == graph.vertexCount());
        for (const auto& [id, record] : view->records()) {
            FUZZ_CHECK(id < graph.vertexCount());
            for (float value :
                 {record.x, record.y, record.z, record.r, record.g, record.b, record.a}) {
                FUZZ_CHECK(std::isfinite(value));
            }
        }
    }
}

// The samples by definition: per sample and coordinate, the float sum over all working points
// of weight times point, in point order; y flipped.
void checkSamples(const SplineCurve& curve) {
    const BasisTable& basis = *curve.getBasis();
    const int32_t n = curve.getControlCount();
    FUZZ_CHECK(basis.controlCount() == n && curve.getSampleCount() == basis.sampleCount());
    for (int32_t j = 0; j < curve.getSampleCount(); ++j) {
        Point3 expected{};
        for (int c = 0; c < 3; ++c) {
            float sum = 0;
            for (int32_t i = 0; i < n; ++i) sum += basis.weight(i, j) * curve.workPoint(i)[c];
            expected[c] = c == 1 ? 1.0f - sum : sum;
        }
        FUZZ_CHECK(samePoint(curve.point(j), expected));
    }
}

// A curve starts exactly on its first working point. It ends exactly on its last when the
// running sum of parameter steps reaches the end knot; where the sum stops just short of it the
// other points keep tiny weights beside the pinned 1, and the end is only as near as those allow.
void checkEnds(const SplineCurve& curve) {
    const int32_t n = curve.getControlCount(), m = curve.getSampleCount();
    const BasisTable& basis = *curve.getBasis();
    const Point3 first = curve.workPoint(0), last = curve.workPoint(n - 1);
    FUZZ_CHECK(samePoint(curve.point(0), {first[0], 1.0f - first[1], first[2]}));
    const Point3 end{last[0], 1.0f - last[1], last[2]};
    if (n <= 2 || basis.parameters().back() >= basis.knots().back()) {
        FUZZ_CHECK(samePoint(curve.point(m - 1), end));
        return;
    }
    float largest = 1.0f;
    for (int c = 0; c < 3; ++c) {
        for (int32_t i = 0; i < n; ++i)
            largest = std::max(largest, std::fabs(curve.workPoint(i)[c]));
    }
    for (int c = 0; c < 3; ++c)
        FUZZ_CHECK(std::fabs(curve.point(m - 1)[c] - end[c]) <= 1e-6f * largest);
}

void checkCurves(const GraphStore& graph, const exportlayouts::Views& views, float beta) {
    View* table[5];
    for (int t = 0; t < 5; ++t) table[t] = views[t].get();
    SplineStore store(int32_t(graph.depthCount()));
    store.addCurvesOfViews(graph, table);
    FUZZ_CHECK(store.curvesFor(5) == nullptr && store.curvesFor(-1) == nullptr);

    // The same curves one edge at a time; a view type outside 0 .. 4 adds nothing.
    SplineStore single(int32_t(graph.depthCount()));
    for (const auto& [id, edge] : graph.relationEdges()) {
        if (id >= kComparedEdges) break;
        for (int32_t type = 0; type < 5; ++type) {
            single.AddSpline(SplineStore::controlPolygon(graph, *edge, *table[type], type), type,
                             float(id));
        }
        single.AddSpline(SplineStore::controlPolygon(graph, *edge, *table[0], 0), 5, float(id));
    }
    for (int32_t type = 0; type < 5; ++type) {
        const SplineStore::CurveList& list = *store.curvesFor(type);
        const SplineStore::CurveList& reference = *single.curvesFor(type);
        FUZZ_CHECK(list.size() == graph.relationEdgeCount());
        FUZZ_CHECK(reference.size() == std::min(kComparedEdges, list.size()));
        for (size_t e = 0; e < reference.size(); ++e) {
            const SplineCurve &a = list[e], &b = reference[e];
            FUZZ_CHECK(a.getEdgeId() == b.getEdgeId() &&
                       a.getControlCount() == b.getControlCount());
            FUZZ_CHECK(a.getControlCount() ==
                       int32_t(graph.getTreePath(*graph.getRelationEdge(uint32_t(e))).size()));
            for (int32_t i = 0; i < a.getControlCount(); ++i) {
                FUZZ_CHECK(samePoint(a.controlPoint(i), b.controlPoint(i)));
            }
            for (int32_t j = 0; j < a.getSampleCount(); ++j)
                FUZZ_CHECK(samePoint(a.point(j), b.point(j)));
        }
        for (const SplineCurve& curve : list) {
            checkSamples(curve);
            checkEnds(curve);
        }
    }

    store.orderByLength();
    std::vector<std::vector<Point3>> created;
    for (int32_t type = 0; type < 5; ++type) {
        const SplineStore::CurveList& list = *store.curvesFor(type);
        for (size_t i = 0; i < list.size(); ++i) {
            const float length = list[i].getLength();
            if (i > 0) {
                const float before = list[i - 1].getLength();
                FUZZ_CHECK(std::isnan(length) || (!std::isnan(before) && before >= length));
            }
            FUZZ_CHECK(list[i].getTexValue() == float(i) / float(list.size()));
            std::vector<Point3>& samples = created.emplace_back();
            for (int32_t j = 0; j < list[i].getSampleCount(); ++j) {
                samples.push_back(list[i].point(j));
            }
        }
    }

    // Straightened with the vector units where the processor has them, then without.
    for (bool vector : {true, false}) {
        SplineCurve::useVectorUnits(vector);
        store.applyBeta(beta);
        FUZZ_CHECK(store.getBeta() == beta);
        for (int32_t type = 0; type < 5; ++type) {
            for (const SplineCurve& curve : *store.curvesFor(type)) {
                checkSamples(curve);
            }
        }
    }
    SplineCurve::useVectorUnits(true);
    store.applyBeta(1.0f);
    size_t k = 0;
    for (int32_t type = 0; type < 5; ++type) {
        for (const SplineCurve& curve : *store.curvesFor(type)) {
            const std::vector<Point3>& samples = created[k++];
            for (int32_t j = 0; j < curve.getSampleCount(); ++j) {
                FUZZ_CHECK(samePoint(curve.point(j), samples[size_t(j)]));
            }
        }
    }
}

void checkGraph(const GraphStore& graph) {
    FUZZ_CHECK(graph.vertexCount() >= 1 && graph.getRoot() != nullptr);
    int64_t counted = 0;
    for (int32_t count : graph.getHierarchy()) counted += count;
    FUZZ_CHECK(counted == int64_t(graph.vertexCount()));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setTraceStream(nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The bundling strength, from the first byte: 0 .. 1 in steps of 1/255.
    const float beta = size > 0 ? float(data[0]) / 255.0f : 0.5f;
    for (const char* suffix : {".rsf", ".xml"}) {
        const std::string path = ScratchFile::write(data, size, suffix);
        const LoadResult loaded = GraphLoader::load(path);
        FUZZ_CHECK(loaded.ok() == loaded.error.empty());
        if (!loaded.ok()) {
            FUZZ_CHECK(loaded.error.rfind(path + ": ", 0) == 0);
            continue;
        }
        const GraphStore& graph = *loaded.graph;
        checkGraph(graph);
        const exportlayouts::Views views = exportlayouts::computeViews(graph);
        checkViews(graph, views);
        checkCurves(graph, views, beta);
    }
    return 0;
}
