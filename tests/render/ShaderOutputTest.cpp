// Named values of the shader programs, where a picture would not say what broke: the picking
// code and cover tag each object type writes, the curves' opacity and the light kinds of the
// shading program, and what the accumulating methods' programs sum and compose.
#include "CurveBuffers.h"
#include "FboSize.h"
#include "GlScene.h"
#include "ShaderProgram.h"

#include <cmath>
#include <memory>
#include <vector>

namespace {

enum ShadingUniform { kShadowMap, kEnableShadow, kObjectType, kLightType, kTexture0, kColor };

// The files' names are kept, not copied: literals only.
std::unique_ptr<ShaderProgram> program(const char* vertex, const char* fragment,
                                       std::vector<ShaderUniform> uniforms, bool curves) {
    auto p = std::make_unique<ShaderProgram>(vertex, fragment, std::move(uniforms),
                                             curves ? CurveBuffers::kVertexPrelude : nullptr);
    p->buildProgram();
    if (curves) CurveBuffers::assignSamplerUnits(p->m_handle);
    EXPECT_TRUE(p->isLinked()) << fragment;
    return p;
}

void clearBuffer(const FrameBuffer& buffer, const Rgba& colour) {
    buffer.bind();
    glClearColor(colour[0], colour[1], colour[2], colour[3]);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void bindTexture(int unit, GLuint texture) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    glActiveTexture(GL_TEXTURE0);
}

float brightness(const Rgba& c) { return c[0] + c[1] + c[2]; }

// A scene buffer (picture and picking output) cleared to 0, identity matrices, no depth test,
// and the shading program unlit without shadows.
class ShaderOutputTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (HasFatalFailure()) return;
        m_scene = std::make_unique<FrameBuffer>(2);
        clearBuffer(*m_scene, {0, 0, 0, 0});
        glViewport(0, 0, FBO_WIDTH, FBO_HEIGHT);
        for (GLenum cap : {GL_DEPTH_TEST, GL_CULL_FACE, GL_BLEND}) glDisable(cap);
        for (GLenum mode : {GL_PROJECTION, GL_MODELVIEW}) {
            glMatrixMode(mode);
            glLoadIdentity();
        }
        m_shading = program("shader/shading_dir_vert.glsl", "shader/shading_dir_frag.glsl",
                            {{"ShadowMap"},
                             {"enable_shadow"},
                             {"object_type"},
                             {"light_type"},
                             {"Texture0"},
                             {"uColor"}},
                            true);
        m_shading->use();
        set(kShadowMap, 7);
        set(kTexture0, 0);
        set(kEnableShadow, 0);
        set(kLightType, 4);
    }
    void TearDown() override {
        for (int unit : {0, 1, 2, 7}) bindTexture(unit, 0);
        glUseProgramObjectARB(0);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    void set(ShadingUniform uniform, int value) {
        glUniform1iARB(m_shading->location(uniform), value);
    }

    std::unique_ptr<FrameBuffer> m_scene;
    std::unique_ptr<ShaderProgram> m_shading;
};

TEST_F(ShaderOutputTest, EachObjectTypeWritesItsCodeAndCoverTag) {
    // The cover tag in the picking alpha tells vertex 0, edge 0 and curve 0 apart: spheres 1,
    // hierarchy edges 0.75, curves -0.5. A curve's alpha a is the opacity of three layers,
    // 1 - (1 - a)^3; in the maximum pass (type 4) its picture is a trace of 0.35 of its colour.
    // Blended (over the renderer's black) the picture takes the opacity, the code arrives whole.
    struct Case {
        int type;
        bool blend;
        Rgba colour, texCoord, picture, code;
    };
    const Case cases[] = {
        {0, false, {0.25f, 0, 0, 1}, {}, {0.2f, 0.4f, 0.6f, 1}, {0.25f, 0, 0, 1}},
        {1, false, {1, 0, 0, 1}, {0, 0.5f, 0, 1}, {1, 0, 0, 1}, {0, 0.5f, 0, 0.75f}},
        {4, false, {0, 1, 0, 0.2f}, {0, 0, 0.75f}, {0, 0.35f, 0, 0.488f}, {0, 0, 0.75f, -0.5f}},
        {1,
         true,
         {1, 1, 0, 0.1f},
         {0, 0, 0.375f},
         {0.271f, 0.271f, 0, 0.8024f},
         {0, 0, 0.375f, -0.5f}},
    };
    glUniform4fARB(m_shading->location(kColor), 0.2f, 0.4f, 0.6f, 1);  // the spheres' colour
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const Rgba clear{0, 0, 0, c.blend ? 1.0f : 0.0f};
        clearBuffer(*m_scene, clear);
        if (c.blend) {
            glEnable(GL_BLEND);
            glDisablei(GL_BLEND, 1);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        }
        set(kObjectType, c.type);
        glColor4fv(c.colour.data());
        glMultiTexCoord4fvARB(GL_TEXTURE0, c.texCoord.data());
        glRectf(-1, -1, 0, 1);
        glDisable(GL_BLEND);
        expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 100, 300), c.picture, 1e-4f);
        expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT1_EXT, 100, 300), c.code, 1e-6f);
        expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT1_EXT, 900, 300), clear, 0);
    }
}

TEST_F(ShaderOutputTest, LightKindsShadeDifferently) {
    // Light 0 half a unit in front of the quad's centre, pointing at it.
    const GLfloat position[4] = {0, 0, 0.5f, 1}, direction[3] = {0, 0, -1};
    const GLfloat diffuse[4] = {0.8f, 0.8f, 0.8f, 1}, ambient[4] = {0.1f, 0.1f, 0.1f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, direction);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 0.01f);
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, 0.01f);
    set(kObjectType, 0);
    glUniform4fARB(m_shading->location(kColor), 1, 1, 1, 1);
    float side[5] = {};  // 0.9 off the axis: about 61 degrees from the light's direction
    for (int type : {0, 1, 2, 4}) {
        set(kLightType, type);
        drawQuad(-1, -1, 1, 1);
        // Under the light every kind lights fully; lighting off (4) gives the plain colour.
        EXPECT_GT(brightness(readPixel(GL_COLOR_ATTACHMENT0_EXT, 512, 384)), 2.5f) << type;
        side[type] = brightness(readPixel(GL_COLOR_ATTACHMENT0_EXT, 51, 384));
    }
    EXPECT_FLOAT_EQ(side[4], 3);
    EXPECT_GT(side[0], side[1] + 0.1f);              // point beats the soft cone
    EXPECT_GT(side[1], side[2] + 0.01f);             // the cone beats the spot
    EXPECT_NEAR(side[2], 3 * (0.2f + 0.1f), 1e-3f);  // ambient only outside the spot
}

// Red alpha 0.25 and blue alpha 0.125 over the left half, summed as the accumulation pass does
// (blend ONE, ONE): alpha-weighted colours and the alpha sum 37/64 + 169/512, and for the
// weighted average the count of fragments; then each method's final program composes the sums
// over a green scene.
TEST_F(ShaderOutputTest, AccumulatingMethodsSumThenComposeOverTheScene) {
    const auto weighting =
        program("shader/weighting_vert.glsl", "shader/weighting_frag.glsl", {{"light_type"}}, true);
    const auto sum =
        program("shader/sum_vert.glsl", "shader/sum_frag.glsl", {{"light_type"}}, true);
    const auto weighted =
        program("shader/weighting_final_vert.glsl", "shader/weighting_final_frag.glsl",
                {{"ColorTex0"}, {"ColorTex1"}, {"Background"}}, false);
    const auto summed = program("shader/sum_final_vert.glsl", "shader/sum_final_frag.glsl",
                                {{"ColorTex0"}, {"Background"}}, false);
    struct Case {
        const ShaderProgram *sum, *final;
        Rgba composed;
    };
    // Average colour (0.63656, 0, 0.36344) and alpha 0.45410 of two layers: the green shows
    // through with (1 - 0.45410)^2; or the average colour with the summed coverage 0.908203125.
    const Case cases[] = {{weighting.get(), weighted.get(), {0.446861f, 0.298005f, 0.255134f, 1}},
                          {sum.get(), summed.get(), {0.578125f, 0.091796875f, 0.330078125f, 1}}};
    for (const Case& c : cases) {
        const int outputs = int(c.final->m_uniforms.size()) - 1;
        FrameBuffer sums(outputs);
        clearBuffer(sums, {0, 0, 0, 0});
        c.sum->use();
        glUniform1iARB(c.sum->location(0), 4);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        for (const Rgba& colour : {Rgba{1, 0, 0, 0.25f}, Rgba{0, 0, 1, 0.125f}}) {
            glColor4fv(colour.data());
            drawQuad(-1, -1, 0, 1);
        }
        glDisable(GL_BLEND);
        expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 100, 100),
                       {0.578125f, 0, 0.330078125f, 0.908203125f}, 1e-5f);
        if (outputs == 2) EXPECT_FLOAT_EQ(readPixel(GL_COLOR_ATTACHMENT1_EXT, 100, 100)[0], 2);
        clearBuffer(*m_scene, {0, 1, 0, 1});
        FrameBuffer picture(1);
        clearBuffer(picture, {0, 0, 0, 0});
        c.final->use();
        for (int unit = 0; unit <= outputs; ++unit) {
            glUniform1iARB(c.final->location(unit), unit);
            bindTexture(unit,
                        unit < outputs ? sums.m_colorTextures[unit] : m_scene->m_colorTextures[0]);
        }
        drawQuad(-1, -1, 1, 1);
        expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 100, 100), c.composed, 2e-5f);
        expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 900, 100), {0, 1, 0, 1}, 1e-5f);
    }
}

}  // namespace
