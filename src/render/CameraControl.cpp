#include "CameraControl.h"

#include <cmath>

float CameraControl::zoomAmount(float dx, float dy) {
    const float s = 2.0f * std::sqrt(dx * dx + dy * dy);
    return dx + dy < 0 ? -s : s;
}

void CameraControl::zoomStep(float dx, float dy, bool mode3D, Camera& ortho, Camera& perspective) {
    const float s = zoomAmount(dx, dy);
    if (mode3D) {
        m_distance += s;
        placePerspectiveCamera(perspective);
    } else {
        ortho.width += s;
        ortho.height += s;
        ortho.updateOrtho();
    }
}

void CameraControl::orbitStep(float dx, float dy, Camera& perspective) {
    m_rotation[0] += dx;
    m_rotation[1] += dy;
    placePerspectiveCamera(perspective);
}

void CameraControl::panStep(float dx, float dy, Camera& ortho) {
    const Vector3 p = ortho.position();
    const Vector3 eye{p[0] - dx, p[1], p[2] + dy};
    ortho.lookAt(eye, {eye[0], 0, eye[2]}, {0, 0, 1});
}

Vector3 CameraControl::eye() const {
    Matrix4 m = math::rotate(math::identity(), 180.0f * m_rotation[0], {0, 1, 0});
    m = math::multiply(m, math::rotate(math::identity(), 90.0f * m_rotation[1], {1, 0, 0}));
    m = math::multiply(m, math::translate(math::identity(), {0, 0, m_distance}));
    const Vector4 eye = math::transform(m, {0, 0, 0, 1});
    return {eye[0], eye[1], eye[2]};
}

void CameraControl::placePerspectiveCamera(Camera& perspective) const {
    perspective.lookAt(eye(), {0, 0, 0}, {0, 1, 0});
}
