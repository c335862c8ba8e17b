#include "GlFixture.h"
#include "CurveBuffers.h"
#include "ShaderProgram.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

struct ProgramFiles {
    const char* vertexFile;
    const char* fragmentFile;
    std::vector<const char*> uniforms;
    const char* prelude = nullptr;
};

// The seven programs of the renderer, in the order it builds them, with their uniform lists.
const std::vector<ProgramFiles>& rendererPrograms() {
    static const std::vector<ProgramFiles> programs = {
        {"shader/shading_dir_vert.glsl",
         "shader/shading_dir_frag.glsl",
         {"ShadowMap", "enable_shadow", "object_type", "light_type", "Texture0", "uColor"},
         CurveBuffers::kVertexPrelude},
        {"shader/shadow_vert.glsl", "shader/shadow_frag.glsl", {}, CurveBuffers::kVertexPrelude},
        {"shader/sum_vert.glsl",
         "shader/sum_frag.glsl",
         {"light_type"},
         CurveBuffers::kVertexPrelude},
        {"shader/sum_final_vert.glsl", "shader/sum_final_frag.glsl", {"ColorTex0", "Background"}},
        {"shader/weighting_vert.glsl",
         "shader/weighting_frag.glsl",
         {"light_type"},
         CurveBuffers::kVertexPrelude},
        {"shader/relation_occlusion_vert.glsl",
         "shader/relation_occlusion_frag.glsl",
         {"DepthBackground"}},
        {"shader/weighting_final_vert.glsl",
         "shader/weighting_final_frag.glsl",
         {"ColorTex0", "ColorTex1", "Background"}},
    };
    return programs;
}

// A file in a scratch directory of this process, removed when the object goes.
class ScratchFile {
public:
    ScratchFile(const std::string& name, const std::string& contents) {
        const auto dir = std::filesystem::temp_directory_path() /
                         ("ramiflex-render-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        m_path = (dir / name).string();
        std::ofstream(m_path, std::ios::binary) << contents;
    }
    ~ScratchFile() { std::filesystem::remove(m_path); }
    const char* path() const { return m_path.c_str(); }

private:
    std::string m_path;
};

// A valid fragment shader of exactly size bytes whose essential line comes last, so that only a
// source read to its very end compiles.
std::string paddedShader(std::size_t size) {
    const std::string head = "#version 120\n//";
    const std::string tail = "\nvoid main() { gl_FragColor = vec4(1.0); }\n";
    return head + std::string(size - head.size() - tail.size(), 'x') + tail;
}

GLint compileStatus(GLhandleARB shader) {
    GLint compiled = 0;
    glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
    return compiled;
}

}  // namespace

class ShaderProgramTest : public GlTest {};

TEST_F(ShaderProgramTest, AllRendererProgramsCompileLinkAndKeepTheirUniforms) {
    // From elsewhere: the sources are found beside the executable, and messages would still name
    // them as the renderer does.
    const EmptyWorkingDirectory elsewhere;
    for (const ProgramFiles& files : rendererPrograms()) {
        SCOPED_TRACE(files.fragmentFile);
        std::vector<ShaderUniform> uniforms;
        for (const char* name : files.uniforms) uniforms.push_back({name, -1});
        ShaderProgram program(files.vertexFile, files.fragmentFile, uniforms, files.prelude);
        GLhandleARB handle = 0;
        const std::string output = captureStdout([&] { handle = program.buildProgram(); });
        EXPECT_EQ(output, "");  // no open, compile or link message
        EXPECT_NE(handle, 0u);
        EXPECT_EQ(handle, program.m_handle);
        EXPECT_TRUE(program.isLinked());
        ASSERT_EQ(program.m_uniforms.size(), files.uniforms.size());
        for (std::size_t i = 0; i < files.uniforms.size(); ++i) {
            EXPECT_STREQ(program.m_uniforms[i].name, files.uniforms[i]);
            EXPECT_NE(program.location(i), -1) << files.uniforms[i];
        }
        program.use();
        GLint current = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        EXPECT_EQ(static_cast<GLhandleARB>(current), handle);
        glUseProgramObjectARB(0);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderProgramTest, UnknownUniformGetsMinusOne) {
    ShaderProgram program("shader/shadow_vert.glsl", "shader/shadow_frag.glsl",
                          {{"ShadowMap", -1}, {"not_in_the_source", 5}},
                          CurveBuffers::kVertexPrelude);
    program.buildProgram();
    EXPECT_TRUE(program.isLinked());
    EXPECT_EQ(program.location(0), -1);
    EXPECT_EQ(program.location(1), -1);
}

TEST_F(ShaderProgramTest, MissingFileIsReportedAndCompilesNothing) {
    GLhandleARB shader = 1;
    const std::string output = captureStdout(
        [&] { shader = loadShader("shader/no_such_vert.glsl", GL_VERTEX_SHADER_ARB); });
    EXPECT_EQ(output,
              "Shader konnte nicht ge\xF6"
              "ffnet werden 'shader/no_such_vert.glsl'.\n");
    EXPECT_EQ(shader, 0u);

    // The program is still made, without the missing stage, and reports its link state.
    ShaderProgram program("shader/no_such_vert.glsl", "shader/shadow_frag.glsl");
    const std::string buildOutput = captureStdout([&] { program.buildProgram(); });
    EXPECT_EQ(buildOutput.rfind("Shader konnte nicht ge\xF6"
                                "ffnet werden",
                                0),
              0u);
    EXPECT_NE(program.m_handle, 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderProgramTest, SourceOfFourHundredThousandBytesIsRejected) {
    const ScratchFile longest("longest_frag.glsl", paddedShader(kShaderSourceLimit - 1));
    GLhandleARB shader = 0;
    std::string output =
        captureStdout([&] { shader = loadShader(longest.path(), GL_FRAGMENT_SHADER_ARB); });
    EXPECT_EQ(output, "");
    ASSERT_NE(shader, 0u);
    EXPECT_EQ(compileStatus(shader), 1);  // read whole: the last line made it in

    for (std::size_t size : {kShaderSourceLimit, kShaderSourceLimit + 1}) {
        const ScratchFile tooLong("too_long_frag.glsl", paddedShader(size));
        shader = 1;
        output =
            captureStdout([&] { shader = loadShader(tooLong.path(), GL_FRAGMENT_SHADER_ARB); });
        EXPECT_EQ(output, "Shader '" + std::string(tooLong.path()) +
                              "' ist zu lang: 400000 Bytes oder mehr werden nicht gelesen.\n");
        EXPECT_EQ(shader, 0u);
    }
}

TEST_F(ShaderProgramTest, CompileFailurePrintsTheLogAndKeepsTheShader) {
    const ScratchFile broken("broken_frag.glsl", "#version 120\nvoid main() { oops; }\n");
    GLhandleARB shader = 0;
    const std::string output =
        captureStdout([&] { shader = loadShader(broken.path(), GL_FRAGMENT_SHADER_ARB); });
    const std::string message =
        "Shader '" + std::string(broken.path()) + "' konnte nicht kompeliert werden.\n";
    EXPECT_EQ(output.rfind(message, 0), 0u) << output;
    EXPECT_GT(output.size(), message.size() + 1);  // the compiler's log follows
    EXPECT_NE(shader, 0u);
    EXPECT_EQ(compileStatus(shader), 0);
}

TEST_F(ShaderProgramTest, LinkFailureIsReportedAndVisible) {
    // Compiles, but calls a function that no shader defines.
    const ScratchFile unresolved("unresolved_frag.glsl",
                                 "#version 120\nfloat missing();\n"
                                 "void main() { gl_FragColor = vec4(missing()); }\n");
    ShaderProgram program("shader/shadow_vert.glsl", unresolved.path(), {},
                          CurveBuffers::kVertexPrelude);
    const std::string output = captureStdout([&] { program.buildProgram(); });
    EXPECT_FALSE(program.isLinked());
    const std::string message = "Programm 'shader/shadow_vert.glsl' + '" +
                                std::string(unresolved.path()) + "' konnte nicht gelinkt werden.\n";
    EXPECT_EQ(output.rfind(message, 0), 0u) << output;
}
