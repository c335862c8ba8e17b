#include "LightMarker.h"

#include "DisplayLists.h"
#include "GpuResources.h"
#include "Light.h"
#include "SceneDrawing.h"

void LightMarker::draw(const FrameContext& frame, const ShaderProgram& shading) {
    const Light& light = *frame.light;
    glColor4f(1, 1, 1, 1);
    glUniform1iARB(shading.location(GpuResources::OBJECT_TYPE), SceneDrawing::OBJECT_VERTEX);
    glUniform1iARB(shading.location(GpuResources::LIGHT_TYPE), SceneDrawing::kLightingOff);
    glUniform1iARB(shading.location(GpuResources::TEXTURE0), 0);
    glUniform4fARB(shading.location(GpuResources::U_COLOR), 1, 1, 0, 1);
    glPushMatrix();
    glTranslatef(light.m_position[0], light.m_position[1], light.m_position[2]);
    glCallList(g_sphereList);
    glPopMatrix();
}
