#include "FloorBox.h"

#include "Camera.h"
#include "DisplayLists.h"

#include <algorithm>

FloorBox FloorBox::under(const SceneBounds& b, const Camera* camera) {
    if (b.empty()) return {{-1, -2.5f, -1}, {1, -1.5f, 1}};
    // So that shadows thrown sideways still land on it.
    const float size = std::max({b.extent(0), b.extent(1), b.extent(2), 0.1f});
    const float margin = 0.25f * size;
    const float top = b.min[1] - 0.1f * size;
    const float thickness = 0.05f * size;
    FloorBox box{{b.min[0] - margin, top - thickness, b.min[2] - margin},
                 {b.max[0] + margin, top, b.max[2] + margin}};
    // Seen from straight above in a flat picture, the background is one colour from side to side.
    const bool orthographic = camera && camera->projection[11] == 0.0f;
    if (orthographic && camera->forward()[1] < -0.99f) {
        const Matrix4 toWorld = math::inverse(math::multiply(camera->projection, camera->view));
        for (int corner = 0; corner < 4; ++corner) {
            const Vector4 edge = math::transform(
                toWorld, {corner & 1 ? 1.0f : -1.0f, corner & 2 ? 1.0f : -1.0f, 0, 1});
            for (int axis : {0, 2}) {
                box.min[axis] = std::min(box.min[axis], edge[axis] / edge[3]);
                box.max[axis] = std::max(box.max[axis], edge[axis] / edge[3]);
            }
        }
    }
    return box;
}

void FloorBox::draw() const {
    glPushMatrix();
    glTranslatef((min[0] + max[0]) / 2, (min[1] + max[1]) / 2, (min[2] + max[2]) / 2);
    glScalef((max[0] - min[0]) / 2, (max[1] - min[1]) / 2, (max[2] - min[2]) / 2);
    glCallList(g_cubeList);
    glPopMatrix();
}
