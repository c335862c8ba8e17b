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

    // Every vertex of the view with its sphere, and every curve of the view at bundling
    // strength beta (0 .. 1). A curve stays inside the hull of its working points, and each of
    // those is beta times a control point plus 1 - beta times a point between the curve's ends,
    // which are vertices; so the curves lie in beta times the control points' box plus
    // 1 - beta times the vertices' box. At beta 1 that is the control points' box. One pass over
    // the vertices and at most one over the relation edges. Empty when the view holds no record.
    static SceneBounds ofView(const GraphStore& graph, const View& view, int32_t viewType,
                              float beta = 1.0f);

    // The box around the eight corners of box after the scene transform: rotate by rx about x,
    // then ry about y, then rz about z (degrees), then scale by scale.
    static SceneBounds transformed(const SceneBounds& box, float rx, float ry, float rz,
                                   float scale);

    // The scene scale factor of the scale slider's value: 1 at 50, growing by 0.1 a step above
    // it and falling to 1/6 at 0.
    static float sceneScale(int sliderValue);
};
