// Named values of the renderer's shading program, where a picture would not say what broke: the
// picking code and cover tag each object type writes, and the curves' opacity.
#include "FboSize.h"
#include "GlScene.h"
#include "ShaderProgram.h"

namespace {

using Rgba = std::array<float, 4>;

Rgba readPixel(GLenum attachment, int x, int y) {
    Rgba value{};
    glReadBuffer(attachment);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_FLOAT, value.data());
    return value;
}

void expectRgbaNear(const Rgba& actual, const Rgba& expected, float tolerance) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "channel " << i;
}

class ShaderOutputTest : public SceneTest {};

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
    // Uniforms: ShadowMap, enable_shadow, object_type, light_type, Texture0, uColor.
    const ShaderProgram& shading = *m_renderer->program(0);
    FrameBuffer scene(2);
    glViewport(0, 0, FBO_WIDTH, FBO_HEIGHT);
    for (GLenum cap : {GL_DEPTH_TEST, GL_CULL_FACE, GL_BLEND}) glDisable(cap);
    for (GLenum mode : {GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(mode);
        glLoadIdentity();
    }
    shading.use();
    glUniform1iARB(shading.location(1), 0);
    glUniform1iARB(shading.location(3), 4);                    // unlit
    glUniform4fARB(shading.location(5), 0.2f, 0.4f, 0.6f, 1);  // the spheres' colour
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const Rgba clear{0, 0, 0, c.blend ? 1.0f : 0.0f};
        scene.bind();
        glClearColor(clear[0], clear[1], clear[2], clear[3]);
        glClear(GL_COLOR_BUFFER_BIT);
        if (c.blend) {
            glEnable(GL_BLEND);
            glDisablei(GL_BLEND, 1);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        }
        glUniform1iARB(shading.location(2), c.type);
        glColor4fv(c.colour.data());
        glMultiTexCoord4fvARB(GL_TEXTURE0, c.texCoord.data());
        glRectf(-1, -1, 0, 1);
        glDisable(GL_BLEND);
        expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT0_EXT, 100, 300), c.picture, 1e-4f);
        expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT1_EXT, 100, 300), c.code, 1e-6f);
        expectRgbaNear(readPixel(GL_COLOR_ATTACHMENT1_EXT, 900, 300), clear, 0);
    }
    glUseProgramObjectARB(0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
