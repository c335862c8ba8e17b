#pragma once

#include <GL/glew.h>

// One uniform of a shader program: its name in the source and the location the linker gave it
// (-1 when the linker dropped the name or never saw it; setting such a location does nothing).
struct ShaderUniform {
    const char* name = nullptr;  // static literal, not owned
    GLint location = -1;
};
