#pragma once

#include <GL/glew.h>

#include <vector>

// Prints one line naming an incomplete framebuffer status; prints nothing for any other value.
void checkFramebufferStatus(GLenum status);

// An off-screen framebuffer of FBO_WIDTH x FBO_HEIGHT with a depth texture and one or two
// floating-point (GL_RGBA32F) colour textures, so that picking codes and accumulated sums keep
// full precision. Created once and kept for the life of the GL context; the GL objects are not
// deleted by the destructor because the owner may outlive the context.
class FrameBuffer {
public:
    // colorCount colour attachments (1 or 2). Leaves the default framebuffer bound and no 2D
    // texture bound. An incomplete framebuffer is reported and kept.
    explicit FrameBuffer(int colorCount);

    FrameBuffer(const FrameBuffer&) = delete;
    FrameBuffer& operator=(const FrameBuffer&) = delete;

    // Binds this framebuffer and makes all its colour attachments draw buffers, in order.
    void bind() const;

    GLuint m_framebuffer = 0;
    GLuint m_depthTexture = 0;
    std::vector<GLuint> m_colorTextures;
    // GL_COLOR_ATTACHMENT0_EXT + i for i = 0 .. N-1, in order, for glDrawBuffers.
    std::vector<GLenum> m_drawBuffers;
    // Status found right after the attachments were made.
    GLenum m_status = 0;
};
