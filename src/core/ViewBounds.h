#pragma once

#include "SceneBounds.h"

#include <cstdint>

class GraphStore;
class View;

// The box a view occupies on screen, in drawn coordinates: what the camera frames and what the
// floor and the shadow camera are placed around.
class ViewBounds {
public:
    // Radius of the sphere drawn at every vertex.
    static constexpr float kVertexRadius = 0.01f;

    // Every vertex of the view with its sphere, and every control point a relation curve of the
    // view can have; a B-spline stays inside the hull of its control points, so the curves at
    // any bundling strength are inside too. One pass over the vertices and at most one over the
    // relation edges. Empty when the view holds no record.
    static SceneBounds ofView(const GraphStore& graph, const View& view, int32_t viewType);

    // The box around the eight corners of box after the scene transform: rotate by rx about x,
    // then ry about y, then rz about z (degrees), then scale by scale.
    static SceneBounds transformed(const SceneBounds& box, float rx, float ry, float rz,
                                   float scale);

    // The scene scale factor of the scale slider's value: 1 at 50, growing by 0.1 a step above
    // it and falling to 1/6 at 0.
    static float sceneScale(int sliderValue);
};
