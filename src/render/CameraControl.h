#pragma once

#include "Camera.h"

// The arithmetic of the drawing surface's camera moves, free of the toolkit and of OpenGL: the
// drag deltas, the 3D orbit and zoom around the origin and the 2D pan and zoom. The surface owns
// one and hands it its two cameras.
class CameraControl {
public:
    // Drag delta of one axis from a move of the pointer in widget pixels: a drag across the whole
    // 1024 x 768 surface changes dx or dy by 2 in total.
    static float deltaX(float pixels) { return pixels * 0.001953125f; }
    static float deltaY(float pixels) { return pixels / 384.0f; }
    // The zoom amount 2 |(dx, dy)|, negative when dx + dy < 0 (a sum of exactly 0 zooms out).
    static float zoomAmount(float dx, float dy);

    // 3D: the distance grows by the zoom amount and the camera is placed again. 2D: both
    // extents of the orthographic camera grow by it and its projection is remade (y flipped).
    void zoomStep(float dx, float dy, bool mode3D, Camera& ortho, Camera& perspective);
    // 3D: the drag adds to the rotation factors and the camera is placed again.
    void orbitStep(float dx, float dy, Camera& perspective);
    // 2D: the eye moves by (-dx, 0, dy) and keeps looking along +y with +z up.
    static void panStep(float dx, float dy, Camera& ortho);
    // Eye = rotate(180 h about y) x rotate(90 v about x) x translate(0, 0, distance) applied to
    // the origin, looking at the origin with +y up.
    void placePerspectiveCamera(Camera& perspective) const;
    Vector3 eye() const;

    float horizontal() const { return m_rotation[0]; }
    float vertical() const { return m_rotation[1]; }
    float distance() const { return m_distance; }

private:
    float m_rotation[2] = {0, 0};  // horizontal x 180 is the yaw, vertical x 90 the pitch
    float m_distance = 1.0f;
};
