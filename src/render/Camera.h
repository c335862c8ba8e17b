#pragma once

#include "Matrix.h"

// A camera as the renderer reads it: a view and a projection matrix, plus the extents that the
// orthographic zoom changes. Plain record; the drawing surface owns its cameras and edits the
// fields directly.
struct Camera {
    // Orthographic camera: projection = ortho(left, right, bottom, top, nearPlane, farPlane).
    Camera(float left, float right, float bottom, float top, float nearPlane, float farPlane);
    // Perspective camera: projection = perspective(fovyDegrees, aspect, nearPlane, farPlane).
    Camera(float nearPlane, float farPlane, float fovyDegrees, float aspect);

    // view = lookAt(eye, centre, up).
    void lookAt(const Vector3& eye, const Vector3& centre, const Vector3& up);
    // The eye position in world coordinates, read back from the view matrix.
    Vector3 position() const;
    // Orthographic projection of width x height around the view axis with the view-space y axis
    // flipped, so that the 2D view shows the layouts' y (depth) growing downwards.
    void updateOrtho();

    float width = 1.0f;
    float height = 1.0f;
    float zNear = 0.0f;
    float zFar = 0.0f;
    float fovy = 0.0f;
    Matrix4 view = math::identity();
    Matrix4 projection = math::identity();
};
