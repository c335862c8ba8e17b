#include "DrawnPosition.h"

Vector3 drawnPosition(const LayoutRecord& record, float rotationX, float rotationY, float rotationZ,
                      float scale) {
    Matrix4 m = math::identity();
    m = math::rotate(m, rotationX, {1, 0, 0});
    m = math::rotate(m, rotationY, {0, 1, 0});
    m = math::rotate(m, rotationZ, {0, 0, 1});
    m = math::scale(m, {scale, scale, scale});
    const Vector4 p = math::transform(m, {record.x, 1.0f - record.y, record.z, 1.0f});
    return {p[0], p[1], p[2]};
}
