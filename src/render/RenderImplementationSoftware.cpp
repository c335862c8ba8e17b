// The relation curves of frames with plain lines drawn by the CPU (SoftwareCurveLayer) when the
// GL renderer is itself a software rasteriser.
#include "RenderImplementation.h"

#include "FrameBuffer.h"

#include <exception>
#include <iostream>

namespace {

constexpr int kLightingOff = 4;  // the light type the scene shader reads as "unlit"

}  // namespace

bool RenderImplementation::softwareCurvesFit() {
    if (!m_drawRelationEdges || !m_views || !m_curveControls || !m_camera || !m_light) return false;
    if (m_curveBuffers.curveCount() == 0 || m_blendMethod == 3 || m_blendMethod == 4) return false;
    // Smoothed lines (full frames of fewer curves) stay on the GL, which smooths them.
    if (!m_draft && m_curveBuffers.curveCount() <= CurveBuffers::kManyCurves) return false;
    return m_softwareCurves.inUse();
}

CurveLook RenderImplementation::softwareCurveLook() const {
    CurveLook look;
    const CurveBuffers::Colors colors = curveColors();
    look.start = colors.start;
    look.end = colors.end;
    look.lightType = m_light->m_enabled ? m_light->m_type : kLightingOff;
    // GL holds the light in the eye coordinates of the camera it was set under (setUpLight).
    GLfloat position[4] = {0, 0, 0, 1};
    glGetLightfv(GL_LIGHT0, GL_POSITION, position);
    for (int i = 0; i < 3; ++i) look.lightPosition[i] = position[i];
    glGetLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, look.spotDirection);
    glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, &look.spotCutoff);
    glGetLightfv(GL_LIGHT0, GL_CONSTANT_ATTENUATION, &look.attenuation[0]);
    glGetLightfv(GL_LIGHT0, GL_LINEAR_ATTENUATION, &look.attenuation[1]);
    glGetLightfv(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, &look.attenuation[2]);
    loadCameraMatrices(*m_camera);
    applySceneTransform();
    glGetFloatv(GL_MODELVIEW_MATRIX, look.modelView);
    glGetFloatv(GL_PROJECTION_MATRIX, look.projection);
    glPopMatrix();
    look.width = m_sceneBuffer->width();
    look.height = m_sceneBuffer->height();
    look.viewType = m_viewType;
    look.beta = m_beta;
    return look;
}

bool RenderImplementation::softwareCurveStep(CurveStep step, const Deadline& deadline) {
    // The first curve step draws the maximum and the alpha layer together.
    if (step == BLEND || step == TINT) return true;
    const int stride = m_draft ? m_curveBuffers.draftStride() : 1;
    const size_t total = m_curveBuffers.drawnCount(stride);
    if (m_curveNext == 0 && !m_softwareCurves.begin(*m_sceneBuffer)) return true;
    CurveRaster::Draw draw;
    draw.look = softwareCurveLook();
    if (m_blendMethod == 1) draw.mix = {1.0f, false, 0.0f};  // full colours kept by maximum
    if (m_blendMethod == 2) draw.mix = {1.0f, true, 0.85f};  // full colours, then a pale tint
    draw.stride = size_t(stride);
    draw.first = m_curveNext;
    draw.deadline = deadline;
    const std::vector<uint8_t> curveSlots = m_curveBuffers.slotsOfView(m_viewType);
    try {
        m_curveNext = m_softwareCurves.draw(*m_curveControls, m_draft, draw, curveSlots);
    } catch (const std::exception& failure) {
        // The frames after this one draw their curves on the GL.
        std::cerr << "The relation curves could not be drawn on the CPU (" << failure.what()
                  << "); the GL draws them from the next frame on\n";
        m_softwareCurves.setChoice(SoftwareCurveLayer::Choice::GPU);
        m_curveNext = total;
    }
    m_softwareCurves.present(*m_sceneBuffer);
    return m_curveNext >= total;
}

void RenderImplementation::pickSoftwareCurve(int x, int y) {
    const int64_t position = m_softwareCurves.curveAt(x, y);
    if (position < 0 || m_curveBuffers.curveCount() == 0) return;
    // The code the scene shader gives a curve: its list position over the curve count.
    const float code[4] = {0, 0, float(position) / float(m_curveBuffers.curveCount()), -0.5f};
    glBindTexture(GL_TEXTURE_2D, m_sceneBuffer->m_colorTextures[1]);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, 1, 1, GL_RGBA, GL_FLOAT, code);
    glBindTexture(GL_TEXTURE_2D, 0);
}
