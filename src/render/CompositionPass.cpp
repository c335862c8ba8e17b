#include "CompositionPass.h"

#include "GpuResources.h"
#include "SceneDrawing.h"

void CompositionPass::run(const FrameContext& frame, const GpuResources& gpu) {
    const SceneDrawing drawing(frame);
    const GLuint scene = gpu.sceneBuffer->m_colorTextures[0];
    if (frame.blendMethod == 3) {
        const ShaderProgram& program = gpu.program(GpuResources::WEIGHTING_FINAL);
        program.use();
        for (int unit = 0; unit < 3; ++unit) glUniform1iARB(program.location(unit), unit);
        const FrameBuffer& sums = *gpu.weightingBuffer;
        drawing.drawScreenQuad(sums.m_colorTextures[0], sums.m_colorTextures[1], scene);
    } else if (frame.blendMethod == 4) {
        const ShaderProgram& program = gpu.program(GpuResources::SUM_FINAL);
        program.use();
        for (int unit = 0; unit < 2; ++unit) glUniform1iARB(program.location(unit), unit);
        drawing.drawScreenQuad(gpu.sumBuffer->m_colorTextures[0], scene, 0);
    } else {
        glUseProgramObjectARB(0);
        drawing.drawScreenQuad(scene, 0, 0);
    }
    glUseProgramObjectARB(0);
}
