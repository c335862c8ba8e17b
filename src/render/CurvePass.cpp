#include "CurvePass.h"

#include "DefaultFramebuffer.h"
#include "FrameBuffer.h"
#include "GpuResources.h"
#include "Light.h"
#include "LightMarker.h"
#include "SceneDrawing.h"

#include <exception>
#include <iostream>

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

std::vector<CurvePass::Step> CurvePass::stepsFor(int blendMethod) {
    switch (blendMethod) {
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

void CurvePass::begin(const FrameContext& frame) {
    m_steps = stepsFor(frame.blendMethod);
    m_step = 0;
    m_next = 0;
    m_softwareFrame = softwareCurvesFit(frame);
}

void CurvePass::run(const FrameContext& frame, const GpuResources& gpu, const Deadline& deadline) {
    while (!complete()) {
        const Step step = m_steps[m_step];
        const bool done = step == ACCUMULATE ? accumulationStep(frame, gpu, deadline)
                                             : sceneStep(frame, gpu, step, deadline);
        if (!done) return;
        ++m_step;
        m_next = 0;
        if (deadline && std::chrono::steady_clock::now() >= *deadline) return;
    }
}

bool CurvePass::sceneStep(const FrameContext& frame, const GpuResources& gpu, Step step,
                          const Deadline& deadline) {
    if (step != MARKER && m_softwareFrame) return softwareStep(frame, gpu, step, deadline);
    const SceneDrawing drawing(frame);
    const ShaderProgram& shading =
        gpu.program(step == MARKER ? GpuResources::SHADING : GpuResources::LINES);
    drawing.beginScene(*gpu.sceneBuffer, shading, false);
    if (step == MARKER) {
        LightMarker::draw(frame, shading);
        drawing.endScene();
        return true;
    }
    const int objectType[] = {SceneDrawing::OBJECT_CURVE_MAX, SceneDrawing::OBJECT_EDGE,
                              SceneDrawing::OBJECT_EDGE, SceneDrawing::OBJECT_CURVE_TINT};
    glUniform1iARB(shading.location(GpuResources::OBJECT_TYPE), objectType[step]);
    beginCurveBlending();
    glBlendEquation(step == TRACE || step == BLEND_MAX ? GL_MAX : GL_FUNC_ADD);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    m_next = drawing.drawRelationEdges(m_next, deadline);
    endCurveBlending();
    drawing.endScene();
    return m_next >= drawing.drawnCurves();
}

bool CurvePass::accumulationStep(const FrameContext& frame, const GpuResources& gpu,
                                 const Deadline& deadline) {
    const SceneDrawing drawing(frame);
    const bool weighting = frame.blendMethod == 3;
    const FrameBuffer& buffer = weighting ? *gpu.weightingBuffer : *gpu.sumBuffer;
    buffer.bind();
    if (m_next == 0) {
        GLfloat clearColor[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // The buffer takes the scene's depth, so curves behind the scene are left out of the
        // sums.
        glDepthMask(GL_TRUE);
        glEnable(GL_DEPTH_TEST);
        const ShaderProgram& occlusion = gpu.program(GpuResources::OCCLUSION);
        occlusion.use();
        glUniform1iARB(occlusion.location(0), 0);
        drawing.drawScreenQuad(gpu.sceneBuffer->m_depthTexture, 0, 0);
        glUseProgramObjectARB(0);
        if (!weighting) glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
    }

    SceneDrawing::loadCameraMatrices(*frame.camera);
    Matrix4 modelView;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());
    const Matrix4 viewInverse = math::inverse(modelView);

    glDepthMask(GL_FALSE);
    glEnable(GL_DEPTH_TEST);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_BLEND);
    const ShaderProgram& program =
        gpu.program(weighting ? GpuResources::WEIGHTING : GpuResources::SUM);
    program.use();
    drawing.setLightTypeUniform(program, 0);
    SceneDrawing::setUnit6ViewInverse(&viewInverse);

    // Smoothed lines multiply a fragment's alpha by its coverage but leave its colour alone, so
    // the sums would divide alpha-weighted colours by smaller alphas and come out too bright
    // (twice as bright for one-pixel curves). The sums take whole fragments instead.
    const GLboolean smoothLines = glIsEnabled(GL_LINE_SMOOTH);
    glDisable(GL_LINE_SMOOTH);
    m_next = drawing.drawRelationEdges(m_next, deadline);
    const bool done = m_next >= drawing.drawnCurves();
    if (smoothLines) glEnable(GL_LINE_SMOOTH);

    SceneDrawing::setUnit6ViewInverse(nullptr);
    glUseProgramObjectARB(0);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glPopMatrix();
    if (done) glClear(GL_DEPTH_BUFFER_BIT);
    bindDefaultFramebuffer();
    return done;
}

bool CurvePass::softwareCurvesFit(const FrameContext& frame) {
    if (!frame.drawRelationEdges || !frame.views || !frame.controls || !frame.camera ||
        !frame.light) {
        return false;
    }
    const size_t curves = frame.curves->curveCount();
    if (curves == 0 || frame.blendMethod == 3 || frame.blendMethod == 4) return false;
    // Smoothed lines (full frames of fewer curves) stay on the GL, which smooths them.
    if (!frame.draft && curves <= CurveBuffers::kManyCurves) return false;
    return m_softwareCurves.inUse();
}

CurveLook CurvePass::softwareLook(const FrameContext& frame, const FrameBuffer& scene) {
    const SceneDrawing drawing(frame);
    CurveLook look;
    look.start = frame.curveColors.start;
    look.end = frame.curveColors.end;
    look.lightType = drawing.lightType();
    // GL holds the light in the eye coordinates of the camera it was set under (ShadowPass).
    GLfloat position[4] = {0, 0, 0, 1};
    glGetLightfv(GL_LIGHT0, GL_POSITION, position);
    for (int i = 0; i < 3; ++i) look.lightPosition[i] = position[i];
    glGetLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, look.spotDirection);
    glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, &look.spotCutoff);
    glGetLightfv(GL_LIGHT0, GL_CONSTANT_ATTENUATION, &look.attenuation[0]);
    glGetLightfv(GL_LIGHT0, GL_LINEAR_ATTENUATION, &look.attenuation[1]);
    glGetLightfv(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, &look.attenuation[2]);
    SceneDrawing::loadCameraMatrices(*frame.camera);
    drawing.applySceneTransform();
    glGetFloatv(GL_MODELVIEW_MATRIX, look.modelView);
    glGetFloatv(GL_PROJECTION_MATRIX, look.projection);
    glPopMatrix();
    look.width = scene.width();
    look.height = scene.height();
    look.viewType = frame.viewType;
    look.beta = frame.beta;
    return look;
}

bool CurvePass::softwareStep(const FrameContext& frame, const GpuResources& gpu, Step step,
                             const Deadline& deadline) {
    // The first curve step draws the maximum and the alpha layer together.
    if (step == BLEND || step == TINT) return true;
    const FrameBuffer& scene = *gpu.sceneBuffer;
    const int stride = frame.curveStride();
    const size_t total = frame.curves->drawnCount(stride);
    if (m_next == 0 && !m_softwareCurves.begin(scene)) return true;
    CurveRaster::Draw draw;
    draw.look = softwareLook(frame, scene);
    if (frame.blendMethod == 1) draw.mix = {1.0f, false, 0.0f};  // full colours kept by maximum
    if (frame.blendMethod == 2) draw.mix = {1.0f, true, 0.85f};  // full colours, then a pale tint
    draw.stride = size_t(stride);
    draw.first = m_next;
    draw.deadline = deadline;
    const std::vector<uint8_t> curveSlots = frame.curves->slotsOfView(frame.viewType);
    try {
        m_next = m_softwareCurves.draw(*frame.controls, frame.draft, draw, curveSlots);
    } catch (const std::exception& failure) {
        // The frames after this one draw their curves on the GL.
        std::cerr << "The relation curves could not be drawn on the CPU (" << failure.what()
                  << "); the GL draws them from the next frame on\n";
        m_softwareCurves.setChoice(SoftwareCurveLayer::Choice::GPU);
        m_next = total;
    }
    m_softwareCurves.present(scene);
    return m_next >= total;
}

void CurvePass::pickSoftwareCurve(const FrameContext& frame, const FrameBuffer& scene, int x,
                                  int y) const {
    if (!m_softwareFrame || !frame.curves) return;
    const int64_t position = m_softwareCurves.curveAt(x, y);
    const size_t curves = frame.curves->curveCount();
    if (position < 0 || curves == 0) return;
    // The code the scene shader gives a curve: its list position over the curve count.
    const float code[4] = {0, 0, float(position) / float(curves), -0.5f};
    glBindTexture(GL_TEXTURE_2D, scene.m_colorTextures[1]);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, 1, 1, GL_RGBA, GL_FLOAT, code);
    glBindTexture(GL_TEXTURE_2D, 0);
}
