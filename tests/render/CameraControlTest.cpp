// The drawing surface's camera arithmetic: drag deltas, zoom sign, the 2D zoom and pan, and the
// 3D orbit's eye position.
#include "CameraControl.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectVectorNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-5f) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
}

// The widget's cameras after initializeGL.
Camera orthoCamera() {
    Camera camera(-1.0f, 1.0f, -0.75f, 0.75f, 0.0f, 50.0f);
    camera.lookAt({0, -1, 0}, {0, 0, 0}, {0, 0, 1});
    return camera;
}

Camera perspectiveCamera() {
    Camera camera(1.0f, 20.0f, 80.0f, 1.3333334f);
    camera.lookAt({0, 0, -1}, {0, 0, 0}, {0, 1, 0});
    return camera;
}

// Where a view-space point lands in normalised device coordinates.
Vector3 projected(const Camera& camera, const Vector3& viewPoint) {
    const Vector4 clip =
        math::transform(camera.projection, {viewPoint[0], viewPoint[1], viewPoint[2], 1});
    return {clip[0] / clip[3], clip[1] / clip[3], clip[2] / clip[3]};
}

TEST(CameraControl, DragAcrossTheSurfaceChangesTheDeltasByTwo) {
    EXPECT_EQ(CameraControl::deltaX(1024), 2.0f);
    EXPECT_EQ(CameraControl::deltaY(768), 2.0f);
    EXPECT_EQ(CameraControl::deltaX(-256), -0.5f);
    EXPECT_FLOAT_EQ(CameraControl::deltaY(96), 0.25f);
}

TEST(CameraControl, ZoomSignFollowsTheSumOfTheDeltas) {
    EXPECT_FLOAT_EQ(CameraControl::zoomAmount(0.3f, 0.4f), 1.0f);
    EXPECT_FLOAT_EQ(CameraControl::zoomAmount(-0.3f, -0.4f), -1.0f);
    // dx + dy < 0 negates even when one delta is positive.
    EXPECT_FLOAT_EQ(CameraControl::zoomAmount(0.3f, -0.4f), -1.0f);
    // A sum of exactly 0 keeps the amount positive.
    EXPECT_FLOAT_EQ(CameraControl::zoomAmount(-0.3f, 0.3f), 2.0f * std::sqrt(0.18f));
    EXPECT_EQ(CameraControl::zoomAmount(0, 0), 0.0f);
}

TEST(CameraControl, FirstTwoDimensionalZoomGivesAUnitVolumeWithYFlipped) {
    CameraControl control;
    Camera ortho = orthoCamera(), perspective = perspectiveCamera();
    // Before: the 2 x 1.5 volume of the constructor, y upwards.
    expectVectorNear(projected(ortho, {1, 0.75f, 0}), {1, 1, -1});
    control.zoomStep(0, 0, false, ortho, perspective);
    EXPECT_EQ(ortho.width, 1.0f);
    EXPECT_EQ(ortho.height, 1.0f);
    // About 1 x 1 around the axis, view-space y turned over.
    expectVectorNear(projected(ortho, {0.5f, 0.5f, 0}), {1, -1, -1});
    expectVectorNear(projected(ortho, {-0.5f, -0.5f, -50}), {-1, 1, 1});
    // Later steps grow both extents by the same amount: a drag of (51.2, 38.4) pixels.
    const float dx = CameraControl::deltaX(51.2f), dy = CameraControl::deltaY(38.4f);
    control.zoomStep(dx, dy, false, ortho, perspective);
    EXPECT_NEAR(ortho.width, 1 + 2 * std::sqrt(0.02f), 1e-6f);
    EXPECT_EQ(ortho.width, ortho.height);
    // The 3D camera and distance are untouched by a 2D zoom.
    EXPECT_EQ(control.distance(), 1.0f);
    expectVectorNear(perspective.position(), {0, 0, -1});
    // Zooming the other way through 0 mirrors the picture.
    control.zoomStep(-1.0f, -1.0f, false, ortho, perspective);
    EXPECT_LT(ortho.width, 0.0f);
    EXPECT_LT(projected(ortho, {0.1f, 0, 0})[0], 0.0f);
}

TEST(CameraControl, FirstOrbitStepPutsTheEyeOnThePositiveZAxis) {
    CameraControl control;
    Camera perspective = perspectiveCamera();
    control.orbitStep(0, 0, perspective);
    expectVectorNear(perspective.position(), {0, 0, 1});
    // Half a drag to the right: 90 degrees of yaw, from +z to +x.
    control.orbitStep(0.5f, 0, perspective);
    expectVectorNear(perspective.position(), {1, 0, 0});
    control.orbitStep(-0.5f, 0.5f, perspective);
    // 45 degrees of pitch about +x turn +z towards -y.
    expectVectorNear(perspective.position(), {0, -std::sqrt(0.5f), std::sqrt(0.5f)});
    EXPECT_EQ(control.horizontal(), 0.0f);
    EXPECT_EQ(control.vertical(), 0.5f);
    // The camera looks at the origin with +y up: the origin is straight ahead.
    const Vector4 origin = math::transform(perspective.view, {0, 0, 0, 1});
    EXPECT_NEAR(origin[0], 0, 1e-6f);
    EXPECT_NEAR(origin[1], 0, 1e-6f);
    EXPECT_NEAR(origin[2], -1, 1e-5f);
}

TEST(CameraControl, ThreeDimensionalZoomMovesAlongTheRotatedAxis) {
    CameraControl control;
    Camera ortho = orthoCamera(), perspective = perspectiveCamera();
    control.orbitStep(0.5f, 0, perspective);  // eye on +x
    control.zoomStep(0.3f, 0.4f, true, ortho, perspective);
    EXPECT_FLOAT_EQ(control.distance(), 2.0f);
    expectVectorNear(perspective.position(), {2, 0, 0});
    // A negative distance puts the camera on the other side of the origin.
    control.zoomStep(-0.9f, -1.2f, true, ortho, perspective);
    EXPECT_FLOAT_EQ(control.distance(), -1.0f);
    expectVectorNear(perspective.position(), {-1, 0, 0});
    // The 2D camera is untouched.
    EXPECT_EQ(ortho.width, 1.0f);
    expectVectorNear(ortho.position(), {0, -1, 0});
}

TEST(CameraControl, PanKeepsLookingAlongPositiveY) {
    Camera ortho = orthoCamera();
    CameraControl::panStep(0.1f, 0.2f, ortho);
    expectVectorNear(ortho.position(), {-0.1f, -1, 0.2f});
    CameraControl::panStep(-0.3f, 0.1f, ortho);
    expectVectorNear(ortho.position(), {0.2f, -1, 0.3f});
    // World +y is the viewing direction (-z in view space), world +z is up on the screen.
    const Vector4 forward = math::transform(ortho.view, {0, 1, 0, 0});
    const Vector4 up = math::transform(ortho.view, {0, 0, 1, 0});
    expectVectorNear({forward[0], forward[1], forward[2]}, {0, 0, -1});
    expectVectorNear({up[0], up[1], up[2]}, {0, 1, 0});
}

}  // namespace
