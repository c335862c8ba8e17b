// The light, its shadow map and the floor that receives the shadows.
#include "RenderImplementation.h"

#include "DefaultFramebuffer.h"
#include "DisplayLists.h"
#include "FrameBuffer.h"
#include "ShaderProgram.h"

void RenderImplementation::setUpLight() {
    const Light& light = *m_light;
    glEnable(GL_LIGHT0);
    const GLfloat ambient[4] = {0.1f, 0.1f, 0.1f, 1};
    const GLfloat diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    const GLfloat specular[4] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    // Given under the camera view loaded last, so the position is in world coordinates.
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
    const Vector3 eye{light.m_position[0], light.m_position[1], light.m_position[2]};
    const Vector3 centre{eye[0] + light.m_direction[0], eye[1] + light.m_direction[1],
                         eye[2] + light.m_direction[2]};
    m_lightCamera->lookAt(eye, centre, {0, 0, 1});
}

void RenderImplementation::shadowPass(Matrix4& m) {
    m_shadowBuffer->bind();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    loadCameraMatrices(*m_lightCamera);
    Matrix4 view, projection;
    glGetFloatv(GL_MODELVIEW_MATRIX, view.data());
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    m = math::multiply(math::multiply(m, projection), view);
    m_shadowProgram->use();
    glPushMatrix();
    glTranslatef(0, -2, 0);
    glScalef(4, 0.5f, 4);
    glCallList(g_cubeList);
    glPopMatrix();
    if (m_light->m_vertexInShadow) drawVerticesPass();
    if (m_light->m_gridInShadow) drawGridPass();
    if (m_light->m_hierarchyInShadow) drawHierarchyEdges(false);
    if (m_light->m_relationInShadow) drawRelationEdges();
    glUseProgramObjectARB(0);
    glPopMatrix();
    bindDefaultFramebuffer();
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
    if (m_light->m_shadow) {
        glPushMatrix();
        glTranslatef(0, -2, 0);
        glScalef(1, 0.5f, 1);
        glCallList(g_cubeList);
        glPopMatrix();
    }
    glActiveTexture(GL_TEXTURE7);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_MODELVIEW);
    glActiveTexture(GL_TEXTURE0);
}
