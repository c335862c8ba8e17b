#pragma once

#include <array>

// Three- and four-float vectors and column-major 4 x 4 float matrices (element [c * 4 + r] is row
// r of column c), laid out as OpenGL's matrix calls expect them. Every function that takes a
// matrix m and returns a transformed one multiplies on the right (m x T), so a chain of calls
// applies the last transform to a point first, as the fixed-function matrix stack does.
using Vector3 = std::array<float, 3>;
using Vector4 = std::array<float, 4>;
using Matrix4 = std::array<float, 16>;

namespace math {

// Degrees to radians: pi rounded to float, divided by 180 in double precision.
constexpr double kDegreesToRadians = 0.017453293005625408;

Matrix4 identity();
// a x b.
Matrix4 multiply(const Matrix4& a, const Matrix4& b);
// m x v.
Vector4 transform(const Matrix4& m, const Vector4& v);

// m x T(offset).
Matrix4 translate(const Matrix4& m, const Vector3& offset);
// m x R: right-handed rotation by angleDegrees about axis (normalised here); a positive angle
// about +z turns +x towards +y.
Matrix4 rotate(const Matrix4& m, float angleDegrees, const Vector3& axis);
// m x S(factors).
Matrix4 scale(const Matrix4& m, const Vector3& factors);

// Projections with the conventions of glOrtho and gluPerspective (camera looks along -z).
Matrix4 ortho(float left, float right, float bottom, float top, float zNear, float zFar);
// fovyDegrees is the full vertical angle; half of it goes into the tangent.
Matrix4 perspective(float fovyDegrees, float aspect, float zNear, float zFar);
// View matrix of an eye at eye looking at centre, with up giving the screen's upward direction.
Matrix4 lookAt(const Vector3& eye, const Vector3& centre, const Vector3& up);

// General inverse by cofactors divided by the determinant. A singular matrix is not detected:
// the result then holds infinities or NaNs, which callers with camera matrices never meet.
Matrix4 inverse(const Matrix4& m);

Vector3 cross(const Vector3& a, const Vector3& b);
float dot(const Vector3& a, const Vector3& b);
Vector3 normalize(const Vector3& v);

}  // namespace math
