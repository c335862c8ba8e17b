#include "ShadowPass.h"

#include "DefaultFramebuffer.h"
#include "FloorBox.h"
#include "GpuResources.h"
#include "Light.h"
#include "SceneDrawing.h"

#include <algorithm>

void ShadowPass::setUpLight(const FrameContext& frame) {
    const Light& light = *frame.light;
    glEnable(GL_LIGHT0);
    const GLfloat ambient[4] = {0.1f, 0.1f, 0.1f, 1};
    const GLfloat diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    const GLfloat specular[4] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    // Under this frame's camera view the position and direction stay in world coordinates,
    // whatever the overlay or an earlier camera left in the matrix.
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(frame.camera->view.data());
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
    placeLightCamera(frame);
}

void ShadowPass::placeLightCamera(const FrameContext& frame) {
    const Light& light = *frame.light;
    const Vector3 eye{light.m_position[0], light.m_position[1], light.m_position[2]};
    const Vector3 centre{eye[0] + light.m_direction[0], eye[1] + light.m_direction[1],
                         eye[2] + light.m_direction[2]};
    m_lightCamera.lookAt(eye, centre, {0, 0, 1});
    const SceneBounds& b = frame.sceneBounds;
    if (b.empty()) {
        m_lightCamera.projection = math::ortho(-2.0f, 2.0f, -1.5f, 1.5f, -50.0f, 50.0f);
        return;
    }
    // The light's orthographic volume takes in the floor and everything between it and the top
    // of the scene, with a little room, so that every shadow the floor can receive is mapped.
    const FloorBox floor = FloorBox::under(b, frame.camera);
    const float top = std::max(b.max[1], floor.max[1]);
    float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
    for (int corner = 0; corner < 8; ++corner) {
        const Vector4 world{corner & 1 ? floor.max[0] : floor.min[0],
                            corner & 2 ? top : floor.min[1],
                            corner & 4 ? floor.max[2] : floor.min[2], 1};
        const Vector4 v = math::transform(m_lightCamera.view, world);
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], v[i]);
            hi[i] = std::max(hi[i], v[i]);
        }
    }
    const float pad = 0.01f;
    // The camera looks down its -z axis: near and far are the negated z range.
    m_lightCamera.projection =
        math::ortho(lo[0] - pad, hi[0] + pad, lo[1] - pad, hi[1] + pad, -hi[2] - pad, -lo[2] + pad);
}

Matrix4 ShadowPass::run(const FrameContext& frame, const GpuResources& gpu) {
    // Eye coordinates to texture coordinates: [-1, 1] to [0, 1] after the light's matrices.
    Matrix4 m = {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 1};
    if (!frame.light->m_shadow) return m;
    if (frame.draft && m_made) return m_shadowMatrix;
    draw(frame, gpu, m);
    m_shadowMatrix = m;
    m_made = true;
    ++m_passes;
    return m;
}

void ShadowPass::draw(const FrameContext& frame, const GpuResources& gpu, Matrix4& m) {
    const SceneDrawing drawing(frame);
    const FrameBuffer& buffer = *gpu.shadowBuffer;
    buffer.bind();
    // The shadow map keeps its own size whatever the surface's.
    glViewport(0, 0, buffer.width(), buffer.height());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SceneDrawing::loadCameraMatrices(m_lightCamera);
    Matrix4 view, projection;
    glGetFloatv(GL_MODELVIEW_MATRIX, view.data());
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    m = math::multiply(math::multiply(m, projection), view);
    gpu.program(GpuResources::SHADOW).use();
    // Without a framed scene the shadow map's slab is four times wider and deeper than the floor
    // drawn later; a framed scene's light volume holds just its floor.
    FloorBox slab = FloorBox::under(frame.sceneBounds, frame.camera);
    if (frame.sceneBounds.empty()) {
        for (int i : {0, 2}) {
            slab.min[i] *= 4;
            slab.max[i] *= 4;
        }
    }
    slab.draw();
    const Light& light = *frame.light;
    if (light.m_vertexInShadow) drawing.drawVertices();
    if (light.m_gridInShadow) drawing.drawGrid();
    if (light.m_hierarchyInShadow) drawing.drawHierarchyEdges(false);
    // All the curves at once: the shadow map is made in the first part of a frame.
    if (light.m_relationInShadow) drawing.drawRelationEdges(0, std::nullopt);
    glUseProgramObjectARB(0);
    glPopMatrix();
    bindDefaultFramebuffer();
    glViewport(0, 0, frame.surfaceWidth, frame.surfaceHeight);
}
