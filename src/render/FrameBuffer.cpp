#include "FrameBuffer.h"

#include "DefaultFramebuffer.h"
#include "DrawingProblems.h"

#include <algorithm>
#include <cstdio>

namespace {

// Linear filtering and clamped edges, shared by the depth and the colour textures.
void setTextureParameters() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_CLAMP));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_CLAMP));
}

}  // namespace

void checkFramebufferStatus(GLenum status) {
    const char* line = nullptr;
    switch (status) {
        case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT:
            line = "Incomplete attachment";
            break;
        case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT:
            line = "Missing attachment";
            break;
        case GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT:
            line = "Incomplete dimensions";
            break;
        case GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT:
            line = "Incomplete formats";
            break;
        case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT:
            line = "Incomplete draw buffer";
            break;
        case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT:
            line = "Incomplete read buffer";
            break;
        case GL_FRAMEBUFFER_UNSUPPORTED_EXT:
            line = "Framebufferobjects unsupported";
            break;
        default:
            break;
    }
    if (line) DrawingProblems::report(line);
}

FrameBuffer::FrameBuffer(int colorCount, int width, int height)
    : m_width(std::max(width, 1)), m_height(std::max(height, 1)) {
    glGenTextures(1, &m_depthTexture);
    for (int i = 0; i < colorCount; ++i) {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        m_colorTextures.push_back(texture);
    }
    allocate();

    glGenFramebuffersEXT(1, &m_framebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, m_framebuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D,
                              m_depthTexture, 0);
    for (int i = 0; i < colorCount; ++i) {
        const GLenum attachment = GL_COLOR_ATTACHMENT0_EXT + static_cast<GLenum>(i);
        glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, attachment, GL_TEXTURE_2D,
                                  m_colorTextures[static_cast<std::size_t>(i)], 0);
        m_drawBuffers.push_back(attachment);
    }

    m_status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
    if (m_status != GL_FRAMEBUFFER_COMPLETE_EXT) checkFramebufferStatus(m_status);

    bindDefaultFramebuffer();
}

FrameBuffer::~FrameBuffer() {
    glDeleteFramebuffersEXT(1, &m_framebuffer);
    glDeleteTextures(1, &m_depthTexture);
    glDeleteTextures(GLsizei(m_colorTextures.size()), m_colorTextures.data());
}

void FrameBuffer::allocate() {
    glBindTexture(GL_TEXTURE_2D, m_depthTexture);
    setTextureParameters();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, m_width, m_height, 0, GL_DEPTH_COMPONENT,
                 GL_FLOAT, nullptr);
    for (GLuint texture : m_colorTextures) {
        glBindTexture(GL_TEXTURE_2D, texture);
        setTextureParameters();
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, m_width, m_height, 0, GL_RGBA, GL_FLOAT,
                     nullptr);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

void FrameBuffer::resize(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == m_width && height == m_height) return;
    m_width = width;
    m_height = height;
    allocate();
}

void FrameBuffer::bind() const {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, m_framebuffer);
    glDrawBuffers(static_cast<GLsizei>(m_drawBuffers.size()), m_drawBuffers.data());
}
