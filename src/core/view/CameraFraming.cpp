#include "CameraFraming.h"

#include "ViewType.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

Vector3 centreOf(const SceneBounds& box) { return {box.centre(0), box.centre(1), box.centre(2)}; }

Vector3 corner(const SceneBounds& box, int index) {
    Vector3 p;
    for (int axis = 0; axis < 3; ++axis) {
        p[axis] = (index >> axis) & 1 ? box.max[axis] : box.min[axis];
    }
    return p;
}

Vector3 minus(const Vector3& a, const Vector3& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

// Half the diagonal, never quite 0 so that a single vertex still gets a picture around it.
float radiusOf(const SceneBounds& box) {
    const Vector3 half{box.extent(0) / 2, box.extent(1) / 2, box.extent(2) / 2};
    return std::max(std::sqrt(math::dot(half, half)), 0.05f);
}

}  // namespace

void CameraFraming::startDirection(int viewType, float& horizontal, float& vertical) {
    horizontal = 0.0f;
    // A negative pitch raises the eye: 15 degrees above the rooted tree, 50 above the rest.
    vertical = viewType == VIEW_ROOTED_TREE ? -15.0f / 90.0f : -50.0f / 90.0f;
}

void CameraFraming::flatDirection(int viewType, Vector3& forward, Vector3& up) {
    if (viewType == VIEW_ROOTED_TREE) {
        forward = {0, 0, -1};
        up = {0, 1, 0};
    } else {
        // From above with -z at the top, as the 3D start view shows it.
        forward = {0, -1, 0};
        up = {0, 0, -1};
    }
}

float CameraFraming::fitDistance(const SceneBounds& box, float horizontal, float vertical,
                                 float fovy, float aspect) {
    CameraControl unit;
    const Vector3 centre = centreOf(box);
    unit.setOrbit(horizontal, vertical, 1.0f, centre);
    const Vector3 back = math::normalize(minus(unit.eye(), centre));
    // The axes lookAt makes for that eye with +y up.
    const Vector3 forward{-back[0], -back[1], -back[2]};
    const Vector3 right = math::normalize(math::cross(forward, {0, 1, 0}));
    const Vector3 up = math::cross(right, forward);
    const float tanY = static_cast<float>(std::tan(fovy * math::kDegreesToRadians / 2)) * kFill;
    const float tanX = tanY * aspect;
    // A corner q (from the centre) at eye distance d has depth d - q.back; it is inside when
    // |q.right| <= tanX depth and |q.up| <= tanY depth.
    float distance = CameraControl::kMinDistance;
    for (int i = 0; i < 8; ++i) {
        const Vector3 q = minus(corner(box, i), centre);
        const float along = math::dot(q, back);
        distance = std::max(distance, along + std::fabs(math::dot(q, right)) / tanX);
        distance = std::max(distance, along + std::fabs(math::dot(q, up)) / tanY);
    }
    return distance;
}

void CameraFraming::framePerspective(const SceneBounds& box, int viewType, float aspect,
                                     CameraControl& control, Camera& perspective) {
    if (box.empty()) return;
    float horizontal, vertical;
    startDirection(viewType, horizontal, vertical);
    perspective.fovy = kFovy;
    perspective.aspect = aspect;
    const float distance = fitDistance(box, horizontal, vertical, kFovy, aspect);
    control.setBounds(box);
    control.setOrbit(horizontal, vertical, distance, centreOf(box));
    control.placePerspectiveCamera(perspective);
}

void CameraFraming::frameOrtho(const SceneBounds& box, int viewType, float aspect, Camera& ortho) {
    if (box.empty()) return;
    Vector3 forward, up;
    flatDirection(viewType, forward, up);
    const Vector3 right = math::cross(forward, up);
    const Vector3 centre = centreOf(box);
    float halfX = 0, halfY = 0;
    for (int i = 0; i < 8; ++i) {
        const Vector3 q = minus(corner(box, i), centre);
        halfX = std::max(halfX, std::fabs(math::dot(q, right)));
        halfY = std::max(halfY, std::fabs(math::dot(q, up)));
    }
    ortho.height =
        std::max(std::max(2 * halfY, 2 * halfX / aspect) / kFill, CameraControl::kMinExtent);
    ortho.width = ortho.height * aspect;
    // The eye stands off the box by more than its size, in front of it.
    const float standOff = 4.0f * radiusOf(box);
    const Vector3 eye{centre[0] - forward[0] * standOff, centre[1] - forward[1] * standOff,
                      centre[2] - forward[2] * standOff};
    ortho.lookAt(eye, centre, up);
    fitOrthoPlanes(box, ortho);
}

void CameraFraming::fitOrthoPlanes(const SceneBounds& box, Camera& ortho) {
    if (box.empty()) return;
    const Vector3 eye = ortho.position(), forward = ortho.forward();
    float nearest = std::numeric_limits<float>::max();
    float farthest = -std::numeric_limits<float>::max();
    for (int i = 0; i < 8; ++i) {
        const float depth = math::dot(minus(corner(box, i), eye), forward);
        nearest = std::min(nearest, depth);
        farthest = std::max(farthest, depth);
    }
    const float radius = radiusOf(box);
    ortho.zNear = nearest - 2.0f * radius;
    ortho.zFar = farthest + 2.0f * radius;
    ortho.updateOrtho();
}

void CameraFraming::setAspect(float aspect, Camera& ortho, Camera& perspective) {
    ortho.width = ortho.height * aspect;
    ortho.updateOrtho();
    perspective.aspect = aspect;
    perspective.updatePerspective();
}

Vector3 CameraFraming::lightPosition(const SceneBounds& box) {
    if (box.empty()) return {0, 0, 0};
    const float radius = radiusOf(box);
    return {box.centre(0), box.max[1] + 0.5f * radius, box.centre(2) + 0.5f * radius};
}
