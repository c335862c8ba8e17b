// A shader file that is missing, too long, does not compile or does not link is reported (the
// renderer's own programs link in every frame the other tests draw).
#include "CurveBuffers.h"
#include "GlScene.h"
#include "DrawingProblems.h"
#include "ShaderProgram.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

class ShaderProgramTest : public SceneTest {};

TEST_F(ShaderProgramTest, BadShaderFilesAreReported) {
    // A valid shader of exactly size bytes whose essential line comes last, so that only a
    // source read to its very end compiles.
    const auto padded = [](std::size_t size) {
        const std::string head = "#version 120\n//",
                          tail = "\nvoid main() { gl_FragColor = vec4(1); }\n";
        return head + std::string(size - head.size() - tail.size(), 'x') + tail;
    };
    const std::string tooLong =
        "Shader '$' ist zu lang: 400000 Bytes oder mehr werden nicht gelesen.\n";
    struct Case {
        std::string source;   // empty: no such file
        bool made, compiles;  // a compile failure keeps its shader; what is not read makes none
        std::string message;  // what the console shows first; $ stands for the file's path
    };
    const Case cases[] = {
        {"", false, false,
         "Shader konnte nicht ge\xC3\xB6"
         "ffnet werden '$'.\n"},
        {padded(kShaderSourceLimit - 1), true, true, ""},
        {padded(kShaderSourceLimit), false, false, tooLong},
        {padded(kShaderSourceLimit + 1), false, false, tooLong},
        {"#version 120\nvoid main() { oops; }\n", true, false,
         "Shader '$' konnte nicht kompeliert werden.\n"},
        // Compiles, but calls a function that no shader defines: the link fails.
        {"#version 120\nfloat f();\nvoid main() { gl_FragColor = vec4(f()); }\n", true, true,
         "Programm 'shader/shadow_vert.glsl' + '$' konnte nicht gelinkt werden.\n"},
    };
    DrawingProblems::take();
    int number = 0;
    for (const Case& c : cases) {
        const std::string path = ::testing::TempDir() + "case" + std::to_string(++number) + ".glsl";
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
        // Kept for the surface to tell, besides printed.
        EXPECT_EQ(DrawingProblems::take().empty(), message.empty()) << number;
        GLint compiled = 0;
        if (shader) glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
        EXPECT_EQ(compiled == 1, c.compiles) << number;
        EXPECT_EQ(shader != 0, c.made) << number;
        if (c.compiles) {
            EXPECT_EQ(program.isLinked(), message.empty()) << number;
        }
        std::remove(path.c_str());
    }
}

}  // namespace
