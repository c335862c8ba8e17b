// The light, its shadow map and the floor that receives the shadows.
#include "RenderImplementation.h"

#include "DefaultFramebuffer.h"
#include "DisplayLists.h"
#include "FrameBuffer.h"
#include "ShaderProgram.h"

#include <algorithm>

void RenderImplementation::setUpLight() {
    const Light& light = *m_light;
    glEnable(GL_LIGHT0);
    const GLfloat ambient[4] = {0.1f, 0.1f, 0.1f, 1};
    const GLfloat diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    const GLfloat specular[4] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    // GL keeps the position and direction in the eye coordinates of the model-view matrix in
    // force: under this frame's camera view they stay in world coordinates, whatever the overlay
    // or an earlier camera left in the matrix.
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(m_camera->view.data());
    const GLfloat position[4] = {light.m_position[0], light.m_position[1], light.m_position[2], 1};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, light.m_direction);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 0);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, light.m_radius / 100.0f);
    const float constant = light.m_type == 1 ? (2 * light.m_attenuation + light.m_radius) / 100.0f
                                             : (light.m_attenuation + light.m_radius) / 100.0f;
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, constant);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, light.m_attenuation * 0.25f);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, light.m_attenuation * 0.125f);
    placeLightCamera();
}

RenderImplementation::Box RenderImplementation::floorBox() const {
    if (m_sceneBounds.empty()) return {{-1, -2.5f, -1}, {1, -1.5f, 1}};
    const SceneBounds& b = m_sceneBounds;
    // A slab a little under the lowest point, reaching a quarter of the scene's size beyond it
    // on every side, so that shadows thrown sideways still land on it.
    const float size = std::max({b.extent(0), b.extent(1), b.extent(2), 0.1f});
    const float margin = 0.25f * size;
    const float top = b.min[1] - 0.1f * size;
    const float thickness = 0.05f * size;
    Box box{{b.min[0] - margin, top - thickness, b.min[2] - margin},
            {b.max[0] + margin, top, b.max[2] + margin}};
    // Seen from straight above in a flat picture, the floor reaches the picture's edges too, so
    // that the background is one colour from side to side.
    const Camera* camera = m_camera;
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

void RenderImplementation::drawBox(const Box& box) const {
    glPushMatrix();
    glTranslatef((box.min[0] + box.max[0]) / 2, (box.min[1] + box.max[1]) / 2,
                 (box.min[2] + box.max[2]) / 2);
    glScalef((box.max[0] - box.min[0]) / 2, (box.max[1] - box.min[1]) / 2,
             (box.max[2] - box.min[2]) / 2);
    glCallList(g_cubeList);
    glPopMatrix();
}

void RenderImplementation::placeLightCamera() {
    const Light& light = *m_light;
    const Vector3 eye{light.m_position[0], light.m_position[1], light.m_position[2]};
    const Vector3 centre{eye[0] + light.m_direction[0], eye[1] + light.m_direction[1],
                         eye[2] + light.m_direction[2]};
    m_lightCamera->lookAt(eye, centre, {0, 0, 1});
    if (m_sceneBounds.empty()) {
        m_lightCamera->projection = math::ortho(-2.0f, 2.0f, -1.5f, 1.5f, -50.0f, 50.0f);
        return;
    }
    // The light's orthographic volume takes in the floor and everything between it and the top
    // of the scene, with a little room, so that every shadow the floor can receive is mapped.
    const Box floor = floorBox();
    const SceneBounds& b = m_sceneBounds;
    const float top = std::max(b.max[1], floor.max[1]);
    float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
    for (int corner = 0; corner < 8; ++corner) {
        const Vector4 world{corner & 1 ? floor.max[0] : floor.min[0],
                            corner & 2 ? top : floor.min[1],
                            corner & 4 ? floor.max[2] : floor.min[2], 1};
        const Vector4 v = math::transform(m_lightCamera->view, world);
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], v[i]);
            hi[i] = std::max(hi[i], v[i]);
        }
    }
    const float pad = 0.01f;
    // The camera looks down its -z axis: near and far are the negated z range.
    m_lightCamera->projection =
        math::ortho(lo[0] - pad, hi[0] + pad, lo[1] - pad, hi[1] + pad, -hi[2] - pad, -lo[2] + pad);
}

void RenderImplementation::shadowPass(Matrix4& m) {
    m_shadowBuffer->bind();
    // The shadow map keeps its own size whatever the surface's.
    glViewport(0, 0, m_shadowBuffer->width(), m_shadowBuffer->height());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    loadCameraMatrices(*m_lightCamera);
    Matrix4 view, projection;
    glGetFloatv(GL_MODELVIEW_MATRIX, view.data());
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    m = math::multiply(math::multiply(m, projection), view);
    m_shadowProgram->use();
    // Without a framed scene the shadow map's slab is four times wider and deeper than the floor
    // drawn later; a framed scene's light volume holds just its floor.
    Box slab = floorBox();
    if (m_sceneBounds.empty()) {
        for (int i : {0, 2}) {
            slab.min[i] *= 4;
            slab.max[i] *= 4;
        }
    }
    drawBox(slab);
    if (m_light->m_vertexInShadow) drawVerticesPass();
    if (m_light->m_gridInShadow) drawGridPass();
    if (m_light->m_hierarchyInShadow) drawHierarchyEdges(false);
    if (m_light->m_relationInShadow) {
        // All of them at once: the shadow map is made in the first part of a frame.
        m_curveNext = 0;
        drawRelationEdges(std::nullopt);
        m_curveNext = 0;
    }
    glUseProgramObjectARB(0);
    glPopMatrix();
    bindDefaultFramebuffer();
    glViewport(0, 0, m_surfaceWidth, m_surfaceHeight);
}

void RenderImplementation::drawFloor(const Matrix4& m) {
    Matrix4 modelView;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());
    const Matrix4 t = math::multiply(m, math::inverse(modelView));
    glActiveTexture(GL_TEXTURE7);
    glMatrixMode(GL_TEXTURE);
    glLoadMatrixf(t.data());
    glBindTexture(GL_TEXTURE_2D, m_shadowBuffer->m_colorTextures[0]);
    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_MODELVIEW);
    if (m_light->m_shadow) drawBox(floorBox());
    glActiveTexture(GL_TEXTURE7);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_MODELVIEW);
    glActiveTexture(GL_TEXTURE0);
}
