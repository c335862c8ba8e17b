#include "FboSize.h"
#include "CurveBuffers.h"
#include "FrameBuffer.h"
#include "GlFixture.h"
#include "ShaderProgram.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace {

using Rgba = std::array<float, 4>;

void drawQuad(float x0, float x1, float z = 0.0f) {
    glBegin(GL_QUADS);
    glTexCoord2f(x0 * 0.5f + 0.5f, 0);
    glVertex3f(x0, -1, z);
    glTexCoord2f(x1 * 0.5f + 0.5f, 0);
    glVertex3f(x1, -1, z);
    glTexCoord2f(x1 * 0.5f + 0.5f, 1);
    glVertex3f(x1, 1, z);
    glTexCoord2f(x0 * 0.5f + 0.5f, 1);
    glVertex3f(x0, 1, z);
    glEnd();
}

Rgba readPixel(GLenum attachment, int x, int y) {
    Rgba value{};
    glReadBuffer(attachment);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_FLOAT, value.data());
    return value;
}

void expectRgbaNear(const Rgba& actual, const Rgba& expected, float tolerance = 1e-5f) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "channel " << i;
}

void clearBuffer(const FrameBuffer& buffer, const Rgba& colour) {
    buffer.bind();
    glClearColor(colour[0], colour[1], colour[2], colour[3]);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void bindTexture(int unit, GLuint texture) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    glActiveTexture(GL_TEXTURE0);
}

// Two translucent curves over the left half of the picture, added up as the accumulation pass
// does (blend ONE, ONE, no depth test): red with alpha 0.25 and blue with alpha 0.125, which the
// programs take as the opacity of three such layers, 1 - (1 - a)^3: 37/64 and 169/512.
void accumulateTwoCurves(const ShaderProgram& program) {
    program.use();
    glUniform1iARB(program.location(0), 4);  // light_type: lighting off
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_ONE, GL_ONE);
    glColor4f(1, 0, 0, 0.25f);
    drawQuad(-1, 0);
    glColor4f(0, 0, 1, 0.125f);
    drawQuad(-1, 0);
    glDisable(GL_BLEND);
    glUseProgramObjectARB(0);
}

class BlendingProgramTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (HasFatalFailure()) return;
        m_sceneBuffer = std::make_unique<FrameBuffer>(2);
        m_pictureBuffer = std::make_unique<FrameBuffer>(1);
        glViewport(0, 0, FBO_WIDTH, FBO_HEIGHT);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        for (GLenum mode : {GL_PROJECTION, GL_MODELVIEW}) {
            glMatrixMode(mode);
            glLoadIdentity();
        }
    }
    void TearDown() override {
        for (int unit = 0; unit < 3; ++unit) bindTexture(unit, 0);
        glUseProgramObjectARB(0);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // Made once the context is current: the scene the curves are laid over and the target.
    std::unique_ptr<FrameBuffer> m_sceneBuffer;
    std::unique_ptr<FrameBuffer> m_pictureBuffer;
};

}  // namespace

TEST_F(BlendingProgramTest, WeightedAverageSumsThenComposesOverTheBackground) {
    ShaderProgram weighting("shader/weighting_vert.glsl", "shader/weighting_frag.glsl",
                            {{"light_type"}}, CurveBuffers::kVertexPrelude);
    weighting.buildProgram();
    CurveBuffers::assignSamplerUnits(weighting.m_handle);
    FrameBuffer sums(2);
    clearBuffer(sums, {0, 0, 0, 0});
    accumulateTwoCurves(weighting);
    // Output 0: alpha-weighted colours and the alpha sum; output 1: the number of fragments.
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 100, 100),
                   {0.578125f, 0, 0.330078125f, 0.908203125f});
    EXPECT_FLOAT_EQ(readPixel(GL_COLOR_ATTACHMENT1_EXT, 100, 100)[0], 2.0f);
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 900, 100), {0, 0, 0, 0});

    clearBuffer(*m_sceneBuffer, {0, 1, 0, 1});
    clearBuffer(*m_pictureBuffer, {0, 0, 0, 0});
    ShaderProgram final("shader/weighting_final_vert.glsl", "shader/weighting_final_frag.glsl",
                        {{"ColorTex0"}, {"ColorTex1"}, {"Background"}});
    final.buildProgram();
    final.use();
    glUniform1iARB(final.location(0), 0);
    glUniform1iARB(final.location(1), 1);
    glUniform1iARB(final.location(2), 2);
    bindTexture(0, sums.m_colorTextures[0]);
    bindTexture(1, sums.m_colorTextures[1]);
    bindTexture(2, m_sceneBuffer->m_colorTextures[0]);
    drawQuad(-1, 1);
    // Average colour (0.63656, 0, 0.36344), average alpha 0.45410, two layers: the green
    // background shows through with (1 - 0.45410)^2 = 0.29801.
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 100, 100),
                   {0.446861f, 0.298005f, 0.255134f, 1}, 2e-5f);
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 900, 100), {0, 1, 0, 1});
}

TEST_F(BlendingProgramTest, SummedAverageComposesWithSummedCoverage) {
    ShaderProgram sum("shader/sum_vert.glsl", "shader/sum_frag.glsl", {{"light_type"}},
                      CurveBuffers::kVertexPrelude);
    sum.buildProgram();
    CurveBuffers::assignSamplerUnits(sum.m_handle);
    FrameBuffer sums(1);
    clearBuffer(sums, {0, 0, 0, 0});
    accumulateTwoCurves(sum);
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 100, 100),
                   {0.578125f, 0, 0.330078125f, 0.908203125f});

    clearBuffer(*m_sceneBuffer, {0, 1, 0, 1});
    clearBuffer(*m_pictureBuffer, {0, 0, 0, 0});
    ShaderProgram final("shader/sum_final_vert.glsl", "shader/sum_final_frag.glsl",
                        {{"ColorTex0"}, {"Background"}});
    final.buildProgram();
    final.use();
    glUniform1iARB(final.location(0), 0);
    glUniform1iARB(final.location(1), 1);
    bindTexture(0, sums.m_colorTextures[0]);
    bindTexture(1, m_sceneBuffer->m_colorTextures[0]);
    drawQuad(-1, 1);
    // The average colour over green with the summed coverage 0.908203125.
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 100, 100),
                   {0.578125f, 0.091796875f, 0.330078125f, 1}, 2e-5f);
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 900, 100), {0, 1, 0, 1});
}

TEST_F(BlendingProgramTest, OcclusionCopiesTheSceneDepthAndAddsNoColour) {
    // Scene: geometry at depth 0.5 over the left half, nothing on the right.
    clearBuffer(*m_sceneBuffer, {0, 0, 0, 1});
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    drawQuad(-1, 0, 0.0f);

    FrameBuffer sums(2);
    clearBuffer(sums, {0.3f, 0.3f, 0.3f, 0.3f});
    ShaderProgram occlusion("shader/relation_occlusion_vert.glsl",
                            "shader/relation_occlusion_frag.glsl", {{"DepthBackground"}});
    occlusion.buildProgram();
    occlusion.use();
    glUniform1iARB(occlusion.location(0), 0);
    bindTexture(0, m_sceneBuffer->m_depthTexture);
    drawQuad(-1, 1, -0.9f);  // the quad's own depth must not matter
    glUseProgramObjectARB(0);
    glDisable(GL_DEPTH_TEST);

    float depth[2] = {0, 0};
    glReadPixels(100, 100, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth[0]);
    glReadPixels(900, 100, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth[1]);
    EXPECT_NEAR(depth[0], 0.5f, 1e-4f);
    EXPECT_NEAR(depth[1], 1.0f, 1e-4f);
    for (GLenum attachment : {GL_COLOR_ATTACHMENT0_EXT, GL_COLOR_ATTACHMENT1_EXT}) {
        expectRgbaNear(readPixel(attachment, 100, 100), {0, 0, 0, 0});
    }
}
