// The whole road of an opened file, on arbitrary bytes read both as RSF and as XML: the loader,
// the five layouts and the curves the viewer draws. A file is either refused with a message
// naming it or gives a graph on which every later step holds:
// - every layout gives every vertex a record of finite numbers;
// - the curve controls the GPU and the CPU draw from list, in every view, the core's curves
//   ordered longest first: the same edges in the same order with the same control points;
// - the core's samples are, bit for bit, the float sums of weight times working point in
//   control-point order, with the vector units and without, straightened by any beta.
#include "CurveControls.h"
#include "ExportLayouts.h"
#include "GraphLoader.h"
#include "FuzzCheck.h"
#include "ScratchFile.h"
#include "SplineStore.h"

#include <cmath>
#include <cstdint>
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

void checkCurves(const GraphStore& graph, const exportlayouts::Views& views, float beta) {
    const View* table[5];
    for (int t = 0; t < 5; ++t) table[t] = views[t].get();
    const CurveControls controls(graph, table, SplineStore::kSampleCount);
    SplineStore store(int32_t(graph.depthCount()));
    store.addCurvesOfViews(graph, table);
    store.orderByLength();
    for (int32_t type = 0; type < 5; ++type) {
        const SplineStore::CurveList& list = *store.curvesFor(type);
        FUZZ_CHECK(list.size() == graph.relationEdgeCount() &&
                   controls.curveCount() == list.size());
        for (size_t p = 0; p < list.size(); ++p) {
            FUZZ_CHECK(list[p].getTexValue() == float(p) / float(list.size()));
            FUZZ_CHECK(controls.edgeAt(type, p) == uint32_t(list[p].getEdgeId()));
            const std::vector<Point3> points = controls.controlPolygon(type, p);
            FUZZ_CHECK(int32_t(points.size()) == list[p].getControlCount());
            for (int32_t k = 0; k < list[p].getControlCount(); ++k) {
                FUZZ_CHECK(samePoint(points[size_t(k)], list[p].controlPoint(k)));
            }
        }
    }
    // Straightened with the vector units where the processor has them, then without.
    for (bool vector : {true, false}) {
        SplineCurve::useVectorUnits(vector);
        store.applyBeta(beta);
        for (int32_t type = 0; type < 5; ++type) {
            for (const SplineCurve& curve : *store.curvesFor(type)) checkSamples(curve);
        }
    }
    SplineCurve::useVectorUnits(true);
}

void checkGraph(const GraphStore& graph) {
    FUZZ_CHECK(graph.vertexCount() >= 1 && graph.getRoot() != nullptr);
    int64_t counted = 0;
    for (int32_t count : graph.getHierarchy()) counted += count;
    FUZZ_CHECK(counted == int64_t(graph.vertexCount()));
}

}  // namespace

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
