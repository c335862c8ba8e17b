#include "Camera.h"

Camera::Camera(float left, float right, float bottom, float top, float nearPlane, float farPlane)
    : zNear(nearPlane),
      zFar(farPlane),
      projection(math::ortho(left, right, bottom, top, nearPlane, farPlane)) {}

Camera::Camera(float nearPlane, float farPlane, float fovyDegrees, float aspect)
    : zNear(nearPlane),
      zFar(farPlane),
      fovy(fovyDegrees),
      projection(math::perspective(fovyDegrees, aspect, nearPlane, farPlane)) {}

void Camera::lookAt(const Vector3& eye, const Vector3& centre, const Vector3& up) {
    view = math::lookAt(eye, centre, up);
}

Vector3 Camera::position() const {
    const Vector4 eye = math::transform(math::inverse(view), {0.0f, 0.0f, 0.0f, 1.0f});
    return {eye[0], eye[1], eye[2]};
}

void Camera::updateOrtho() {
    projection = math::scale(
        math::ortho(-width / 2.0f, width / 2.0f, -height / 2.0f, height / 2.0f, zNear, zFar),
        {1.0f, -1.0f, 1.0f});
}
