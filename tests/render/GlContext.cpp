#include "GlContext.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <unistd.h>

namespace {

// Xvfb turns away a small share of new connections, in bursts of a few tens of milliseconds;
// a test process retries for up to two seconds rather than failing on one refused connect.
Display* openDisplay() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) return display;
        usleep(20000);
    }
    return nullptr;
}

struct Context {
    bool ready = false;
    std::string error;
};

Context makeContext() {
    Context result;
    if (!std::getenv("DISPLAY")) {
        result.error = "no X display: run the GL tests under xvfb-run";
        return result;
    }
    Display* display = openDisplay();
    if (!display) {
        result.error = "cannot open the X display";
        return result;
    }
    const int configAttributes[] = {GLX_DRAWABLE_TYPE,
                                    GLX_PBUFFER_BIT,
                                    GLX_RENDER_TYPE,
                                    GLX_RGBA_BIT,
                                    GLX_RED_SIZE,
                                    8,
                                    GLX_GREEN_SIZE,
                                    8,
                                    GLX_BLUE_SIZE,
                                    8,
                                    GLX_ALPHA_SIZE,
                                    8,
                                    GLX_DEPTH_SIZE,
                                    24,
                                    None};
    int count = 0;
    GLXFBConfig* configs =
        glXChooseFBConfig(display, DefaultScreen(display), configAttributes, &count);
    if (!configs || count == 0) {
        result.error = "no GLX frame buffer configuration with a pbuffer";
        return result;
    }
    const GLXFBConfig config = configs[0];
    XFree(configs);

    const auto createContext = reinterpret_cast<PFNGLXCREATECONTEXTATTRIBSARBPROC>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCreateContextAttribsARB")));
    if (!createContext) {
        result.error = "glXCreateContextAttribsARB is missing";
        return result;
    }
    // The viewer's own context: 3.2 with the compatibility profile, so fixed-function matrices,
    // lights and immediate-mode drawing stay available beside the shaders.
    const int contextAttributes[] = {GLX_CONTEXT_MAJOR_VERSION_ARB,
                                     3,
                                     GLX_CONTEXT_MINOR_VERSION_ARB,
                                     2,
                                     GLX_CONTEXT_PROFILE_MASK_ARB,
                                     GLX_CONTEXT_COMPATIBILITY_PROFILE_BIT_ARB,
                                     None};
    const GLXContext context = createContext(display, config, nullptr, True, contextAttributes);
    if (!context) {
        result.error = "cannot create an OpenGL 3.2 compatibility context";
        return result;
    }
    // All drawing goes to framebuffer objects; the pbuffer only has to exist.
    const int pbufferAttributes[] = {GLX_PBUFFER_WIDTH, 16, GLX_PBUFFER_HEIGHT, 16, None};
    const GLXPbuffer pbuffer = glXCreatePbuffer(display, config, pbufferAttributes);
    if (!glXMakeContextCurrent(display, pbuffer, pbuffer, context)) {
        result.error = "cannot make the context current";
        return result;
    }
    result.ready = true;
    return result;
}

}  // namespace

bool makeGlContextCurrent(std::string* error) {
    // Made once and kept until the process ends: the tests of one process share one context.
    static const Context context = makeContext();
    if (!context.ready && error) *error = context.error;
    return context.ready;
}
