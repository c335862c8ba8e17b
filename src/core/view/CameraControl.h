#pragma once

#include "Camera.h"
#include "SceneBounds.h"

// The arithmetic of the drawing surface's camera moves, free of the toolkit and of OpenGL: the
// drag deltas, the 3D orbit and zoom around a look-at centre and the 2D pan and zoom. The
// surface owns one and hands it its two cameras.
class CameraControl {
public:
    // Nearest the 3D camera comes to its centre, and the smallest 2D picture height: zooming
    // further in would turn the picture over or make it singular.
    static constexpr float kMinDistance = 1e-3f;
    static constexpr float kMinExtent = 1e-4f;
    // Largest pitch of the orbit, in units of 90 degrees: 89 degrees. At 90 the eye looks
    // straight down along +y, lookAt's up vector, and the view is singular; past it the picture
    // turns over.
    static constexpr float kMaxVertical = 89.0f / 90.0f;

    // Drag delta of one axis from a move of the pointer in widget pixels: a drag across the whole
    // 1024 x 768 surface changes dx or dy by 2 in total.
    static float deltaX(float pixels) { return pixels * 0.001953125f; }
    static float deltaY(float pixels) { return pixels / 384.0f; }
    // The zoom amount 2 |(dx, dy)|, negative when dx + dy < 0 (a sum of exactly 0 zooms out).
    static float zoomAmount(float dx, float dy);

    // 3D: the distance grows by the zoom amount and the camera is placed again. 2D: the
    // orthographic height grows by it, the width with it so that the picture keeps its shape.
    void zoomStep(float dx, float dy, bool mode3D, Camera& ortho, Camera& perspective);
    // Multiplies the 3D distance or both 2D extents by factor (below 1 comes closer).
    void zoomBy(float factor, bool mode3D, Camera& ortho, Camera& perspective);
    // 3D: the drag adds to the rotation factors (the pitch held short of the poles) and the
    // camera is placed again.
    void orbitStep(float dx, float dy, Camera& perspective);
    // Moves the picture with the pointer: dx and dy are the pointer's move in halves of the
    // picture's width and height (y downwards). 3D: the centre moves in the view plane, at the
    // scale of the centre's depth; 2D: the eye moves in the view plane.
    void panStep(float dx, float dy, bool mode3D, Camera& ortho, Camera& perspective);
    // Both cameras look at point (drawn coordinates) and keep their zoom and direction.
    void lookAtPoint(const Vector3& point, Camera& ortho, Camera& perspective);

    // Orbit state: the eye is centre + rotate(180 h about y) x rotate(90 v about x) x
    // (0, 0, distance), looking at centre with +y up; v is held within +-kMaxVertical.
    void setOrbit(float horizontal, float vertical, float distance, const Vector3& centre);
    // The box that must stay between the perspective camera's clipping planes.
    void setBounds(const SceneBounds& box) { m_bounds = box; }
    // The view at the eye, and the projection with planes around the box from the eye.
    void placePerspectiveCamera(Camera& perspective) const;
    Vector3 eye() const;

    float horizontal() const { return m_rotation[0]; }
    float vertical() const { return m_rotation[1]; }
    float distance() const { return m_distance; }
    const Vector3& centre() const { return m_centre; }
    const SceneBounds& bounds() const { return m_bounds; }

private:
    void setDistance(float distance);
    void setVertical(float vertical);

    float m_rotation[2] = {0, 0};  // horizontal x 180 is the yaw, vertical x 90 the pitch
    float m_distance = 1.0f;
    Vector3 m_centre{0, 0, 0};
    SceneBounds m_bounds;
};
