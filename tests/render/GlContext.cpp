#include "GlContext.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include <cstdlib>

namespace {

struct Context {
    QGuiApplication* application = nullptr;
    QOffscreenSurface* surface = nullptr;
    QOpenGLContext* context = nullptr;
    bool ready = false;
    std::string error;
};

Context makeContext() {
    Context result;
    // Without a display QGuiApplication aborts the process; report it as a test failure instead.
    if (!std::getenv("DISPLAY")) {
        result.error = "no X display: run the GL tests under xvfb-run";
        return result;
    }
    static int argc = 1;
    static char name[] = "render_tests";
    static char* argv[] = {name, nullptr};
    result.application = new QGuiApplication(argc, argv);

    QSurfaceFormat format;
    format.setVersion(3, 2);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    // Without this Mesa hands out a core context, in which fixed-function calls fail.
    format.setOption(QSurfaceFormat::DeprecatedFunctions);
    format.setDepthBufferSize(24);

    result.context = new QOpenGLContext;
    result.context->setFormat(format);
    if (!result.context->create()) {
        result.error = "QOpenGLContext::create failed";
        return result;
    }
    result.surface = new QOffscreenSurface;
    result.surface->setFormat(result.context->format());
    result.surface->create();
    if (!result.context->makeCurrent(result.surface)) {
        result.error = "QOpenGLContext::makeCurrent failed";
        return result;
    }
    result.ready = true;
    return result;
}

}  // namespace

bool makeGlContextCurrent(std::string* error) {
    // Made once and kept until the process ends: the tests share one context.
    static Context context = makeContext();
    if (!context.ready && error) *error = context.error;
    return context.ready;
}
