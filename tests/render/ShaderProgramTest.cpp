// A shader file that is missing, too long, does not compile or does not link is reported to the
// surface; one read to its very end compiles (the renderer's own programs link in every frame
// the other tests draw).
#include "CurveBuffers.h"
#include "DrawingProblems.h"
#include "GlScene.h"
#include "ShaderProgram.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

class ShaderProgramTest : public SceneTest {};

TEST_F(ShaderProgramTest, BadShaderFilesAreReported) {
    // A valid shader of exactly size bytes whose essential line comes last.
    const auto padded = [](std::size_t size) {
        const std::string head = "#version 120\n//",
                          tail = "\nvoid main() { gl_FragColor = vec4(1); }\n";
        return head + std::string(size - head.size() - tail.size(), 'x') + tail;
    };
    struct Case {
        std::string source;          // empty: no such file
        bool made, compiles, links;  // a compile failure keeps its shader; none if not read
    };
    const Case cases[] = {
        {"", false, false, false},
        {padded(kShaderSourceLimit - 1), true, true, true},
        {padded(kShaderSourceLimit), false, false, false},
        {"#version 120\nvoid main() { oops; }\n", true, false, false},
        // Compiles, but calls a function that no shader defines.
        {"#version 120\nfloat f();\nvoid main() { gl_FragColor = vec4(f()); }\n", true, true,
         false},
    };
    DrawingProblems::take();
    for (const Case& c : cases) {
        const int number = int(&c - cases);
        const std::string path = ::testing::TempDir() + "case" + std::to_string(number) + ".glsl";
        if (!c.source.empty()) std::ofstream(path, std::ios::binary) << c.source;
        const GLhandleARB shader = loadShader(path.c_str(), GL_FRAGMENT_SHADER_ARB);
        ShaderProgram program("shader/shadow_vert.glsl", path.c_str(), {},
                              CurveBuffers::kVertexPrelude);
        if (c.compiles) program.buildProgram();
        EXPECT_EQ(DrawingProblems::take().empty(), c.links) << number;
        GLint compiled = 0;
        if (shader) glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
        EXPECT_EQ(compiled == 1, c.compiles) << number;
        EXPECT_EQ(shader != 0, c.made) << number;
        EXPECT_EQ(program.isLinked(), c.links) << number;
        if (shader) glDeleteObjectARB(shader);
        std::remove(path.c_str());
    }
}

}  // namespace
