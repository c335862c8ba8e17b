// Run-time data: the renderer's programs and images are found from any working directory, and a
// shader file that is missing, too long, does not compile or does not link is reported.
#include "CurveBuffers.h"
#include "GlScene.h"
#include "ImageData.h"
#include "ShaderProgram.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const fs::path kScratch =
    fs::temp_directory_path() / ("ramiflex-render-" + std::to_string(getpid()));

class ShaderProgramTest : public GlTest {};

TEST_F(ShaderProgramTest, ProgramsAndImagesAreFoundFromElsewhere) {
    const fs::path previous = fs::current_path();
    fs::create_directories(kScratch);
    fs::current_path(kScratch);
    RenderImplementation renderer;
    renderer.Initialize();
    for (int i = 0; i < 7; ++i) {
        const ShaderProgram& program = *renderer.program(i);
        EXPECT_TRUE(program.isLinked()) << program.m_fragmentFile;
        for (size_t u = 0; u < program.m_uniforms.size(); ++u) {
            EXPECT_NE(program.location(u), -1) << program.m_uniforms[u].name;
        }
    }
    for (auto [path, size] : {std::pair{"imgs/Font.png", 512},
                              {"imgs/cushion_tex.png", 256},
                              {"imgs/lighttex.png", 256},
                              {"imgs/no_such_image.png", 0}}) {
        ImageData image;
        EXPECT_EQ(loadImage(path, &image), size > 0) << path;
        EXPECT_EQ(image.m_loaded, size > 0) << path;
        EXPECT_EQ(image.m_width, size) << path;
        EXPECT_EQ(image.m_height, size) << path;
        EXPECT_EQ(image.m_pixels != nullptr, size > 0) << path;
        ilDeleteImages(1, &image.m_imageName);
        std::free(image.m_pixels);
    }
    fs::current_path(previous);
}

// A valid fragment shader of exactly size bytes whose essential line comes last, so that only a
// source read to its very end compiles.
std::string paddedShader(std::size_t size) {
    const std::string head = "#version 120\n//";
    const std::string tail = "\nvoid main() { gl_FragColor = vec4(1.0); }\n";
    return head + std::string(size - head.size() - tail.size(), 'x') + tail;
}

TEST_F(ShaderProgramTest, BadShaderFilesAreReported) {
    const std::string tooLong =
        "Shader '$' ist zu lang: 400000 Bytes oder mehr werden nicht gelesen.\n";
    struct Case {
        std::string source;   // empty: no such file
        bool made, compiles;  // a compile failure keeps its shader; what is not read makes none
        std::string message;  // what the console shows first; $ stands for the file's path
    };
    const Case cases[] = {
        {"", false, false,
         "Shader konnte nicht ge\xF6"
         "ffnet werden '$'.\n"},
        {paddedShader(kShaderSourceLimit - 1), true, true, ""},
        {paddedShader(kShaderSourceLimit), false, false, tooLong},
        {paddedShader(kShaderSourceLimit + 1), false, false, tooLong},
        {"#version 120\nvoid main() { oops; }\n", true, false,
         "Shader '$' konnte nicht kompeliert werden.\n"},
        // Compiles, but calls a function that no shader defines: the link fails.
        {"#version 120\nfloat f();\nvoid main() { gl_FragColor = vec4(f()); }\n", true, true,
         "Programm 'shader/shadow_vert.glsl' + '$' konnte nicht gelinkt werden.\n"},
    };
    fs::create_directories(kScratch);
    int number = 0;
    for (const Case& c : cases) {
        const std::string path = (kScratch / ("case" + std::to_string(++number) + "_frag.glsl"));
        if (!c.source.empty()) std::ofstream(path, std::ios::binary) << c.source;
        std::string message = c.message;
        if (message.find('$') != std::string::npos) message.replace(message.find('$'), 1, path);
        ::testing::internal::CaptureStdout();
        const GLhandleARB shader = loadShader(path.c_str(), GL_FRAGMENT_SHADER_ARB);
        ShaderProgram program("shader/shadow_vert.glsl", path.c_str(), {},
                              CurveBuffers::kVertexPrelude);
        if (c.compiles) program.buildProgram();
        const std::string output = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(output.substr(0, message.size()), message) << number;
        GLint compiled = 0;
        if (shader) glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
        EXPECT_EQ(compiled == 1, c.compiles) << number;
        EXPECT_EQ(shader != 0, c.made) << number;
        if (c.compiles) {
            EXPECT_EQ(program.isLinked(), message.empty()) << number;
        }
        fs::remove(path);
    }
}

}  // namespace
