#include "GraphicsMemory.h"

#include <GL/glew.h>

#include <cstdlib>

namespace {

bool g_failed = false;
bool g_refuseNext = std::getenv("RAMIFLEX_FAIL_GRAPHICS_ALLOCATION") != nullptr;

}  // namespace

namespace GraphicsMemory {

void noteFailure() { g_failed = true; }

bool takeFailure() {
    bool failed = g_failed;
    g_failed = false;
    // Other errors are the drawing code's own business; the queue is emptied all the same, so
    // that an old error is not taken for a new one. A lost context keeps reporting errors.
    for (int i = 0; i < 64; ++i) {
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR) break;
        if (error == GL_OUT_OF_MEMORY) failed = true;
    }
    return failed;
}

bool refuseAllocation() {
    const bool refuse = g_refuseNext;
    g_refuseNext = false;
    return refuse;
}

void failNextAllocation() { g_refuseNext = true; }

}  // namespace GraphicsMemory
