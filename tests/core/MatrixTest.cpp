#include "Matrix.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

template <typename Elements>
void expectNear(const Elements& actual, const Elements& expected, float tolerance = 1e-5f) {
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

}  // namespace

// Where each transform takes a point: products apply the last transform first, rotations are
// right-handed in degrees about a normalised axis, projections put the near plane at depth -1.
TEST(Matrix, TransformsTakePointsWhereOpenGLTakesThem) {
    using namespace math;
    const Matrix4 I = identity();
    struct Case {
        Matrix4 m;
        Vector4 point, expected;
    };
    const Case cases[] = {
        {scale(translate(I, {1, 2, 3}), {2, 2, 2}), {1, 1, 1, 1}, {3, 4, 5, 1}},
        {translate(scale(I, {2, 2, 2}), {1, 2, 3}), {1, 1, 1, 1}, {4, 6, 8, 1}},
        {rotate(I, 90, {0, 0, 1}), {1, 0, 0, 1}, {0, 1, 0, 1}},
        {rotate(I, 90, {1, 0, 0}), {0, 1, 0, 1}, {0, 0, 1, 1}},
        {rotate(I, 90, {0, 1, 0}), {0, 0, 1, 1}, {1, 0, 0, 1}},
        {rotate(I, 30, {0, 5, 0}), {1, 0, 0, 1}, {float(std::cos(M_PI / 6)), 0, -0.5f, 1}},
        {ortho(0, 1024, 0, 768, -1, 1), {1024, 384, 0.5f, 1}, {1, 0, -0.5f, 1}},
        {ortho(-1, 1, -0.75f, 0.75f, 0, 50), {0.5f, 0.75f, -50, 1}, {0.5f, 1, 1, 1}},
        {perspective(90, 1, 1, 3), {0.5f, 0.25f, -1, 1}, {0.5f, 0.25f, -1, 1}},
        {perspective(90, 2, 1, 3), {1, 1, -3, 1}, {0.5f, 1, 3, 3}},
        {perspective(80, 4 / 3.0f, 1, 20), {1, 1, -20, 1}, {0.893815f, 1.191754f, 20, 20}},
        // The 3D start view from (0, 0, -1) and the 2D view from below, +z up.
        {lookAt({0, 0, -1}, {0, 0, 0}, {0, 1, 0}), {0.25f, 0.5f, 0, 1}, {-0.25f, 0.5f, -1, 1}},
        {lookAt({0, -1, 0}, {0, 0, 0}, {0, 0, 1}), {0.5f, 0, 0.25f, 1}, {0.5f, 0.25f, -1, 1}},
        {lookAt({1, 2, 3}, {1, 2, 0}, {0, 1, 0}), {1, 3, 0, 1}, {0, 1, -3, 1}},
    };
    for (const Case& c : cases) expectNear(transform(c.m, c.point), c.expected);
    EXPECT_EQ(translate(I, {7, 8, 9})[13], 8.0f);  // column-major
    // 180 degrees with the float-pi factor leaves sin(3.14159274) = -8.74e-8 in y.
    EXPECT_NEAR(transform(rotate(I, 180, {0, 0, 1}), {1, 0, 0, 1})[1], -8.742278e-08f, 1e-12f);
    const Matrix4 affine = {2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 4, 0, 1, 2, 3, 1};
    expectNear(inverse(affine), {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0.25f, 0, -0.5f, -2, -0.75f, 1});
    // The last has no zero element, so every term of the inverse counts.
    const Matrix4 turned = translate(rotate(scale(I, {1, 2, 3}), 37, {1, 2, 3}), {4, -5, 6});
    for (const Matrix4& m :
         {turned, perspective(80, 4 / 3.0f, 1, 20), multiply(perspective(80, 1, 1, 20), turned)}) {
        expectNear(multiply(m, inverse(m)), I, 1e-4f);
    }
}
