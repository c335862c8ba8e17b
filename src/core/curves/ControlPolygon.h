#pragma once

#include "SplineCurve.h"

#include <array>
#include <cstdint>
#include <vector>

// A relation edge's control points: the layout positions along its tree path, the interior ones
// moved off the tree by the view's rule, so that bundles run beside the hierarchy, not on it.
namespace controlpolygon {

// The y of control point k of n for a layout y. The curve shader (curveControl in
// shader/curve_vertex.glsl) applies the same rule on the GPU; the GL curve-evaluation test holds
// its curves to the core's in every view.
float controlY(float y, int32_t k, int32_t n, int32_t viewType);

// Replaces points with the control points of the n vertices of path; positionOf(id) gives a
// vertex's x, y and z.
template <class PositionOf>
void build(const uint32_t* path, int32_t n, int32_t viewType, PositionOf&& positionOf,
           std::vector<Point3>& points) {
    points.clear();
    for (int32_t k = 0; k < n; ++k) {
        const std::array<float, 3> p = positionOf(path[k]);
        points.push_back({p[0], controlY(p[1], k, n, viewType), p[2]});
    }
}

}  // namespace controlpolygon
