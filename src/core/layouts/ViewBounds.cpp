#include "ViewBounds.h"

#include "GraphStore.h"
#include "Matrix.h"
#include "ControlPolygon.h"
#include "View.h"

#include <algorithm>
#include <cmath>

namespace {

// Whether some relation edge has a tree path of three or more vertices, that is one with an
// interior control point: its ends differ and neither is the other's parent.
bool hasInteriorControlPoints(const GraphStore& graph) {
    for (const auto& entry : graph.relationEdges()) {
        const Vertex* start = entry.second->getStart().get();
        const Vertex* end = entry.second->getEnd().get();
        if (!start || !end || start == end) continue;
        if (start->getParent().get() == end || end->getParent().get() == start) continue;
        return true;
    }
    return false;
}

// Rotation about one axis by degrees in the right-handed sense of glRotatef.
void rotate(float p[3], float degrees, int axis) {
    const double radians = degrees * math::kDegreesToRadians;
    const float c = static_cast<float>(std::cos(radians));
    const float s = static_cast<float>(std::sin(radians));
    const int a = (axis + 1) % 3, b = (axis + 2) % 3;
    const float pa = p[a], pb = p[b];
    p[a] = c * pa - s * pb;
    p[b] = s * pa + c * pb;
}

}  // namespace

SceneBounds ViewBounds::ofView(const GraphStore& graph, const View& view, int32_t viewType,
                               float beta) {
    SceneBounds vertices, interior;
    // Every interior vertex of a tree path is a proper ancestor of one of its ends, so the
    // inner vertices are the candidates for interior control points. Finding which of them some
    // path really crosses would cost a walk up the tree per edge; the candidates' box is at most
    // a little larger than the curves' own.
    const bool curvesLeaveTheTree = hasInteriorControlPoints(graph);
    const LayoutRecords& records = view.records();
    for (const auto& entry : graph.vertices()) {
        if (!records.contains(entry.first)) continue;
        const LayoutRecord r = records.get(entry.first);
        vertices.add(r.x, 1.0f - r.y, r.z);
        if (curvesLeaveTheTree && entry.second->getChildCount() > 0) {
            // The rule for a point strictly inside a path of three.
            interior.add(r.x, 1.0f - controlpolygon::controlY(r.y, 1, 3, viewType), r.z);
        }
    }
    SceneBounds box;
    if (vertices.empty()) return box;
    box.add(vertices.min[0] - kVertexRadius, vertices.min[1] - kVertexRadius,
            vertices.min[2] - kVertexRadius);
    box.add(vertices.max[0] + kVertexRadius, vertices.max[1] + kVertexRadius,
            vertices.max[2] + kVertexRadius);
    if (!interior.empty()) {
        const float b = std::clamp(beta, 0.0f, 1.0f);
        float low[3], high[3];
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = b * interior.min[axis] + (1 - b) * vertices.min[axis];
            high[axis] = b * interior.max[axis] + (1 - b) * vertices.max[axis];
        }
        box.add(low[0], low[1], low[2]);
        box.add(high[0], high[1], high[2]);
    }
    return box;
}

SceneBounds ViewBounds::transformed(const SceneBounds& box, float rx, float ry, float rz,
                                    float scale) {
    SceneBounds result;
    if (box.empty()) return result;
    for (int corner = 0; corner < 8; ++corner) {
        float p[3];
        for (int axis = 0; axis < 3; ++axis) {
            p[axis] = (corner >> axis) & 1 ? box.max[axis] : box.min[axis];
        }
        // The fixed-function stack applies the last call first: scale, then z, y and x.
        for (float& c : p) c *= scale;
        rotate(p, rz, 2);
        rotate(p, ry, 1);
        rotate(p, rx, 0);
        result.add(p[0], p[1], p[2]);
    }
    return result;
}

float ViewBounds::sceneScale(int sliderValue) {
    const float f = static_cast<float>(sliderValue) / 10.0f;
    return f > 5 ? f - 4 : 1 / (6 - f);
}
