#include "DefaultFramebuffer.h"

namespace {
GLuint g_defaultFramebuffer = 0;
}

GLuint defaultFramebuffer() { return g_defaultFramebuffer; }

void setDefaultFramebuffer(GLuint framebuffer) { g_defaultFramebuffer = framebuffer; }

void bindDefaultFramebuffer() { glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, g_defaultFramebuffer); }
