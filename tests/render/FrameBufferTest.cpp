// Off-screen buffers: complete with float colour outputs (picking codes and negative cover tags)
// and a depth texture at any size, resized in place, and always left for the widget's
// framebuffer, never for window-system framebuffer 0.
#include "DefaultFramebuffer.h"
#include "FboSize.h"
#include "GlScene.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace {

GLint textureLevel(GLuint texture, GLenum name) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

GLint boundFramebuffer() {
    GLint value = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &value);
    return value;
}

class FrameBufferTest : public GlTest {};

TEST_F(FrameBufferTest, CompleteAtEverySizeAndBackToTheWidgetsFramebuffer) {
    FrameBuffer widget(1);  // stands in for the widget's own framebuffer object
    setDefaultFramebuffer(widget.m_framebuffer);
    for (int colours : {1, 2}) {
        auto buffer = std::make_unique<FrameBuffer>(colours);
        EXPECT_EQ(boundFramebuffer(), GLint(widget.m_framebuffer));
        const std::vector<GLuint> names = buffer->m_colorTextures;
        ASSERT_EQ(names.size(), size_t(colours));
        // Sizes below one pixel are taken as one.
        for (auto [width, height] :
             {std::pair{FBO_WIDTH, FBO_HEIGHT}, {1536, 1152}, {800, 600}, {0, -5}}) {
            if (width != FBO_WIDTH) buffer->resize(width, height);
            width = std::max(width, 1);
            height = std::max(height, 1);
            EXPECT_EQ(buffer->width(), width);
            EXPECT_EQ(buffer->height(), height);
            EXPECT_EQ(buffer->m_colorTextures, names);  // new storage under the same names
            buffer->bind();
            EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT),
                      GLenum(GL_FRAMEBUFFER_COMPLETE_EXT));
            for (GLuint texture : names) {
                EXPECT_EQ(textureLevel(texture, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA32F);
                EXPECT_EQ(textureLevel(texture, GL_TEXTURE_WIDTH), width);
            }
            EXPECT_EQ(textureLevel(buffer->m_depthTexture, GL_TEXTURE_HEIGHT), height);
            EXPECT_GT(textureLevel(buffer->m_depthTexture, GL_TEXTURE_DEPTH_SIZE), 0);
            bindDefaultFramebuffer();
            EXPECT_EQ(boundFramebuffer(), GLint(widget.m_framebuffer));
        }
    }
    setDefaultFramebuffer(0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
