#include "FboSize.h"
#include "FrameBuffer.h"
#include "GlFixture.h"
#include "CurveBuffers.h"
#include "ShaderProgram.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using Rgba = std::array<float, 4>;

enum ShadingUniform { kShadowMap, kEnableShadow, kObjectType, kLightType, kTexture0, kColor };

std::unique_ptr<ShaderProgram> shadingProgram() {
    auto program = std::make_unique<ShaderProgram>("shader/shading_dir_vert.glsl",
                                                   "shader/shading_dir_frag.glsl",
                                                   std::vector<ShaderUniform>{{"ShadowMap"},
                                                                              {"enable_shadow"},
                                                                              {"object_type"},
                                                                              {"light_type"},
                                                                              {"Texture0"},
                                                                              {"uColor"}},
                                                   CurveBuffers::kVertexPrelude);
    program->buildProgram();
    CurveBuffers::assignSamplerUnits(program->m_handle);
    return program;
}

// Quad in normalised device coordinates (identity matrices), facing +z.
// filled: the third texture coordinate, 1 on the treemap's filled cushion squares.
void drawQuad(float x0, float y0, float x1, float y1, float filled = 0) {
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glTexCoord3f(0, 0, filled);
    glVertex3f(x0, y0, 0);
    glTexCoord3f(1, 0, filled);
    glVertex3f(x1, y0, 0);
    glTexCoord3f(1, 1, filled);
    glVertex3f(x1, y1, 0);
    glTexCoord3f(0, 1, filled);
    glVertex3f(x0, y1, 0);
    glEnd();
}

// Quad without texture coordinates: the current ones (the picking codes) stay in force.
void drawPlainQuad(float x0, float y0, float x1, float y1) {
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
}

Rgba readPixel(GLenum attachment, int x, int y) {
    Rgba value{};
    glReadBuffer(attachment);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_FLOAT, value.data());
    return value;
}

void expectRgbaNear(const Rgba& actual, const Rgba& expected, float tolerance = 1e-6f) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "channel " << i;
}

float brightness(const Rgba& c) { return c[0] + c[1] + c[2]; }

// Scene buffer with both outputs cleared to (0, 0, 0, 0), identity matrices, no depth test.
class ShadingOutputTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (HasFatalFailure()) return;
        m_program = shadingProgram();
        ASSERT_TRUE(m_program->isLinked());
        m_scene = std::make_unique<FrameBuffer>(2);
        m_scene->bind();
        glViewport(0, 0, FBO_WIDTH, FBO_HEIGHT);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        for (GLenum mode : {GL_PROJECTION, GL_MODELVIEW}) {
            glMatrixMode(mode);
            glLoadIdentity();
        }
        m_program->use();
        glUniform1iARB(m_program->location(kShadowMap), 7);
        glUniform1iARB(m_program->location(kTexture0), 0);
        glUniform1iARB(m_program->location(kEnableShadow), 0);
        glUniform1iARB(m_program->location(kLightType), 4);
    }
    void TearDown() override {
        glUseProgramObjectARB(0);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    std::unique_ptr<ShaderProgram> m_program;
    std::unique_ptr<FrameBuffer> m_scene;
};

}  // namespace

TEST_F(ShadingOutputTest, VertexWritesItsRedChannelAsPickingCode) {
    glUniform1iARB(m_program->location(kObjectType), 0);
    glUniform4fARB(m_program->location(kColor), 0.2f, 0.4f, 0.6f, 1.0f);
    glColor4f(0.25f, 0, 0, 1);  // vertex 1 of 4
    drawQuad(-1, -1, 0, 1);
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT1_EXT, 100, 300), {0.25f, 0, 0, 1});
    // The visible colour is uColor, unlit with lighting off.
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 100, 300), {0.2f, 0.4f, 0.6f, 1}, 1e-5f);
    // Uncovered pixels keep the clear colour, alpha 0.
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT1_EXT, 900, 300), {0, 0, 0, 0});
}

TEST_F(ShadingOutputTest, EdgesAndCurvesWriteTheirTextureCoordinates) {
    glUniform1iARB(m_program->location(kObjectType), 1);
    glColor4f(1, 0, 0, 1);
    glMultiTexCoord4fARB(GL_TEXTURE0, 0, 0.5f, 0, 1);  // hierarchy edge 2 of 4
    drawPlainQuad(-1, -1, 0, 1);
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT1_EXT, 100, 300), {0, 0.5f, 0, 0.75f});
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 100, 300), {1, 0, 0, 1}, 1e-5f);

    glUniform1iARB(m_program->location(kObjectType), 4);  // maximum pass of the curves
    glColor4f(0, 1, 0, 0.2f);
    glMultiTexCoord4fARB(GL_TEXTURE0, 0, 0, 0.75f, 0);  // curve 3 of 4
    drawPlainQuad(0, -1, 1, 1);
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT1_EXT, 900, 300), {0, 0, 0.75f, -0.5f});
    // Its visible output is a trace of the curve: 0.35 of its colour whatever its alpha, so
    // that a faint curve still shows under the maximum blend of that pass. A curve's alpha a
    // is taken as the opacity of three layers, 1 - (1 - a)^3.
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 900, 300), {0, 0.35f, 0, 0.488f}, 1e-5f);
}

TEST_F(ShadingOutputTest, CodeSurvivesAlphaBlendingOfCurves) {
    // The curve passes blend the picture but write the picking output unblended, so the code and
    // its cover tag arrive whole over whatever was drawn before.
    glClearColor(0, 0, 0, 1);  // the renderer's clear colour
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glDisablei(GL_BLEND, 1);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glUniform1iARB(m_program->location(kObjectType), 1);
    glColor4f(1, 1, 0, 0.1f);
    glMultiTexCoord4fARB(GL_TEXTURE0, 0, 0, 0.375f, 0);
    drawPlainQuad(-1, -1, 1, 1);
    glDisable(GL_BLEND);
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT1_EXT, 500, 300), {0, 0, 0.375f, -0.5f});
    // The picture itself was blended over the clear colour with the curve's opacity,
    // 1 - (1 - 0.1)^3 = 0.271.
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 500, 300),
                   {0.271f, 0.271f, 0, 0.271f * 0.271f + 0.729f}, 1e-4f);
}

TEST_F(ShadingOutputTest, GridNamesNothingAndTexturesOnlyFilledQuads) {
    GLuint red = 0;
    glGenTextures(1, &red);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, red);
    const unsigned char texel[4] = {255, 0, 0, 255};
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);

    glUniform1iARB(m_program->location(kObjectType), 3);
    glColor4f(1, 1, 1, 1);
    drawQuad(-1, -1, 0, 1, 1);  // a cushion-filled leaf
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 200, 400), {1, 0, 0, 1}, 1e-5f);
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT1_EXT, 200, 400), {0, 0, 0, 0});

    // An outline: a horizontal line whose texture coordinates run along it.
    glBegin(GL_LINES);
    glTexCoord2f(0, 0);
    glVertex2f(0.0f, 0.5f + 1.0f / 768);
    glTexCoord2f(1, 0);
    glVertex2f(1.0f, 0.5f + 1.0f / 768);
    glEnd();
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 800, 576), {1, 1, 1, 1}, 1e-5f);
    expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT1_EXT, 800, 576), {0, 0, 0, 0});

    // A balloon circle smoothed, as the viewer draws lines: its texture coordinates (sin, cos)
    // turn with it, and a software renderer draws it as thin quads. It must stay white; when the
    // shader guessed filled quads from the texture coordinates' derivatives it went red in spots.
    glEnable(GL_LINE_SMOOTH);
    glBegin(GL_LINE_STRIP);
    for (int degrees = 0; degrees <= 360; degrees += 5) {
        const float a = static_cast<float>(degrees) * 3.14159265f / 180;
        glTexCoord2f(std::sin(a), std::cos(a));
        glVertex2f(0.5f + 0.3f * std::sin(a), -0.5f + 0.4f * std::cos(a));
    }
    glEnd();
    glDisable(GL_LINE_SMOOTH);
    std::vector<float> box(4 * 400 * 360);
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    glReadPixels(560, 20, 400, 360, GL_RGBA, GL_FLOAT, box.data());
    int white = 0, textured = 0;
    for (size_t i = 0; i < box.size(); i += 4) {
        white += box[i + 1] > 0.5f;
        textured += box[i] > 0.5f && box[i + 1] < 0.5f;
    }
    EXPECT_GT(white, 500);
    EXPECT_EQ(textured, 0);

    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &red);
}

TEST_F(ShadingOutputTest, LightTypesShadeDifferently) {
    // Light 0 half a unit in front of the quad's centre, pointing at it.
    const GLfloat position[4] = {0, 0, 0.5f, 1};
    const GLfloat direction[3] = {0, 0, -1};
    const GLfloat diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    const GLfloat ambient[4] = {0.1f, 0.1f, 0.1f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, direction);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 0.01f);
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, 0.01f);
    glUniform1iARB(m_program->location(kObjectType), 0);
    glUniform4fARB(m_program->location(kColor), 1, 1, 1, 1);

    Rgba centre[5];
    Rgba side[5];  // 0.9 off the axis: about 61 degrees from the light's direction
    for (int type : {0, 1, 2, 4}) {
        glUniform1iARB(m_program->location(kLightType), type);
        drawQuad(-1, -1, 1, 1);
        centre[type] = readPixel(GL_COLOR_ATTACHMENT0_EXT, 512, 384);
        side[type] = readPixel(GL_COLOR_ATTACHMENT0_EXT, 51, 384);
    }
    expectRgbaNear(centre[4], {1, 1, 1, 1}, 1e-5f);  // lighting off: the plain colour
    for (int type : {0, 1, 2}) {
        SCOPED_TRACE(type);
        // Under the light every type lights fully; beside it they differ.
        EXPECT_GT(brightness(centre[type]), 2.5f);
        EXPECT_LT(brightness(side[type]), brightness(side[4]));
    }
    EXPECT_GT(brightness(side[0]), brightness(side[1]) + 0.1f);   // point beats the soft cone
    EXPECT_GT(brightness(side[1]), brightness(side[2]) + 0.01f);  // the cone beats the spot
    EXPECT_NEAR(brightness(side[2]), 3 * (0.2f + 0.1f), 1e-3f);   // ambient only outside the spot
}

TEST_F(ShadingOutputTest, FloorLooksUpTheShadowMap) {
    FrameBuffer shadowMap(1);
    // The bias matrix maps the quad's z = 0 to shadow depth 0.5.
    const GLfloat bias[16] = {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 1};
    glActiveTexture(GL_TEXTURE7);
    glMatrixMode(GL_TEXTURE);
    glLoadMatrixf(bias);
    glBindTexture(GL_TEXTURE_2D, shadowMap.m_colorTextures[0]);
    glMatrixMode(GL_MODELVIEW);
    glActiveTexture(GL_TEXTURE0);

    glUniform1iARB(m_program->location(kObjectType), 0);
    glUniform4fARB(m_program->location(kColor), 1, 1, 1, 1);
    glUniform1iARB(m_program->location(kEnableShadow), 1);
    const std::pair<Rgba, float> cases[] = {
        {{0.2f, 1, 0, 1}, 0.35f},  // an occluder at depth 0.2 is nearer the light: in shadow
        {{0.9f, 1, 0, 1}, 1.0f},   // the nearest thing is the floor itself: lit
        {{0.0f, 0, 0, 1}, 1.0f},   // nothing drawn into the map: lit
    };
    for (const auto& [stored, expected] : cases) {
        shadowMap.bind();
        glClearColor(stored[0], stored[1], stored[2], stored[3]);
        glClear(GL_COLOR_BUFFER_BIT);
        m_scene->bind();
        drawQuad(-1, -1, 1, 1);
        expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 512, 384),
                       {expected, expected, expected, 1}, 1e-4f);
    }

    glActiveTexture(GL_TEXTURE7);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, 0);
    glMatrixMode(GL_MODELVIEW);
    glActiveTexture(GL_TEXTURE0);
}
