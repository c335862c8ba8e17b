#include "CameraControl.h"

#include <algorithm>
#include <cmath>

namespace {

Vector3 add(const Vector3& a, const Vector3& b, float factor) {
    return {a[0] + b[0] * factor, a[1] + b[1] * factor, a[2] + b[2] * factor};
}

float length(const Vector3& v) { return std::sqrt(math::dot(v, v)); }

// Half the diagonal of box, and its centre; a unit box around the origin when it is empty.
float radiusOf(const SceneBounds& box, Vector3& centre) {
    if (box.empty()) {
        centre = {0, 0, 0};
        return 1.0f;
    }
    centre = {box.centre(0), box.centre(1), box.centre(2)};
    const Vector3 half{box.extent(0) / 2, box.extent(1) / 2, box.extent(2) / 2};
    return std::max(length(half), 1e-3f);
}

void resizeOrtho(Camera& ortho, float height) {
    height = std::max(height, CameraControl::kMinExtent);
    const float aspect = ortho.height > 0 ? ortho.width / ortho.height : 1.0f;
    ortho.height = height;
    ortho.width = height * aspect;
    ortho.updateOrtho();
}

}  // namespace

float CameraControl::zoomAmount(float dx, float dy) {
    const float s = 2.0f * std::sqrt(dx * dx + dy * dy);
    return dx + dy < 0 ? -s : s;
}

void CameraControl::zoomStep(float dx, float dy, bool mode3D, Camera& ortho, Camera& perspective) {
    const float s = zoomAmount(dx, dy);
    if (mode3D) {
        setDistance(m_distance + s);
        placePerspectiveCamera(perspective);
    } else {
        resizeOrtho(ortho, ortho.height + s);
    }
}

void CameraControl::zoomBy(float factor, bool mode3D, Camera& ortho, Camera& perspective) {
    if (mode3D) {
        setDistance(m_distance * factor);
        placePerspectiveCamera(perspective);
    } else {
        resizeOrtho(ortho, ortho.height * factor);
    }
}

void CameraControl::orbitStep(float dx, float dy, Camera& perspective) {
    m_rotation[0] += dx;
    setVertical(m_rotation[1] + dy);
    placePerspectiveCamera(perspective);
}

void CameraControl::panStep(float dx, float dy, bool mode3D, Camera& ortho, Camera& perspective) {
    if (mode3D) {
        // Half the picture's height at the centre's depth.
        const float halfHeight =
            m_distance *
            static_cast<float>(std::tan(perspective.fovy * math::kDegreesToRadians / 2));
        const float halfWidth = halfHeight * perspective.aspect;
        // The scene follows the pointer, so the centre moves the other way.
        m_centre = add(m_centre, perspective.right(), -dx * halfWidth);
        m_centre = add(m_centre, perspective.up(), dy * halfHeight);
        placePerspectiveCamera(perspective);
        return;
    }
    const Vector3 up = ortho.up(), forward = ortho.forward();
    Vector3 eye = add(ortho.position(), ortho.right(), -dx * ortho.width / 2);
    eye = add(eye, up, dy * ortho.height / 2);
    ortho.lookAt(eye, add(eye, forward, 1.0f), up);
}

void CameraControl::lookAtPoint(const Vector3& point, Camera& ortho, Camera& perspective) {
    m_centre = point;
    placePerspectiveCamera(perspective);
    // The 2D eye keeps its depth, so the clipping planes stay where they were.
    const Vector3 up = ortho.up(), forward = ortho.forward(), position = ortho.position();
    const Vector3 offset{position[0] - point[0], position[1] - point[1], position[2] - point[2]};
    const Vector3 eye = add(point, forward, math::dot(offset, forward));
    ortho.lookAt(eye, add(eye, forward, 1.0f), up);
}

void CameraControl::setOrbit(float horizontal, float vertical, float distance,
                             const Vector3& centre) {
    m_rotation[0] = horizontal;
    setVertical(vertical);
    m_centre = centre;
    setDistance(distance);
}

void CameraControl::setDistance(float distance) { m_distance = std::max(distance, kMinDistance); }

void CameraControl::setVertical(float vertical) {
    m_rotation[1] = std::clamp(vertical, -kMaxVertical, kMaxVertical);
}

Vector3 CameraControl::eye() const {
    Matrix4 m = math::translate(math::identity(), m_centre);
    m = math::multiply(m, math::rotate(math::identity(), 180.0f * m_rotation[0], {0, 1, 0}));
    m = math::multiply(m, math::rotate(math::identity(), 90.0f * m_rotation[1], {1, 0, 0}));
    m = math::multiply(m, math::translate(math::identity(), {0, 0, m_distance}));
    const Vector4 eye = math::transform(m, {0, 0, 0, 1});
    return {eye[0], eye[1], eye[2]};
}

void CameraControl::placePerspectiveCamera(Camera& perspective) const {
    const Vector3 from = eye();
    perspective.lookAt(from, m_centre, {0, 1, 0});
    // Planes around the box with room for what is drawn beside it (the floor under it, the
    // light above it); the near plane stays a small share of the far one so that depth keeps
    // its precision when the eye comes close.
    Vector3 boxCentre;
    const float radius = radiusOf(m_bounds, boxCentre);
    const Vector3 toBox{boxCentre[0] - from[0], boxCentre[1] - from[1], boxCentre[2] - from[2]};
    const float depth = math::dot(toBox, perspective.forward());
    perspective.zFar = std::max(depth + 3.0f * radius, 3.0f * radius);
    perspective.zNear = std::max(depth - 2.0f * radius, perspective.zFar / 1000.0f);
    perspective.updatePerspective();
}
