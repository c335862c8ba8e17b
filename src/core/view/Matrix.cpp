#include "Matrix.h"

#include <cmath>

namespace math {

Matrix4 identity() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

Matrix4 multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 result{};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + r] * b[c * 4 + k];
            result[c * 4 + r] = sum;
        }
    }
    return result;
}

Vector4 transform(const Matrix4& m, const Vector4& v) {
    Vector4 result{};
    for (int r = 0; r < 4; ++r) {
        result[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r] * v[3];
    }
    return result;
}

Matrix4 translate(const Matrix4& m, const Vector3& offset) {
    Matrix4 t = identity();
    t[12] = offset[0];
    t[13] = offset[1];
    t[14] = offset[2];
    return multiply(m, t);
}

Matrix4 rotate(const Matrix4& m, float angleDegrees, const Vector3& axis) {
    const float radians = static_cast<float>(angleDegrees * kDegreesToRadians);
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    const Vector3 a = normalize(axis);
    const float t = 1.0f - c;

    Matrix4 r = identity();
    // Column 0: image of +x.
    r[0] = c + t * a[0] * a[0];
    r[1] = t * a[0] * a[1] + s * a[2];
    r[2] = t * a[0] * a[2] - s * a[1];
    // Column 1: image of +y.
    r[4] = t * a[0] * a[1] - s * a[2];
    r[5] = c + t * a[1] * a[1];
    r[6] = t * a[1] * a[2] + s * a[0];
    // Column 2: image of +z.
    r[8] = t * a[0] * a[2] + s * a[1];
    r[9] = t * a[1] * a[2] - s * a[0];
    r[10] = c + t * a[2] * a[2];
    return multiply(m, r);
}

Matrix4 scale(const Matrix4& m, const Vector3& factors) {
    Matrix4 s = identity();
    s[0] = factors[0];
    s[5] = factors[1];
    s[10] = factors[2];
    return multiply(m, s);
}

Matrix4 ortho(float left, float right, float bottom, float top, float zNear, float zFar) {
    Matrix4 m = identity();
    m[0] = 2.0f / (right - left);
    m[5] = 2.0f / (top - bottom);
    m[10] = -2.0f / (zFar - zNear);
    m[12] = -(right + left) / (right - left);
    m[13] = -(top + bottom) / (top - bottom);
    m[14] = -(zFar + zNear) / (zFar - zNear);
    return m;
}

Matrix4 perspective(float fovyDegrees, float aspect, float zNear, float zFar) {
    const float halfAngle = static_cast<float>(fovyDegrees * kDegreesToRadians) / 2.0f;
    const float f = 1.0f / std::tan(halfAngle);
    Matrix4 m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1.0f;
    m[14] = 2.0f * zFar * zNear / (zNear - zFar);
    return m;
}

Matrix4 lookAt(const Vector3& eye, const Vector3& centre, const Vector3& up) {
    const Vector3 f = normalize({centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]});
    const Vector3 s = normalize(cross(f, up));
    const Vector3 u = cross(s, f);
    Matrix4 m = identity();
    m[0] = s[0];
    m[4] = s[1];
    m[8] = s[2];
    m[1] = u[0];
    m[5] = u[1];
    m[9] = u[2];
    m[2] = -f[0];
    m[6] = -f[1];
    m[10] = -f[2];
    m[12] = -dot(s, eye);
    m[13] = -dot(u, eye);
    m[14] = dot(f, eye);
    return m;
}

Matrix4 inverse(const Matrix4& m) {
    Matrix4 inv{};
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] +
             m[9] * m[7] * m[14] + m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] -
             m[8] * m[7] * m[14] - m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] +
             m[8] * m[7] * m[13] + m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] -
              m[8] * m[6] * m[13] - m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] -
             m[9] * m[3] * m[14] - m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] +
             m[8] * m[3] * m[14] + m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] -
             m[8] * m[3] * m[13] - m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] +
              m[8] * m[2] * m[13] + m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] -
             m[4] * m[3] * m[14] - m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] +
              m[4] * m[3] * m[13] + m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] -
              m[4] * m[2] * m[13] - m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] -
             m[5] * m[3] * m[10] - m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
              m[8] * m[1] * m[6] - m[8] * m[2] * m[5];

    const float det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    const float invDet = 1.0f / det;
    for (float& value : inv) value *= invDet;
    return inv;
}

Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float dot(const Vector3& a, const Vector3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Vector3 normalize(const Vector3& v) {
    const float length = std::sqrt(dot(v, v));
    if (length == 0.0f) return v;
    return {v[0] / length, v[1] / length, v[2] / length};
}

}  // namespace math
