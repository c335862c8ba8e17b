// Off-screen buffers: complete with float colour outputs and a depth texture at any size, resized
// in place, and always left for the widget's framebuffer, never for window-system framebuffer 0.
#include "DefaultFramebuffer.h"
#include "FboSize.h"
#include "GlScene.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace {

GLint integerState(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

GLint textureLevel(GLuint texture, GLenum name) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

void expectComplete(const FrameBuffer& buffer, size_t colours, int width, int height) {
    EXPECT_EQ(buffer.width(), width);
    EXPECT_EQ(buffer.height(), height);
    ASSERT_EQ(buffer.m_colorTextures.size(), colours);
    buffer.bind();
    EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT), GLenum(GL_FRAMEBUFFER_COMPLETE_EXT));
    for (size_t i = 0; i < colours; ++i) {
        EXPECT_EQ(integerState(GL_DRAW_BUFFER0 + GLenum(i)), GLint(GL_COLOR_ATTACHMENT0_EXT + i));
        GLint attached = 0;
        glGetFramebufferAttachmentParameterivEXT(
            GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT + GLenum(i),
            GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT, &attached);
        EXPECT_EQ(GLuint(attached), buffer.m_colorTextures[i]);
        EXPECT_EQ(textureLevel(buffer.m_colorTextures[i], GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA32F);
        EXPECT_EQ(textureLevel(buffer.m_colorTextures[i], GL_TEXTURE_WIDTH), width);
    }
    EXPECT_EQ(textureLevel(buffer.m_depthTexture, GL_TEXTURE_HEIGHT), height);
    EXPECT_GT(textureLevel(buffer.m_depthTexture, GL_TEXTURE_DEPTH_SIZE), 0);
    bindDefaultFramebuffer();
}

class FrameBufferTest : public GlTest {};

TEST_F(FrameBufferTest, CompleteAtEverySizeAndBackToTheWidgetsFramebuffer) {
    FrameBuffer widget(1);  // stands in for the widget's own framebuffer object
    setDefaultFramebuffer(widget.m_framebuffer);
    for (size_t colours : {1, 2}) {
        SCOPED_TRACE(colours);
        auto buffer = std::make_unique<FrameBuffer>(int(colours));
        EXPECT_EQ(integerState(GL_FRAMEBUFFER_BINDING_EXT), GLint(widget.m_framebuffer));
        EXPECT_EQ(integerState(GL_TEXTURE_BINDING_2D), 0);
        expectComplete(*buffer, colours, FBO_WIDTH, FBO_HEIGHT);
        // New storage under the same names; sizes below one pixel are taken as one.
        const std::vector<GLuint> names = buffer->m_colorTextures;
        for (const auto& [width, height] : {std::pair{1536, 1152}, {800, 600}, {0, -5}}) {
            buffer->resize(width, height);
            expectComplete(*buffer, colours, std::max(width, 1), std::max(height, 1));
            EXPECT_EQ(buffer->m_colorTextures, names);
        }
        expectComplete(FrameBuffer(int(colours), 640, 480), colours, 640, 480);
        buffer->bind();
        bindDefaultFramebuffer();
        EXPECT_EQ(integerState(GL_FRAMEBUFFER_BINDING_EXT), GLint(widget.m_framebuffer));
    }
    setDefaultFramebuffer(0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
