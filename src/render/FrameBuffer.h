#pragma once

#include <GL/glew.h>

#include "FboSize.h"

#include <vector>

// Prints one line naming an incomplete framebuffer status; prints nothing for any other value.
void checkFramebufferStatus(GLenum status);

// An off-screen framebuffer (FBO_WIDTH x FBO_HEIGHT unless told otherwise) with a depth texture
// and one or two floating-point (GL_RGBA32F) colour textures, so that picking codes and
// accumulated sums keep full precision. Resizing gives the same textures new storage. The
// framebuffer and its textures are deleted with it, in the context they were made in (which must
// be current then).
class FrameBuffer {
public:
    // colorCount colour attachments (1 or 2). Leaves the default framebuffer bound and no 2D
    // texture bound. An incomplete framebuffer is reported and kept.
    explicit FrameBuffer(int colorCount, int width = FBO_WIDTH, int height = FBO_HEIGHT);

    ~FrameBuffer();
    FrameBuffer(const FrameBuffer&) = delete;
    FrameBuffer& operator=(const FrameBuffer&) = delete;

    // Binds this framebuffer and makes all its colour attachments draw buffers, in order.
    void bind() const;
    // New storage of width x height for every attachment (contents undefined); the names and
    // the attachments stay. Sizes below 1 are taken as 1.
    void resize(int width, int height);
    int width() const { return m_width; }
    int height() const { return m_height; }

    GLuint m_framebuffer = 0;
    GLuint m_depthTexture = 0;
    std::vector<GLuint> m_colorTextures;
    // GL_COLOR_ATTACHMENT0_EXT + i for i = 0 .. N-1, in order, for glDrawBuffers.
    std::vector<GLenum> m_drawBuffers;
    // Status found right after the attachments were made.
    GLenum m_status = 0;

private:
    void allocate();

    int m_width = FBO_WIDTH;
    int m_height = FBO_HEIGHT;
};
