#include "Camera.h"

Camera::Camera(float left, float right, float bottom, float top, float nearPlane, float farPlane)
    : zNear(nearPlane),
      zFar(farPlane),
      projection(math::ortho(left, right, bottom, top, nearPlane, farPlane)) {}

Camera::Camera(float nearPlane, float farPlane, float fovyDegrees, float pictureAspect)
    : zNear(nearPlane),
      zFar(farPlane),
      fovy(fovyDegrees),
      aspect(pictureAspect),
      projection(math::perspective(fovyDegrees, pictureAspect, nearPlane, farPlane)) {}

void Camera::lookAt(const Vector3& eye, const Vector3& centre, const Vector3& up) {
    view = math::lookAt(eye, centre, up);
}

Vector3 Camera::position() const {
    const Vector4 eye = math::transform(math::inverse(view), {0.0f, 0.0f, 0.0f, 1.0f});
    return {eye[0], eye[1], eye[2]};
}

void Camera::updateOrtho() {
    projection =
        math::ortho(-width / 2.0f, width / 2.0f, -height / 2.0f, height / 2.0f, zNear, zFar);
}

void Camera::updatePerspective() { projection = math::perspective(fovy, aspect, zNear, zFar); }

// The rows of the view matrix's rotation are the camera's axes in world coordinates.
Vector3 Camera::right() const { return {view[0], view[4], view[8]}; }
Vector3 Camera::up() const { return {view[1], view[5], view[9]}; }
Vector3 Camera::forward() const { return {-view[2], -view[6], -view[10]}; }
