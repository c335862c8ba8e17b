#include "ShaderProgram.h"

#include "DataPath.h"
#include "DrawingProblems.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

namespace {

// Prints the info log of a shader or program object, if it has one.
void printInfoLog(GLhandleARB object) {
    GLint length = 0;
    glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
    if (length <= 0) return;
    char* log = static_cast<char*>(std::malloc(static_cast<std::size_t>(length)));
    if (!log) return;
    glGetInfoLogARB(object, length, nullptr, log);
    DrawingProblems::report(log);
    std::free(log);
}

}  // namespace

namespace {

// Reads a shader file whole into source (NUL-terminated); false, with the problem printed, when
// it cannot be opened or is too long to be taken whole.
bool readSource(const char* path, std::vector<char>* source) {
    // Messages name the file as the caller did; only the open looks for it in the data folder.
    std::FILE* file = std::fopen(dataPath(path).c_str(), "rb");
    if (!file) {
        DrawingProblems::report(std::string("Shader konnte nicht ge\xC3\xB6"
                                            "ffnet werden '") +
                                path + "'.");
        return false;
    }
    // One byte more than the limit, always zero: the source is NUL-terminated even when the read
    // fills the limit, and a full read tells that the file is too long to be taken whole.
    source->assign(kShaderSourceLimit + 1, '\0');
    const std::size_t read = std::fread(source->data(), 1, kShaderSourceLimit, file);
    std::fclose(file);
    if (read >= kShaderSourceLimit) {
        DrawingProblems::report(std::string("Shader '") + path +
                                "' ist zu lang: " + std::to_string(kShaderSourceLimit) +
                                " Bytes oder mehr werden nicht gelesen.");
        return false;
    }
    source->resize(read + 1);
    return true;
}

}  // namespace

GLhandleARB loadShader(const char* path, GLenum kind, const char* prelude, const char* define) {
    std::vector<char> preludeSource, source;
    if (prelude && !readSource(prelude, &preludeSource)) return 0;
    if (!readSource(path, &source)) return 0;

    const GLhandleARB shader = glCreateShaderObjectARB(kind);
    if (shader == 0) {
        // Nothing to compile into; going on would only raise GL errors.
        DrawingProblems::report(std::string("Shader konte nicht erstellt werden: ") + path + ".");
        return 0;
    }

    std::vector<const GLcharARB*> texts;
    std::vector<GLint> lengths;
    if (prelude) {
        texts.push_back(preludeSource.data());
        lengths.push_back(-1);
    }
    // The define goes after the source's first line, which holds its #version.
    const char* text = source.data();
    const char* lineEnd = define ? std::strchr(text, '\n') : nullptr;
    const std::string defineLine = define ? std::string("#define ") + define + "\n" : "";
    if (lineEnd) {
        texts.insert(texts.end(), {text, defineLine.c_str(), lineEnd + 1});
        lengths.insert(lengths.end(), {GLint(lineEnd + 1 - text), -1, -1});
    } else {
        texts.push_back(text);
        lengths.push_back(-1);
    }
    glShaderSourceARB(shader, GLsizei(texts.size()), texts.data(), lengths.data());
    glCompileShaderARB(shader);

    GLint compiled = 0;
    glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
    if (compiled == 0) {
        DrawingProblems::report(std::string("Shader '") + path +
                                "' konnte nicht kompeliert werden.");
        printInfoLog(shader);
    }
    return shader;
}

ShaderProgram::ShaderProgram(const char* vertexFile, const char* fragmentFile,
                             std::vector<ShaderUniform> uniforms, const char* vertexPrelude,
                             const char* fragmentDefine)
    : m_uniforms(std::move(uniforms)),
      m_vertexFile(vertexFile),
      m_fragmentFile(fragmentFile),
      m_vertexPrelude(vertexPrelude),
      m_fragmentDefine(fragmentDefine) {}

ShaderProgram::~ShaderProgram() {
    if (m_handle != 0) glDeleteObjectARB(m_handle);
}

GLhandleARB ShaderProgram::buildProgram() {
    const GLhandleARB vertex = loadShader(m_vertexFile, GL_VERTEX_SHADER_ARB, m_vertexPrelude);
    const GLhandleARB fragment =
        loadShader(m_fragmentFile, GL_FRAGMENT_SHADER_ARB, nullptr, m_fragmentDefine);

    if (m_handle != 0) glDeleteObjectARB(m_handle);
    m_handle = glCreateProgramObjectARB();
    for (GLhandleARB shader : {vertex, fragment}) {
        if (shader != 0) glAttachObjectARB(m_handle, shader);
    }
    glLinkProgramARB(m_handle);
    // Deleted now, the shader objects stay attached (a program can still be linked again, as
    // for transform feedback) and go with the program.
    for (GLhandleARB shader : {vertex, fragment}) {
        if (shader != 0) glDeleteObjectARB(shader);
    }
    if (!isLinked()) {
        DrawingProblems::report(std::string("Programm '") + m_vertexFile + "' + '" +
                                m_fragmentFile + "' konnte nicht gelinkt werden.");
        printInfoLog(m_handle);
    }

    for (ShaderUniform& uniform : m_uniforms) {
        uniform.location = glGetUniformLocationARB(m_handle, uniform.name);
    }
    return m_handle;
}

void ShaderProgram::use() const { glUseProgramObjectARB(m_handle); }

bool ShaderProgram::isLinked() const {
    if (m_handle == 0) return false;
    GLint linked = 0;
    glGetObjectParameterivARB(m_handle, GL_OBJECT_LINK_STATUS_ARB, &linked);
    return linked != 0;
}
