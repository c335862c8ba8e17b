#include "Camera.h"
#include "Matrix.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kTolerance = 1e-5f;

void expectMatrixNear(const Matrix4& actual, const Matrix4& expected,
                      float tolerance = kTolerance) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

void expectPointNear(const Vector4& actual, float x, float y, float z, float w = 1.0f) {
    EXPECT_NEAR(actual[0], x, kTolerance);
    EXPECT_NEAR(actual[1], y, kTolerance);
    EXPECT_NEAR(actual[2], z, kTolerance);
    EXPECT_NEAR(actual[3], w, kTolerance);
}

}  // namespace

TEST(Matrix, ProductsApplyTheLastTransformFirst) {
    // translate then scale: the point is scaled first, then moved.
    const Matrix4 ts = math::scale(math::translate(math::identity(), {1, 2, 3}), {2, 2, 2});
    expectPointNear(math::transform(ts, {1, 1, 1, 1}), 3, 4, 5);
    const Matrix4 st = math::translate(math::scale(math::identity(), {2, 2, 2}), {1, 2, 3});
    expectPointNear(math::transform(st, {1, 1, 1, 1}), 4, 6, 8);
    // Column-major: the translation sits in elements 12..14.
    const Matrix4 t = math::translate(math::identity(), {7, 8, 9});
    EXPECT_EQ(t[12], 7.0f);
    EXPECT_EQ(t[13], 8.0f);
    EXPECT_EQ(t[14], 9.0f);
    expectMatrixNear(math::multiply(t, math::identity()), t);
}

TEST(Matrix, RotateIsRightHandedInDegrees) {
    const Matrix4 z90 = math::rotate(math::identity(), 90.0f, {0, 0, 1});
    expectPointNear(math::transform(z90, {1, 0, 0, 1}), 0, 1, 0);  // +x turns towards +y
    const Matrix4 x90 = math::rotate(math::identity(), 90.0f, {1, 0, 0});
    expectPointNear(math::transform(x90, {0, 1, 0, 1}), 0, 0, 1);  // +y towards +z
    const Matrix4 y90 = math::rotate(math::identity(), 90.0f, {0, 1, 0});
    expectPointNear(math::transform(y90, {0, 0, 1, 1}), 1, 0, 0);  // +z towards +x
    // The axis is normalised.
    const Matrix4 y30 = math::rotate(math::identity(), 30.0f, {0, 5, 0});
    expectPointNear(math::transform(y30, {1, 0, 0, 1}), std::cos(M_PI / 6), 0, -0.5f);
    // 180 degrees with the float-pi factor leaves sin(3.14159274) = -8.74e-8 in y.
    const Matrix4 z180 = math::rotate(math::identity(), 180.0f, {0, 0, 1});
    const Vector4 turned = math::transform(z180, {1, 0, 0, 1});
    EXPECT_FLOAT_EQ(turned[0], -1.0f);
    EXPECT_NEAR(turned[1], -8.742278e-08f, 1e-12f);
}

TEST(Matrix, OrthoMatchesGlOrtho) {
    const Matrix4 m = math::ortho(0, 1024, 0, 768, -1, 1);
    expectMatrixNear(m, {2.0f / 1024, 0, 0, 0, 0, 2.0f / 768, 0, 0, 0, 0, -1, 0, -1, -1, 0, 1});
    const Matrix4 camera = math::ortho(-1, 1, -0.75f, 0.75f, 0, 50);
    expectMatrixNear(camera, {1, 0, 0, 0, 0, 1.0f / 0.75f, 0, 0, 0, 0, -0.04f, 0, 0, 0, -1, 1});
    // The near plane (z = -near) maps to -1, the far plane to +1.
    expectPointNear(math::transform(camera, {0, 0, -50, 1}), 0, 0, 1);
}

TEST(Matrix, PerspectiveUsesHalfTheFieldOfView) {
    // 90 degrees: tan(45) = 1.
    const Matrix4 m = math::perspective(90, 1, 1, 3);
    expectMatrixNear(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, -1, 0, 0, -3, 0});
    // The near plane maps to depth -1, the far plane to +1 after the divide.
    const Vector4 nearPoint = math::transform(m, {0, 0, -1, 1});
    EXPECT_NEAR(nearPoint[2] / nearPoint[3], -1.0f, kTolerance);
    const Vector4 farPoint = math::transform(m, {0, 0, -3, 1});
    EXPECT_NEAR(farPoint[2] / farPoint[3], 1.0f, kTolerance);
    // The viewer's camera: 80 degrees, aspect 4/3, planes 1 and 20; 1 / tan(40) = 1.1917536.
    const Matrix4 viewer = math::perspective(80, 1.3333334f, 1, 20);
    EXPECT_NEAR(viewer[5], 1.1917536f, kTolerance);
    EXPECT_NEAR(viewer[0], 1.1917536f / 1.3333334f, kTolerance);
    EXPECT_NEAR(viewer[10], -21.0f / 19.0f, kTolerance);
    EXPECT_NEAR(viewer[14], -40.0f / 19.0f, kTolerance);
    EXPECT_EQ(viewer[11], -1.0f);
    EXPECT_EQ(viewer[15], 0.0f);
}

TEST(Matrix, LookAtPutsTheCentreOnTheNegativeZAxis) {
    // The 3D camera's start view: from (0, 0, -1) towards the origin, y up.
    const Matrix4 m = math::lookAt({0, 0, -1}, {0, 0, 0}, {0, 1, 0});
    expectMatrixNear(m, {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, -1, 1});
    expectPointNear(math::transform(m, {0, 0, 0, 1}), 0, 0, -1);
    // The 2D camera: from below the x-z plane looking up +y, with +z as screen up.
    const Matrix4 flat = math::lookAt({0, -1, 0}, {0, 0, 0}, {0, 0, 1});
    expectPointNear(math::transform(flat, {0.5f, 0, 0.25f, 1}), 0.5f, 0.25f, -1);
}

TEST(Matrix, InverseUndoesAffineAndProjectiveMatrices) {
    // Row-major [[2,0,0,1],[0,1,0,2],[0,0,4,3],[0,0,0,1]] and its hand-computed inverse.
    const Matrix4 m = {2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 4, 0, 1, 2, 3, 1};
    expectMatrixNear(math::inverse(m),
                     {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0.25f, 0, -0.5f, -2, -0.75f, 1});
    const Matrix4 general = math::translate(
        math::rotate(math::scale(math::identity(), {1, 2, 3}), 37, {1, 2, 3}), {4, -5, 6});
    expectMatrixNear(math::multiply(general, math::inverse(general)), math::identity(), 1e-4f);
    const Matrix4 projection = math::perspective(80, 1.3333334f, 1, 20);
    expectMatrixNear(math::multiply(math::inverse(projection), projection), math::identity(),
                     1e-4f);
}

TEST(Camera, ConstructorsSetTheFieldsAndProjections) {
    const Camera ortho(-1, 1, -0.75f, 0.75f, 0, 50);
    EXPECT_EQ(ortho.width, 1.0f);
    EXPECT_EQ(ortho.height, 1.0f);
    EXPECT_EQ(ortho.zNear, 0.0f);
    EXPECT_EQ(ortho.zFar, 50.0f);
    expectMatrixNear(ortho.view, math::identity());
    expectMatrixNear(ortho.projection, math::ortho(-1, 1, -0.75f, 0.75f, 0, 50));

    const Camera perspective(1, 20, 80, 1.3333334f);
    EXPECT_EQ(perspective.width, 1.0f);
    EXPECT_EQ(perspective.height, 1.0f);
    EXPECT_EQ(perspective.zNear, 1.0f);
    EXPECT_EQ(perspective.zFar, 20.0f);
    EXPECT_EQ(perspective.fovy, 80.0f);
    expectMatrixNear(perspective.view, math::identity());
    EXPECT_NEAR(perspective.projection[5], 1.1917536f, kTolerance);
}

TEST(Camera, PositionIsTheEyeOfTheLastLookAt) {
    Camera camera(1, 20, 80, 1.3333334f);
    camera.lookAt({1, 2, 3}, {0, 0, 0}, {0, 1, 0});
    const Vector3 eye = camera.position();
    EXPECT_NEAR(eye[0], 1.0f, kTolerance);
    EXPECT_NEAR(eye[1], 2.0f, kTolerance);
    EXPECT_NEAR(eye[2], 3.0f, kTolerance);

    // The 2D pan: move the eye and look straight along +y again; position follows.
    Camera flat(-1, 1, -0.75f, 0.75f, 0, 50);
    flat.lookAt({0.25f, -1, -0.5f}, {0.25f, 0, -0.5f}, {0, 0, 1});
    const Vector3 panned = flat.position();
    EXPECT_NEAR(panned[0], 0.25f, kTolerance);
    EXPECT_NEAR(panned[1], -1.0f, kTolerance);
    EXPECT_NEAR(panned[2], -0.5f, kTolerance);
}

TEST(Camera, OrbitPlacementOfTheEye) {
    // Half a horizontal drag: yaw 90 degrees about +y turns the eye from (0, 0, d) to (d, 0, 0).
    const Matrix4 m =
        math::translate(math::multiply(math::rotate(math::identity(), 180.0f * 0.5f, {0, 1, 0}),
                                       math::rotate(math::identity(), 0.0f, {1, 0, 0})),
                        {0, 0, 2});
    expectPointNear(math::transform(m, {0, 0, 0, 1}), 2, 0, 0);
}

TEST(Camera, UpdateOrthoAndUpdatePerspectiveRemakeTheProjection) {
    Camera camera(-1, 1, -0.75f, 0.75f, 0, 50);
    camera.width = 2.0f;
    camera.height = 1.5f;
    camera.updateOrtho();
    expectMatrixNear(camera.projection,
                     {1, 0, 0, 0, 0, 1.0f / 0.75f, 0, 0, 0, 0, -0.04f, 0, 0, 0, -1, 1});
    // A point at the top of the view volume lands at the top of the picture: no mirror.
    expectPointNear(math::transform(camera.projection, {0, 0.75f, -10, 1}), 0, 1, -0.6f);

    Camera perspective(1, 20, 80, 1.3333334f);
    perspective.fovy = 45;
    perspective.aspect = 2;
    perspective.zNear = 0.5f;
    perspective.zFar = 8;
    perspective.updatePerspective();
    expectMatrixNear(perspective.projection, math::perspective(45, 2, 0.5f, 8));
}

TEST(Camera, AxesAreReadFromTheView) {
    Camera camera(1, 20, 80, 1.3333334f);
    camera.lookAt({0, 5, 0}, {0, 0, 0}, {0, 0, -1});
    expectPointNear({camera.right()[0], camera.right()[1], camera.right()[2], 1}, 1, 0, 0);
    expectPointNear({camera.up()[0], camera.up()[1], camera.up()[2], 1}, 0, 0, -1);
    expectPointNear({camera.forward()[0], camera.forward()[1], camera.forward()[2], 1}, 0, -1, 0);
}
