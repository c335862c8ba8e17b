#pragma once

#include "Matrix.h"

// A camera as the renderer reads it: a view and a projection matrix, plus the extents that the
// orthographic zoom changes. Plain record; the drawing surface owns its cameras and edits the
// fields directly.
struct Camera {
    // Orthographic camera: projection = ortho(left, right, bottom, top, nearPlane, farPlane).
    Camera(float left, float right, float bottom, float top, float nearPlane, float farPlane);
    // Perspective camera: projection = perspective(fovyDegrees, pictureAspect, nearPlane,
    // farPlane).
    Camera(float nearPlane, float farPlane, float fovyDegrees, float pictureAspect);

    // view = lookAt(eye, centre, up).
    void lookAt(const Vector3& eye, const Vector3& centre, const Vector3& up);
    // The eye position in world coordinates, read back from the view matrix.
    Vector3 position() const;
    // Orthographic projection of width x height around the view axis. The view itself (its up
    // direction) decides which way the layouts' depth runs on screen; a flip here would mirror
    // the picture.
    void updateOrtho();
    // Perspective projection from fovy, aspect and the two planes.
    void updatePerspective();
    // The camera's axes in world coordinates, read from the view matrix: right and up on
    // screen, and the direction it looks in.
    Vector3 right() const;
    Vector3 up() const;
    Vector3 forward() const;

    float width = 1.0f;
    float height = 1.0f;
    float zNear = 0.0f;
    float zFar = 0.0f;
    float fovy = 0.0f;
    float aspect = 4.0f / 3.0f;  // width over height of the picture, for the perspective
    Matrix4 view = math::identity();
    Matrix4 projection = math::identity();
};
