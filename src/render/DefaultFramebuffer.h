#pragma once

#include <GL/glew.h>

// The framebuffer that shows on screen. A toolkit widget may render into a framebuffer object of
// its own rather than into window-system framebuffer 0, so every "back to the screen" binding goes
// through this id. The drawing surface sets it at the start of every frame (the widget's id can
// change on resize); until then it is 0.
GLuint defaultFramebuffer();
void setDefaultFramebuffer(GLuint framebuffer);
// glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, defaultFramebuffer()).
void bindDefaultFramebuffer();
