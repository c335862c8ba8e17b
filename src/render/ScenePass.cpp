#include "ScenePass.h"

#include "FloorBox.h"
#include "GpuResources.h"
#include "Light.h"
#include "SceneDrawing.h"

namespace {

// A dark floor, so that the curves and the light's pool on it stand out.
constexpr float kFloorGrey = 0.16f;

}  // namespace

void ScenePass::run(const FrameContext& frame, const GpuResources& gpu,
                    const Matrix4& shadowMatrix) {
    const SceneDrawing drawing(frame);
    const ShaderProgram& shading = gpu.program(GpuResources::SHADING);
    drawing.beginScene(*gpu.sceneBuffer, shading, true);
    if (frame.light->m_shadow) {
        // Only the floor reads the shadow map, through the program's variant that looks.
        drawing.useShading(gpu.program(GpuResources::FLOOR), true, SceneDrawing::OBJECT_VERTEX,
                           {kFloorGrey, kFloorGrey, kFloorGrey, 1});
        drawFloor(frame, gpu, shadowMatrix);
        shading.use();
    }

    // A software rasteriser spends more on a sphere's tens of tiny triangles than on the pixels
    // they cover: there the spheres are sprites that shade each pixel as the sphere's surface.
    const ShaderProgram& vertexShading =
        frame.sphereSprites ? gpu.program(GpuResources::SPHERES) : shading;
    drawing.useShading(vertexShading, false, SceneDrawing::OBJECT_VERTEX, frame.vertexColor);
    drawing.drawVerticesWithSelection(vertexShading);
    shading.use();

    glUniform1iARB(shading.location(GpuResources::OBJECT_TYPE), SceneDrawing::OBJECT_GRID);
    drawing.drawGrid();

    glUniform1iARB(shading.location(GpuResources::OBJECT_TYPE), SceneDrawing::OBJECT_EDGE);
    glUniform4fARB(shading.location(GpuResources::U_COLOR), 1, 1, 1, 1);
    glColor4f(1, 1, 1, 1);
    drawing.drawHierarchyEdges(true);
    drawing.endScene();
}

void ScenePass::drawFloor(const FrameContext& frame, const GpuResources& gpu,
                          const Matrix4& shadowMatrix) {
    // The shadow map's coordinates of a point, from its eye coordinates under the camera.
    Matrix4 modelView;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());
    const Matrix4 t = math::multiply(shadowMatrix, math::inverse(modelView));
    glActiveTexture(GL_TEXTURE7);
    glMatrixMode(GL_TEXTURE);
    glLoadMatrixf(t.data());
    glBindTexture(GL_TEXTURE_2D, gpu.shadowBuffer->m_colorTextures[0]);
    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_MODELVIEW);
    FloorBox::under(frame.sceneBounds, frame.camera).draw();
    glActiveTexture(GL_TEXTURE7);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_MODELVIEW);
    glActiveTexture(GL_TEXTURE0);
}
