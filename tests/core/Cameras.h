#pragma once

#include "Camera.h"
#include "SceneBounds.h"

// A 2D camera looking down at the x-z plane, 2 x 1.5 wide, -z at the top.
inline Camera orthoCamera() {
    Camera camera(-1.0f, 1.0f, -0.75f, 0.75f, 0.0f, 50.0f);
    camera.width = 2.0f;
    camera.height = 1.5f;
    camera.lookAt({0, 10, 0}, {0, 0, 0}, {0, 0, -1});
    camera.updateOrtho();
    return camera;
}

inline Camera perspectiveCamera() { return Camera(1.0f, 20.0f, 45.0f, 1.6f); }

inline SceneBounds box(const Vector3& low, const Vector3& high) {
    SceneBounds b;
    b.add(low[0], low[1], low[2]);
    b.add(high[0], high[1], high[2]);
    return b;
}

// Corner i of the box: bit 0 picks the largest x, bit 1 the largest y, bit 2 the largest z.
inline Vector3 corner(const SceneBounds& b, int i) {
    return {i & 1 ? b.max[0] : b.min[0], i & 2 ? b.max[1] : b.min[1], i & 4 ? b.max[2] : b.min[2]};
}

// Where a world point lands in normalised device coordinates.
inline Vector3 projected(const Camera& camera, const Vector3& point) {
    const Vector4 eye = math::transform(camera.view, {point[0], point[1], point[2], 1});
    const Vector4 clip = math::transform(camera.projection, eye);
    return {clip[0] / clip[3], clip[1] / clip[3], clip[2] / clip[3]};
}
