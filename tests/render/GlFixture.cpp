#include "GlFixture.h"

#include "GlContext.h"

#include <IL/il.h>
#include <IL/ilu.h>
#include <unistd.h>

#include <system_error>

namespace {

bool loadEntryPoints(std::string* error) {
    static bool loaded = false;
    static std::string failure;
    static bool tried = false;
    if (!tried) {
        tried = true;
        glewExperimental = GL_TRUE;
        const GLenum result = glewInit();
        // Under EGL glewInit reports a missing GLX display after loading every GL entry point;
        // what matters is that the calls the tests make are there.
        loaded = (result == GLEW_OK || result == GLEW_ERROR_NO_GLX_DISPLAY) &&
                 glCreateProgramObjectARB != nullptr && glBindFramebufferEXT != nullptr;
        if (!loaded) {
            failure = std::string("glewInit failed: ") +
                      reinterpret_cast<const char*>(glewGetErrorString(result));
        }
        // glewInit may leave an error flag behind (it queries extensions the old way).
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    if (!loaded && error) *error = failure;
    return loaded;
}

}  // namespace

void GlTest::SetUp() {
    std::string error;
    ASSERT_TRUE(makeGlContextCurrent(&error)) << error;
    ASSERT_TRUE(loadEntryPoints(&error)) << error;
}

void ensureImageLibrary() {
    static bool started = false;
    if (!started) {
        ilInit();
        iluInit();
        started = true;
    }
}

EmptyWorkingDirectory::EmptyWorkingDirectory()
    : m_previous(std::filesystem::current_path()),
      m_empty(std::filesystem::temp_directory_path() /
              ("ramiflex-empty-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(m_empty);
    std::filesystem::current_path(m_empty);
}

EmptyWorkingDirectory::~EmptyWorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
    std::filesystem::remove_all(m_empty, ignored);
}
