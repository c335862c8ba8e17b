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

fs::path scratchDirectory() {
    const fs::path dir =
        fs::temp_directory_path() / ("ramiflex-render-" + std::to_string(getpid()));
    fs::create_directories(dir);
    return dir;
}

// Largest alpha inside glyph cell g of the font, cells counted row by row from the top.
int maxAlphaInCell(const ImageData& font, int cell) {
    const int size = font.m_width / 16, left = (cell % 16) * size;
    const int bottom = (15 - cell / 16) * size;  // rows of the loaded image run bottom-up
    int best = 0;
    for (int y = bottom; y < bottom + size; ++y) {
        for (int x = left; x < left + size; ++x) {
            best = std::max<int>(best, font.m_pixels[(size_t(y) * font.m_width + x) * 4 + 3]);
        }
    }
    return best;
}

class ShaderProgramTest : public GlTest {};

TEST_F(ShaderProgramTest, ProgramsAndImagesAreFoundFromElsewhere) {
    const fs::path previous = fs::current_path();
    fs::current_path(scratchDirectory());
    RenderImplementation renderer;
    renderer.Initialize();
    for (int i = 0; i < 7; ++i) {
        const ShaderProgram& program = *renderer.program(i);
        EXPECT_TRUE(program.isLinked()) << program.m_fragmentFile;
        for (size_t u = 0; u < program.m_uniforms.size(); ++u) {
            EXPECT_NE(program.location(u), -1) << program.m_uniforms[u].name;
        }
    }
    ensureImageLibrary();
    const std::pair<const char*, int> files[] = {
        {"imgs/Font.png", 512}, {"imgs/cushion_tex.png", 256}, {"imgs/lighttex.png", 256}};
    ImageData images[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(loadImage(files[i].first, &images[i])) << files[i].first;
        EXPECT_EQ(images[i].m_width, files[i].second);
        EXPECT_EQ(images[i].m_height, files[i].second);
    }
    fs::current_path(previous);
    // The font's rows arrive bottom-up: "A" (code 65) of sets 0 and 1 and the last printable
    // "~" hold glyphs; the space is empty, and so are rows 6 and 15, which read top-down would
    // hold the full rows 9 and 0.
    for (int cell : {65 - 32, 65 - 32 + 128, 126 - 32 + 128}) {
        EXPECT_GT(maxAlphaInCell(images[0], cell), 200) << cell;
    }
    for (int cell : {0, 6 * 16 + 4, 15 * 16 + 15}) EXPECT_EQ(maxAlphaInCell(images[0], cell), 0);
    const auto at = [](const ImageData& image, int x, int y, int c) {
        return image.m_pixels[(size_t(y) * image.m_width + x) * 4 + c];
    };
    EXPECT_GT(at(images[1], 128, 128, 0), at(images[1], 0, 0, 0) + 100);  // bright centre
    EXPECT_EQ(at(images[1], 0, 0, 3), 255);                               // opaque cushion
    EXPECT_GT(at(images[2], 128, 128, 3), 250);                           // the light's spot
    EXPECT_EQ(at(images[2], 0, 0, 3), 0);
    for (ImageData& image : images) {
        ilDeleteImages(1, &image.m_imageName);
        std::free(image.m_pixels);
    }
    ImageData missing;
    EXPECT_FALSE(loadImage("imgs/no_such_image.png", &missing));
    EXPECT_FALSE(missing.m_loaded);
    EXPECT_EQ(missing.m_pixels, nullptr);
    EXPECT_EQ(missing.m_imageName, 0u);
}

// A valid fragment shader of exactly size bytes whose essential line comes last, so that only a
// source read to its very end compiles.
std::string paddedShader(std::size_t size) {
    const std::string head = "#version 120\n//";
    const std::string tail = "\nvoid main() { gl_FragColor = vec4(1.0); }\n";
    return head + std::string(size - head.size() - tail.size(), 'x') + tail;
}

TEST_F(ShaderProgramTest, BadShaderFilesAreReported) {
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
        {paddedShader(kShaderSourceLimit), false, false,
         "Shader '$' ist zu lang: 400000 Bytes oder mehr werden nicht gelesen.\n"},
        {paddedShader(kShaderSourceLimit + 1), false, false,
         "Shader '$' ist zu lang: 400000 Bytes oder mehr werden nicht gelesen.\n"},
        {"#version 120\nvoid main() { oops; }\n", true, false,
         "Shader '$' konnte nicht kompeliert werden.\n"},
    };
    int number = 0;
    for (const Case& c : cases) {
        const std::string path =
            (scratchDirectory() / ("case" + std::to_string(++number) + "_frag.glsl")).string();
        if (!c.source.empty()) std::ofstream(path, std::ios::binary) << c.source;
        ::testing::internal::CaptureStdout();
        const GLhandleARB shader = loadShader(path.c_str(), GL_FRAGMENT_SHADER_ARB);
        const std::string output = ::testing::internal::GetCapturedStdout();
        std::string message = c.message;
        if (message.find('$') != std::string::npos) message.replace(message.find('$'), 1, path);
        EXPECT_EQ(output.substr(0, message.size()), message) << number;
        GLint compiled = 0;
        if (shader) glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
        EXPECT_EQ(compiled == 1, c.compiles) << number;
        EXPECT_EQ(shader != 0, c.made) << number;
        if (c.made && !c.compiles) {
            EXPECT_GT(output.size(), message.size() + 1);  // the compiler's log follows
        }
        fs::remove(path);
    }
    // Compiles, but calls a function that no shader defines.
    const std::string unresolved = (scratchDirectory() / "unresolved_frag.glsl").string();
    std::ofstream(unresolved) << "#version 120\nfloat missing();\n"
                                 "void main() { gl_FragColor = vec4(missing()); }\n";
    ShaderProgram program("shader/shadow_vert.glsl", unresolved.c_str(), {},
                          CurveBuffers::kVertexPrelude);
    ::testing::internal::CaptureStdout();
    program.buildProgram();
    const std::string output = ::testing::internal::GetCapturedStdout();
    EXPECT_FALSE(program.isLinked());
    EXPECT_EQ(output.rfind("Programm 'shader/shadow_vert.glsl' + '" + unresolved +
                               "' konnte nicht gelinkt werden.\n",
                           0),
              0u)
        << output;
    fs::remove(unresolved);
}

}  // namespace
