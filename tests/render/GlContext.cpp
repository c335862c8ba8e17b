#include "GlContext.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <unistd.h>

namespace {

// An OpenGL 3.2 compatibility context, the viewer's own (fixed-function matrices, lights and
// immediate mode beside the shaders), current on a small pbuffer: all drawing goes to
// framebuffer objects. Returns what is missing, or nothing.
std::string makeContext() {
    // Xvfb turns away a share of new connections in bursts of a few tens of milliseconds when
    // several test processes start at once.
    Display* display = nullptr;
    for (int attempt = 0; attempt < 100 && !display; ++attempt)
        if (!(display = XOpenDisplay(nullptr))) usleep(20000);
    if (!display) return "no X display: run the GL tests under xvfb-run";
    const int config[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, None};  // only FBOs are drawn
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), config, &count);
    if (!configs || count == 0) return "no GLX frame buffer configuration with a pbuffer";
    const auto create = reinterpret_cast<PFNGLXCREATECONTEXTATTRIBSARBPROC>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCreateContextAttribsARB")));
    const int version[][2] = {
        {GLX_CONTEXT_MAJOR_VERSION_ARB, 3},
        {GLX_CONTEXT_MINOR_VERSION_ARB, 2},
        {GLX_CONTEXT_PROFILE_MASK_ARB, GLX_CONTEXT_COMPATIBILITY_PROFILE_BIT_ARB},
        {None, None}};
    const GLXContext context = create ? create(display, configs[0], nullptr, True, version[0]) : 0;
    if (!context) return "cannot create an OpenGL 3.2 compatibility context";
    const int size[] = {GLX_PBUFFER_WIDTH, 16, GLX_PBUFFER_HEIGHT, 16, None};
    const GLXPbuffer pbuffer = glXCreatePbuffer(display, configs[0], size);
    XFree(configs);
    return glXMakeContextCurrent(display, pbuffer, pbuffer, context) ? "" : "no current context";
}

}  // namespace

// Made once and kept until the process ends: the tests of one process share one context.
std::string makeGlContextCurrent() {
    static const std::string missing = makeContext();
    return missing;
}
