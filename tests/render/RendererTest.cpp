// What the renderer makes of the settings, a frame drawn in parts, the GL objects freed with
// their holders and the GL state a frame leaves.
#include "DefaultFramebuffer.h"
#include "DisplayLists.h"
#include "GlName.h"
#include "GlScene.h"
#include "RenderStates.h"
#include "RenderTree.h"
#include "ShaderProgram.h"

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class RendererTest : public SceneTest {};

TEST_F(RendererTest, RenderStatesAreDecodedAtTheNextFrame) {
    loadGenerated(12, 0, 2);
    // The scale slider to a factor; drawMask bits: vertices, hierarchy edges, relation edges,
    // grid, and outside 0..15 the switches stay as they were.
    struct Case {
        int slider;
        float scale;
        int mask, shown;
    };
    const Case cases[] = {{0, 1.0f / 6, 5, 5}, {50, 1, -1, 5}, {51, 1.1f, 16, 5},
                          {100, 6, 21, 5},     {50, 1, 8, 8},  {50, 1, 2, 2}};
    for (const Case& c : cases) {
        m_states.scale = c.slider;
        m_states.drawMask = c.mask;
        frameWith(1, fittingCamera(1));
        EXPECT_NEAR(m_renderer->sceneScale(), c.scale, 1e-6f) << "slider " << c.slider;
        EXPECT_EQ(m_renderer->drawVerticesOn(), bool(c.shown & 1)) << c.mask;
        EXPECT_EQ(m_renderer->drawHierarchyEdgesOn(), bool(c.shown & 2)) << c.mask;
        EXPECT_EQ(m_renderer->drawRelationEdgesOn(), bool(c.shown & 4)) << c.mask;
        EXPECT_EQ(m_renderer->drawGridOn(), bool(c.shown & 8)) << c.mask;
    }
}

// A frame of more curves than a draft holds, drawn in parts of 1 ms, ends as the same picture as
// the frame drawn whole, for a method that blends in the scene and one that accumulates sums.
TEST_F(RendererTest, AFrameInPartsEndsAsTheWholeFrame) {
    loadGenerated(2000, 17000, 5, 4, 5);
    resizeSurface(320, 240);
    for (int method : {0, 3}) {
        m_states.blendMethod = method;
        frameWith(4, fittingCamera(4));
        ASSERT_TRUE(m_renderer->frameComplete());
        const Picture whole = picture();
        m_renderer->setFrameBudget(1);
        frameWith(4, fittingCamera(4));
        EXPECT_FALSE(m_renderer->frameComplete()) << "method " << method;
        int parts = 1;
        while (!m_renderer->continueFrame()) ++parts;
        EXPECT_GT(parts, 2) << "method " << method;
        EXPECT_TRUE(picture().rgb == whole.rgb) << "method " << method;
        m_renderer->setFrameBudget(0);
    }
}

bool exists(GlName::Kind kind, GLuint name) {
    switch (kind) {
        case GlName::Kind::PROGRAM:
            return glIsProgram(name);
        case GlName::Kind::SHADER:
            return glIsShader(name);
        case GlName::Kind::BUFFER:
            return glIsBuffer(name);
        case GlName::Kind::TEXTURE:
            return glIsTexture(name);
        case GlName::Kind::FRAMEBUFFER:
            return glIsFramebuffer(name);
        case GlName::Kind::RENDERBUFFER:
            return glIsRenderbuffer(name);
        case GlName::Kind::DISPLAY_LISTS:
            return glIsList(name);
    }
    return false;
}

// Every kind of GL object lives exactly as long as its holder: there while held, gone after.
TEST_F(RendererTest, GlObjectsGoWithTheirHolders) {
    loadGenerated(40, 30, 3);
    using K = GlName::Kind;
    using Names = std::vector<std::pair<K, GLuint>>;
    const auto frameBufferNames = [](const FrameBuffer& b, Names& held) {
        held.push_back({K::FRAMEBUFFER, b.m_framebuffer});
        held.push_back({K::TEXTURE, b.m_depthTexture});
        for (GLuint t : b.m_colorTextures) held.push_back({K::TEXTURE, t});
    };
    struct Case {
        const char* holder;
        std::function<std::shared_ptr<void>(Names&)> make;
    };
    const Case cases[] = {
        {"GlName of every kind",
         [](Names& held) {
             auto names = std::make_shared<std::vector<GlName>>();
             GLuint n[4] = {};
             glGenBuffers(1, &n[0]);
             glBindBuffer(GL_ARRAY_BUFFER, n[0]);
             glGenTextures(1, &n[1]);
             glBindTexture(GL_TEXTURE_2D, n[1]);
             glGenFramebuffers(1, &n[2]);
             glBindFramebuffer(GL_FRAMEBUFFER, n[2]);
             glGenRenderbuffers(1, &n[3]);
             glBindRenderbuffer(GL_RENDERBUFFER, n[3]);
             const GLuint lists = glGenLists(3);
             for (GLuint l = lists; l < lists + 3; ++l) glNewList(l, GL_COMPILE), glEndList();
             held = {{K::BUFFER, n[0]},
                     {K::TEXTURE, n[1]},
                     {K::FRAMEBUFFER, n[2]},
                     {K::RENDERBUFFER, n[3]},
                     {K::PROGRAM, glCreateProgram()},
                     {K::SHADER, glCreateShader(GL_VERTEX_SHADER)},
                     {K::DISPLAY_LISTS, lists},
                     {K::DISPLAY_LISTS, lists + 2}};
             for (size_t i = 0; i + 1 < held.size(); ++i) {
                 names->emplace_back(held[i].first, held[i].second, i + 2 == held.size() ? 3 : 1);
             }
             glBindBuffer(GL_ARRAY_BUFFER, 0);
             glBindTexture(GL_TEXTURE_2D, 0);
             bindDefaultFramebuffer();
             return names;
         }},
        {"ShaderProgram",
         [](Names& held) {
             auto program = std::make_shared<ShaderProgram>("shader/sum_final_vert.glsl",
                                                            "shader/sum_final_frag.glsl");
             program->buildProgram();
             held.push_back({K::PROGRAM, program->m_handle});
             GLuint shaders[2] = {};
             GLsizei count = 0;
             glGetAttachedShaders(program->m_handle, 2, &count, shaders);
             EXPECT_EQ(count, 2);
             for (GLsizei i = 0; i < count; ++i) {
                 GLint deleted = GL_FALSE;  // let go of once linked, kept by the program
                 glGetShaderiv(shaders[i], GL_DELETE_STATUS, &deleted);
                 EXPECT_EQ(deleted, GL_TRUE);
                 held.push_back({K::SHADER, shaders[i]});
             }
             return program;
         }},
        {"FrameBuffer",
         [&](Names& held) {
             auto buffer = std::make_shared<FrameBuffer>(2, 64, 32);
             frameBufferNames(*buffer, held);
             return buffer;
         }},
        {"renderer",
         [&](Names& held) {
             auto renderer = std::make_shared<RenderImplementation>();
             renderer->Initialize();
             View* views[5] = {};
             for (int t = 0; t < 5; ++t) views[t] = m_views[t].get();
             EXPECT_TRUE(renderer->CreateObjects(*m_graph, views));
             auto camera = fittingCamera(1);
             renderer->render(FrameInput{m_states, camera.get(), &m_light});
             for (int p = 0; p < 7; ++p)
                 held.push_back({K::PROGRAM, renderer->program(p)->m_handle});
             for (FrameBuffer* b : {renderer->sceneBuffer(), renderer->sumBuffer()}) {
                 frameBufferNames(*b, held);
             }
             held.push_back({K::DISPLAY_LISTS, g_sphereList});
             held.push_back({K::DISPLAY_LISTS, g_squareList});
             held.push_back({K::TEXTURE, g_cushionTexture});
             held.push_back({K::BUFFER, views[2]->m_hierarchyColorBuffer});
             return renderer;
         }},
    };
    for (const Case& c : cases) {
        Names held;
        std::shared_ptr<void> holder = c.make(held);
        ASSERT_FALSE(held.empty()) << c.holder;
        for (const auto& [kind, name] : held) {
            EXPECT_TRUE(exists(kind, name)) << c.holder << " " << int(kind) << " " << name;
        }
        holder.reset();
        for (const auto& [kind, name] : held) {
            EXPECT_FALSE(exists(kind, name)) << c.holder << " " << int(kind) << " " << name;
        }
    }
}

// Whatever a frame draws, it leaves the GL as its passes promise: the clear colour as found,
// active texture unit 0, no program, no blending, depth writes on and the surface's framebuffer
// bound with the surface's viewport.
TEST_F(RendererTest, FramesLeaveTheGlStateAsTheyFoundIt) {
    loadGenerated(300, 400, 4);
    resizeSurface(320, 240);
    struct Row {
        int method;
        bool shadow, draft, cpu;
    };
    const Row rows[] = {{0, true, false, false}, {1, true, false, false}, {2, false, true, true},
                        {3, true, false, false}, {4, true, true, false},  {0, false, true, true}};
    for (const Row& row : rows) {
        const std::string what = "method " + std::to_string(row.method);
        m_states.blendMethod = row.method;
        m_states.shadow = row.shadow;
        m_renderer->setDraftFrames(row.draft);
        m_renderer->setCurveDrawing(row.cpu ? SoftwareCurveLayer::Choice::CPU
                                            : SoftwareCurveLayer::Choice::GPU);
        const GLfloat clear[4] = {0.25f, 0.5f, 0.75f, 0.5f};
        glClearColor(clear[0], clear[1], clear[2], clear[3]);
        glActiveTexture(GL_TEXTURE3);
        frameWith(1, fittingCamera(1));
        EXPECT_EQ(m_renderer->curvesDrawnByCpu(), row.cpu) << what;
        GLfloat clearAfter[4] = {};
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clearAfter);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(clearAfter[i], clear[i]) << what;
        GLint value[4] = {};
        const std::pair<GLenum, GLint> expected[] = {
            {GL_ACTIVE_TEXTURE, GL_TEXTURE0},
            {GL_CURRENT_PROGRAM, 0},
            {GL_BLEND, GL_FALSE},
            {GL_DEPTH_WRITEMASK, GL_TRUE},
            {GL_DEPTH_TEST, GL_TRUE},
            {GL_LINE_SMOOTH, GL_TRUE},
            {GL_MATRIX_MODE, GL_MODELVIEW},
            {GL_DRAW_FRAMEBUFFER_BINDING, GLint(m_screen->m_framebuffer)}};
        for (const auto& [name, wanted] : expected) {
            glGetIntegerv(name, value);
            EXPECT_EQ(value[0], wanted) << what << ", state 0x" << std::hex << name;
        }
        glGetIntegerv(GL_VIEWPORT, value);
        EXPECT_EQ(std::vector<GLint>(value, value + 4), (std::vector<GLint>{0, 0, 320, 240}))
            << what;
    }
}

}  // namespace
