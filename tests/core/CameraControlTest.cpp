// The drawing surface's camera arithmetic: drag deltas, zoom sign, the 2D zoom and pan, the 3D
// orbit around its centre, and the clipping planes that follow the camera.
#include "CameraControl.h"
#include "Cameras.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectVectorNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-5f) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
}

TEST(CameraControl, ZoomKeepsThePicturesShapeAndStopsBeforeTurningItOver) {
    // A drag across the whole surface changes a delta by two; deltas summing to exactly 0 zoom out.
    EXPECT_EQ(CameraControl::deltaX(1024) + CameraControl::deltaY(768), 4.0f);
    EXPECT_GT(CameraControl::zoomAmount(-0.3f, 0.3f), 0.0f);
    CameraControl control;
    Camera ortho = orthoCamera(), perspective = perspectiveCamera();
    // An ALT drag of (0.3, 0.4) grows the height by 1 and the width with it.
    control.zoomStep(0.3f, 0.4f, false, ortho, perspective);
    EXPECT_FLOAT_EQ(ortho.height, 2.5f);
    EXPECT_FLOAT_EQ(ortho.width, 2.5f * 4 / 3);
    // The projection follows, with +z (the bottom of the picture) downwards: no mirror.
    expectVectorNear(projected(ortho, {ortho.width / 2, 0, ortho.height / 2}), {1, -1, -0.6f});
    // The wheel multiplies.
    control.zoomBy(0.5f, false, ortho, perspective);
    EXPECT_FLOAT_EQ(ortho.height, 1.25f);
    // Zooming in through 0 stops at a small positive height instead of turning the picture over.
    control.zoomStep(-3.0f, -4.0f, false, ortho, perspective);
    EXPECT_EQ(ortho.height, CameraControl::kMinExtent);
    EXPECT_GT(projected(ortho, {1e-5f, 0, 0})[0], 0.0f);

    // In 3D the eye moves along its turned axis, and never passes the centre.
    control.setOrbit(0.5f, 0, 1, {1, 1, 1});  // eye on +x of the centre
    control.zoomStep(0.3f, 0.4f, true, ortho, perspective);
    EXPECT_FLOAT_EQ(control.distance(), 2.0f);
    expectVectorNear(perspective.position(), {3, 1, 1});
    control.zoomBy(0.25f, true, ortho, perspective);
    EXPECT_FLOAT_EQ(control.distance(), 0.5f);
    control.zoomStep(-0.9f, -1.2f, true, ortho, perspective);
    EXPECT_EQ(control.distance(), CameraControl::kMinDistance);
    EXPECT_GT(perspective.position()[0], 1.0f);
}

TEST(CameraControl, OrbitTurnsTheEyeAroundTheCentre) {
    CameraControl control;
    Camera perspective = perspectiveCamera();
    const Vector3 centre{0.5f, 0.25f, -1};
    control.setOrbit(0, 0, 2, centre);
    control.orbitStep(0, 0, perspective);
    expectVectorNear(perspective.position(), {0.5f, 0.25f, 1});
    // Half a drag to the right: 90 degrees of yaw, from +z to +x of the centre.
    control.orbitStep(0.5f, 0, perspective);
    expectVectorNear(perspective.position(), {2.5f, 0.25f, -1});
    // 45 degrees of pitch about +x turn +z towards -y; negative pitch lifts the eye.
    control.orbitStep(-0.5f, -0.5f, perspective);
    const float r = 2 * std::sqrt(0.5f);
    expectVectorNear(perspective.position(), {0.5f, 0.25f + r, -1 + r});
    EXPECT_EQ(control.horizontal(), 0.0f);
    EXPECT_EQ(control.vertical(), -0.5f);
    // The pitch stops short of the poles, where the view would be singular or turn over, however
    // far the drag goes and whichever way.
    for (float drag : {1.5f, 5.0f, -7.0f}) {  // the first ends on the pole exactly
        control.orbitStep(0, drag, perspective);
        EXPECT_EQ(std::fabs(control.vertical()), CameraControl::kMaxVertical) << drag;
        for (float element : perspective.view) EXPECT_TRUE(std::isfinite(element)) << drag;
        EXPECT_LT(std::fabs(perspective.forward()[1]), 1.0f) << drag;
    }
    control.setOrbit(0, -0.5f, 2, centre);
    control.orbitStep(0, 0, perspective);
    // The centre stays straight ahead at the distance.
    const Vector4 ahead = math::transform(perspective.view, {centre[0], centre[1], centre[2], 1});
    expectVectorNear({ahead[0], ahead[1], ahead[2]}, {0, 0, -2});
}

// A pan by (dx, dy) halves of the picture carries the point that was in the middle to (dx, -dy)
// in device coordinates: the picture follows the pointer, in 2D and 3D, whatever the zoom.
TEST(CameraControl, PanMovesThePictureWithThePointer) {
    struct Case {
        bool mode3D;
        float zoom, dx, dy;
    };
    const Case cases[] = {{true, 1, 0.5f, 0},  {true, 1, 0, 0.5f},   {true, 0.3f, -0.4f, 0.2f},
                          {false, 1, 0.5f, 0}, {false, 1, 0, -0.5f}, {false, 3, 0.25f, 0.75f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "3D " << c.mode3D << " zoom " << c.zoom << " drag "
                                        << c.dx << ", " << c.dy);
        CameraControl control;
        Camera ortho = orthoCamera(), perspective = perspectiveCamera();
        const Vector3 middle{0.2f, 0.1f, -0.3f};
        control.setBounds(box({-1, -1, -1}, {1, 1, 1}));
        control.setOrbit(0.2f, -0.3f, 3, middle);
        control.placePerspectiveCamera(perspective);
        control.lookAtPoint(middle, ortho, perspective);
        control.zoomBy(c.zoom, c.mode3D, ortho, perspective);
        const float distance = control.distance(), height = ortho.height;
        control.panStep(c.dx, c.dy, c.mode3D, ortho, perspective);
        const Vector3 at = projected(c.mode3D ? perspective : ortho, middle);
        EXPECT_NEAR(at[0], c.dx, 1e-4f);
        EXPECT_NEAR(at[1], -c.dy, 1e-4f);
        // Panning neither zooms nor turns.
        EXPECT_EQ(control.distance(), distance);
        EXPECT_EQ(ortho.height, height);
        expectVectorNear(ortho.forward(), {0, -1, 0});
    }
}

// After any move, the framed box lies between the perspective camera's planes.
TEST(CameraControl, ClippingPlanesFollowTheCamera) {
    const SceneBounds scene = box({-2, -0.5f, -1}, {3, 0.5f, 2});
    CameraControl control;
    Camera ortho = orthoCamera(), perspective = perspectiveCamera();
    control.setBounds(scene);
    control.setOrbit(0, -0.5f, 8, {scene.centre(0), scene.centre(1), scene.centre(2)});
    control.placePerspectiveCamera(perspective);
    // Into the box, far away, round and aside.
    for (int move = 0; move < 4; ++move) {
        SCOPED_TRACE(move);
        if (move < 2) control.zoomBy(move == 0 ? 0.1f : 100.0f, true, ortho, perspective);
        if (move == 2) control.orbitStep(0.7f, 0.3f, perspective);
        if (move == 3) control.panStep(1.5f, -0.5f, true, ortho, perspective);
        EXPECT_GT(perspective.zNear, 0.0f);
        EXPECT_LE(perspective.zFar / perspective.zNear, 1000.5f);
        for (int i = 0; i < 8; ++i) {
            const Vector3 c = corner(scene, i);
            const Vector4 eye = math::transform(perspective.view, {c[0], c[1], c[2], 1});
            // Corners in front of the eye lie before the far plane, and those far enough in
            // front beyond the near one.
            EXPECT_LE(-eye[2], perspective.zFar);
            if (-eye[2] > perspective.zFar / 1000.0f) {
                EXPECT_GE(-eye[2], perspective.zNear);
            }
        }
    }
}

}  // namespace
