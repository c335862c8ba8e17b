#pragma once

#include "ShaderUniform.h"

#include <GL/glew.h>

#include <cstddef>
#include <vector>

// Size of the buffer a shader source is read into. A source must leave room for its terminating
// zero byte, so files of kShaderSourceLimit bytes or more are refused.
constexpr std::size_t kShaderSourceLimit = 400000;

// Reads the file at path (a data-folder name such as "shader/sum_vert.glsl", see dataPath) and
// compiles it as a shader of the given kind (GL_VERTEX_SHADER_ARB or GL_FRAGMENT_SHADER_ARB).
// Problems are reported on standard output. A file that cannot be opened, or is too long to be
// read whole, creates no shader object: 0 is returned, and buildProgram then links the program
// without that stage rather than compiling a source that is not the file's. A source that fails
// to compile is still returned (with its log printed). A prelude file, when given, is compiled in
// front of the file's source (and must be readable too); a define, when given, is defined after
// the source's first line (its #version), so that one file gives variants of a stage.
GLhandleARB loadShader(const char* path, GLenum kind, const char* prelude = nullptr,
                       const char* define = nullptr);

// A vertex and a fragment shader read from two files, linked into one program, with the locations
// of a fixed list of uniforms. The passes address uniforms by their index in m_uniforms and set
// values themselves; the program stores none. The program object is deleted with its holder (in
// the context it was made in); the shader objects as soon as the program is linked.
class ShaderProgram {
public:
    ShaderProgram() = default;
    ShaderProgram(const char* vertexFile, const char* fragmentFile,
                  std::vector<ShaderUniform> uniforms = {}, const char* vertexPrelude = nullptr,
                  const char* fragmentDefine = nullptr);
    ~ShaderProgram();
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    // Loads both shaders (vertex first), creates and links the program, stores it in m_handle,
    // then looks up every uniform's location in list order. A failed link prints a message and
    // the link log; the program is kept either way. Returns m_handle; a program built before is
    // deleted.
    GLhandleARB buildProgram();
    // Makes this program current: glUseProgramObjectARB(m_handle).
    void use() const;
    // Whether the last link succeeded (GL_OBJECT_LINK_STATUS_ARB); false before buildProgram.
    bool isLinked() const;
    // Location of uniform number index of m_uniforms.
    GLint location(std::size_t index) const { return m_uniforms[index].location; }

    GLhandleARB m_handle = 0;
    std::vector<ShaderUniform> m_uniforms;
    const char* m_vertexFile = nullptr;    // static literal, not owned
    const char* m_fragmentFile = nullptr;  // static literal, not owned
    // Compiled in front of the vertex shader; static literal, not owned.
    const char* m_vertexPrelude = nullptr;
    // Defined in the fragment shader (see loadShader); static literal, not owned.
    const char* m_fragmentDefine = nullptr;
};
