#include "DefaultFramebuffer.h"
#include "FboSize.h"
#include "FrameBuffer.h"
#include "GlFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

GLint integerState(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

GLint textureLevelParameter(GLuint texture, GLenum name) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

GLint attachedObject(GLenum attachment) {
    GLint name = 0;
    glGetFramebufferAttachmentParameterivEXT(GL_FRAMEBUFFER_EXT, attachment,
                                             GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT, &name);
    return name;
}

void expectCompleteBuffer(const FrameBuffer& buffer, int colorCount, int width = FBO_WIDTH,
                          int height = FBO_HEIGHT) {
    EXPECT_EQ(buffer.width(), width);
    EXPECT_EQ(buffer.height(), height);
    EXPECT_EQ(buffer.m_status, static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    ASSERT_EQ(buffer.m_colorTextures.size(), static_cast<std::size_t>(colorCount));
    ASSERT_EQ(buffer.m_drawBuffers.size(), static_cast<std::size_t>(colorCount));
    for (int i = 0; i < colorCount; ++i) {
        EXPECT_EQ(buffer.m_drawBuffers[i], GL_COLOR_ATTACHMENT0_EXT + static_cast<GLenum>(i));
        const GLuint texture = buffer.m_colorTextures[i];
        EXPECT_EQ(textureLevelParameter(texture, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA32F);
        EXPECT_EQ(textureLevelParameter(texture, GL_TEXTURE_WIDTH), width);
        EXPECT_EQ(textureLevelParameter(texture, GL_TEXTURE_HEIGHT), height);
    }
    EXPECT_EQ(textureLevelParameter(buffer.m_depthTexture, GL_TEXTURE_WIDTH), width);
    EXPECT_EQ(textureLevelParameter(buffer.m_depthTexture, GL_TEXTURE_HEIGHT), height);
    EXPECT_GT(textureLevelParameter(buffer.m_depthTexture, GL_TEXTURE_DEPTH_SIZE), 0);

    buffer.bind();
    EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    EXPECT_EQ(attachedObject(GL_DEPTH_ATTACHMENT_EXT), static_cast<GLint>(buffer.m_depthTexture));
    for (int i = 0; i < colorCount; ++i) {
        EXPECT_EQ(attachedObject(GL_COLOR_ATTACHMENT0_EXT + i),
                  static_cast<GLint>(buffer.m_colorTextures[i]));
        EXPECT_EQ(integerState(GL_DRAW_BUFFER0 + i),
                  static_cast<GLint>(GL_COLOR_ATTACHMENT0_EXT + i));
    }
    bindDefaultFramebuffer();
}

}  // namespace

class FrameBufferTest : public GlTest {};

TEST_F(FrameBufferTest, OneAndTwoColourAttachmentsAreComplete) {
    for (int colorCount : {1, 2}) {
        SCOPED_TRACE(colorCount);
        glBindTexture(GL_TEXTURE_2D, 0);
        std::string output;
        FrameBuffer* buffer = nullptr;
        output = captureStdout([&] { buffer = new FrameBuffer(colorCount); });
        EXPECT_EQ(output, "");
        // Leaves the screen's framebuffer bound and no texture.
        EXPECT_EQ(integerState(GL_FRAMEBUFFER_BINDING_EXT), 0);
        EXPECT_EQ(integerState(GL_TEXTURE_BINDING_2D), 0);
        expectCompleteBuffer(*buffer, colorCount);
        // Resized, and made at a size of its own: the same names with new storage, complete,
        // and sizes below one pixel taken as one.
        const std::vector<GLuint> names = buffer->m_colorTextures;
        const GLuint depth = buffer->m_depthTexture;
        for (const auto& [width, height] : {std::pair{1536, 1152}, {800, 600}, {0, -5}}) {
            buffer->resize(width, height);
            expectCompleteBuffer(*buffer, colorCount, std::max(width, 1), std::max(height, 1));
            EXPECT_EQ(buffer->m_colorTextures, names);
            EXPECT_EQ(buffer->m_depthTexture, depth);
        }
        delete buffer;
        FrameBuffer sized(colorCount, 640, 480);
        expectCompleteBuffer(sized, colorCount, 640, 480);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(FrameBufferTest, ReturnsToTheWidgetsFramebufferNotToZero) {
    // Stand-in for the widget's own framebuffer object.
    FrameBuffer widget(1);
    setDefaultFramebuffer(widget.m_framebuffer);
    FrameBuffer offScreen(2);
    EXPECT_EQ(integerState(GL_FRAMEBUFFER_BINDING_EXT), static_cast<GLint>(widget.m_framebuffer));
    offScreen.bind();
    bindDefaultFramebuffer();
    EXPECT_EQ(integerState(GL_FRAMEBUFFER_BINDING_EXT), static_cast<GLint>(widget.m_framebuffer));
    setDefaultFramebuffer(0);
    bindDefaultFramebuffer();
    EXPECT_EQ(integerState(GL_FRAMEBUFFER_BINDING_EXT), 0);
}

TEST(FramebufferStatus, OneLinePerIncompleteStatusAndNothingElse) {
    const std::pair<GLenum, const char*> cases[] = {
        {GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT, "Incomplete attachment\n"},
        {GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT, "Missing attachment\n"},
        {GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT, "Incomplete dimensions\n"},
        {GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT, "Incomplete formats\n"},
        {GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT, "Incomplete draw buffer\n"},
        {GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT, "Incomplete read buffer\n"},
        {GL_FRAMEBUFFER_UNSUPPORTED_EXT, "Framebufferobjects unsupported\n"},
        {GL_FRAMEBUFFER_COMPLETE_EXT, ""},
        {GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE_EXT, ""},
        {0, ""},
    };
    for (const auto& [status, line] : cases) {
        EXPECT_EQ(captureStdout([&] { checkFramebufferStatus(status); }), line) << status;
    }
}
