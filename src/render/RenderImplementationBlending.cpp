// The five ways overlapping relation curves are combined.
#include "RenderImplementation.h"

#include "DefaultFramebuffer.h"
#include "FrameBuffer.h"
#include "ShaderProgram.h"

namespace {

// Curves neither write depth nor hide one another; the depth test still hides them behind the
// scene. The picking output (draw buffer 1) is written without blending, so a curve's code and
// cover tag arrive whole.
void beginCurveBlending() {
    glDepthMask(GL_FALSE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glDisablei(GL_BLEND, 1);
}

void endCurveBlending() {
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    glBlendEquation(GL_FUNC_ADD);
}

}  // namespace

std::vector<RenderImplementation::CurveStep> RenderImplementation::curveSteps() const {
    switch (m_blendMethod) {
        case 1:
            return {BLEND_MAX, MARKER};
        case 2:
            // Over curves already at full colour an alpha pass of the same colours would change
            // little: the second lays a paler tint, so that where curves crowd together the
            // bundle glows pale over the coloured curves of the first.
            return {BLEND_MAX, TINT, MARKER};
        case 3:
        case 4:
            return {TRACE, MARKER, ACCUMULATE};
        default:
            return {TRACE, BLEND, MARKER};
    }
}

void RenderImplementation::runCurveSteps(const Deadline& deadline) {
    while (!frameComplete()) {
        const CurveStep step = m_curveSteps[m_curveStep];
        const bool done =
            step == ACCUMULATE ? accumulationStep(deadline) : sceneStep(step, deadline);
        if (!done) return;
        ++m_curveStep;
        m_curveNext = 0;
        if (deadline && std::chrono::steady_clock::now() >= *deadline) return;
    }
}

bool RenderImplementation::sceneStep(CurveStep step, const Deadline& deadline) {
    if (step != MARKER && m_softwareFrame) return softwareCurveStep(step, deadline);
    beginScene(false);
    const ShaderProgram& shading = *m_shadingProgram;
    if (step == MARKER) {
        drawLightMarker();
        endScene();
        return true;
    }
    const int objectType[] = {OBJECT_CURVE_MAX, OBJECT_EDGE, OBJECT_EDGE, OBJECT_CURVE_TINT};
    glUniform1iARB(shading.location(OBJECT_TYPE), objectType[step]);
    beginCurveBlending();
    glBlendEquation(step == TRACE || step == BLEND_MAX ? GL_MAX : GL_FUNC_ADD);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const bool done = drawRelationEdges(deadline);
    endCurveBlending();
    endScene();
    return done;
}

bool RenderImplementation::accumulationStep(const Deadline& deadline) {
    const bool weighting = m_blendMethod == 3;
    FrameBuffer& buffer = weighting ? *m_weightingBuffer : *m_sumBuffer;
    buffer.bind();
    if (m_curveNext == 0) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // The buffer takes the scene's depth, so curves behind the scene are left out of the
        // sums.
        glDepthMask(GL_TRUE);
        glEnable(GL_DEPTH_TEST);
        m_occlusionProgram->use();
        glUniform1iARB(m_occlusionProgram->location(0), 0);
        drawScreenQuad(m_sceneBuffer->m_depthTexture, 0, 0);
        glUseProgramObjectARB(0);
        if (!weighting) glClear(GL_COLOR_BUFFER_BIT);
    }

    loadCameraMatrices(*m_camera);
    Matrix4 modelView;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());
    const Matrix4 viewInverse = math::inverse(modelView);

    glDepthMask(GL_FALSE);
    glEnable(GL_DEPTH_TEST);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_BLEND);
    ShaderProgram& program = weighting ? *m_weightingProgram : *m_sumProgram;
    program.use();
    setLightTypeUniform(program, 0);
    setUnit6ViewInverse(&viewInverse);

    // Smoothed lines multiply a fragment's alpha by its coverage but leave its colour alone, so
    // the sums would divide alpha-weighted colours by smaller alphas and come out too bright
    // (twice as bright for one-pixel curves). The sums take whole fragments instead.
    const GLboolean smoothLines = glIsEnabled(GL_LINE_SMOOTH);
    glDisable(GL_LINE_SMOOTH);
    const bool done = drawRelationEdges(deadline);
    if (smoothLines) glEnable(GL_LINE_SMOOTH);

    setUnit6ViewInverse(nullptr);
    glUseProgramObjectARB(0);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glPopMatrix();
    if (done) glClear(GL_DEPTH_BUFFER_BIT);
    bindDefaultFramebuffer();
    return done;
}

void RenderImplementation::present() {
    if (m_blendMethod == 3 || m_blendMethod == 4) {
        compositionPass();
    } else {
        glUseProgramObjectARB(0);
        drawScreenQuad(m_sceneBuffer->m_colorTextures[0], 0, 0);
    }
}

void RenderImplementation::compositionPass() {
    if (m_blendMethod == 3) {
        m_weightingFinalProgram->use();
        glUniform1iARB(m_weightingFinalProgram->location(0), 0);
        glUniform1iARB(m_weightingFinalProgram->location(1), 1);
        glUniform1iARB(m_weightingFinalProgram->location(2), 2);
        drawScreenQuad(m_weightingBuffer->m_colorTextures[0], m_weightingBuffer->m_colorTextures[1],
                       m_sceneBuffer->m_colorTextures[0]);
    } else {
        m_sumFinalProgram->use();
        glUniform1iARB(m_sumFinalProgram->location(0), 0);
        glUniform1iARB(m_sumFinalProgram->location(1), 1);
        drawScreenQuad(m_sumBuffer->m_colorTextures[0], m_sceneBuffer->m_colorTextures[0], 0);
    }
    glUseProgramObjectARB(0);
}
