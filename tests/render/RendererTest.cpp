// What the renderer makes of the settings, a frame drawn in parts, the GL objects freed with
// their holders and the GL state a frame leaves.
#include "DefaultFramebuffer.h"
#include "DisplayLists.h"
#include "SphereLevels.h"
#include "GlName.h"
#include "GlScene.h"
#include "RenderStates.h"
#include "RenderTree.h"
#include "ShaderProgram.h"
#include "ViewBounds.h"

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class RendererTest : public SceneTest {};

// The scale slider through the scene scale rule, and the drawMask bits (vertices, hierarchy
// edges, relation edges, grid): outside 0..15 the switches stay as they were.
TEST_F(RendererTest, RenderStatesAreDecodedAtTheNextFrame) {
    loadGenerated(12, 0, 2);
    const std::array<int, 3> cases[] = {{0, 5, 5},    {50, -1, 5}, {51, 16, 5},
                                        {100, 21, 5}, {50, 8, 8},  {50, 2, 2}};
    for (const auto& [slider, mask, shown] : cases) {
        m_states.scale = slider;
        m_states.drawMask = mask;
        frameWith(1, fittingCamera(1));
        EXPECT_EQ(m_renderer->sceneScale(), ViewBounds::sceneScale(slider)) << slider;
        const bool on[] = {m_renderer->drawVerticesOn(), m_renderer->drawHierarchyEdgesOn(),
                           m_renderer->drawRelationEdgesOn(), m_renderer->drawGridOn()};
        for (int bit = 0; bit < 4; ++bit) EXPECT_EQ(on[bit], bool(shown >> bit & 1)) << mask;
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

// Every kind of GL object lives exactly as long as its holder: there while held, gone after.
TEST_F(RendererTest, GlObjectsGoWithTheirHolders) {
    loadGenerated(40, 30, 3);
    using K = GlName::Kind;
    std::vector<std::pair<K, GLuint>> held;  // one row per object, with the test of its kind
    const auto hold = [&](K kind, GLuint name) { return held.emplace_back(kind, name).second; };
    const auto holdFrameBuffer = [&](const FrameBuffer& b) {
        hold(K::FRAMEBUFFER, b.m_framebuffer);
        hold(K::TEXTURE, b.m_depthTexture);
        for (GLuint t : b.m_colorTextures) hold(K::TEXTURE, t);
    };
    const auto exists = [](K kind, GLuint name) {
        GLboolean (*const is[])(GLuint) = {glIsProgram, glIsShader,      glIsBuffer,
                                           glIsTexture, glIsFramebuffer, glIsRenderbuffer,
                                           glIsList};
        return is[int(kind)](name) == GL_TRUE;
    };
    {
        std::vector<GlName> names;
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
        for (auto [kind, name] : {std::pair{K::BUFFER, n[0]},
                                  {K::TEXTURE, n[1]},
                                  {K::FRAMEBUFFER, n[2]},
                                  {K::RENDERBUFFER, n[3]},
                                  {K::PROGRAM, glCreateProgram()},
                                  {K::SHADER, glCreateShader(GL_VERTEX_SHADER)}}) {
            names.emplace_back(kind, hold(kind, name));
        }
        names.emplace_back(K::DISPLAY_LISTS, hold(K::DISPLAY_LISTS, lists), 3);
        hold(K::DISPLAY_LISTS, lists + 2);
        bindDefaultFramebuffer();

        ShaderProgram program("shader/sum_final_vert.glsl", "shader/sum_final_frag.glsl");
        hold(K::PROGRAM, program.buildProgram());
        GLuint shaders[2] = {};
        glGetAttachedShaders(program.m_handle, 2, nullptr, shaders);
        for (GLuint shader : shaders) {
            GLint deleted = GL_FALSE;  // let go of once linked, kept by the program
            glGetShaderiv(hold(K::SHADER, shader), GL_DELETE_STATUS, &deleted);
            EXPECT_EQ(deleted, GL_TRUE);
        }
        FrameBuffer buffer(2, 64, 32);
        holdFrameBuffer(buffer);

        RenderImplementation renderer;
        renderer.Initialize();
        View* views[5] = {};
        for (int t = 0; t < 5; ++t) views[t] = m_views[t].get();
        ASSERT_TRUE(renderer.CreateObjects(*m_graph, views));
        auto camera = fittingCamera(1);
        renderer.render(FrameInput{m_states, camera.get(), &m_light});
        for (int p = 0; p < 7; ++p) hold(K::PROGRAM, renderer.program(p)->m_handle);
        for (FrameBuffer* b : {renderer.sceneBuffer(), renderer.sumBuffer()}) holdFrameBuffer(*b);
        hold(K::DISPLAY_LISTS, g_sphereList);
        hold(K::DISPLAY_LISTS, g_squareList);
        hold(K::BUFFER, sphereMesh(SphereLevels::FULL).indices);
        hold(K::TEXTURE, g_cushionTexture);
        hold(K::BUFFER, renderer.hierarchyColorBuffer(2));
        for (const auto& [kind, name] : held)
            EXPECT_TRUE(exists(kind, name)) << &name - &held[0].second;
    }
    for (const auto& [kind, name] : held)
        EXPECT_FALSE(exists(kind, name)) << &name - &held[0].second;
}

// Whatever a frame draws, it and a pick after it leave the GL as the passes promise: the clear
// colour as found, active texture unit 0, no program, no blending, depth writes on and the
// surface's framebuffer bound with the surface's viewport, the buffers of the surface's size.
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
        pick(projectVertex(1, 7));
        for (FrameBuffer* b :
             {m_renderer->sceneBuffer(), m_renderer->weightingBuffer(), m_renderer->sumBuffer()}) {
            EXPECT_EQ(std::pair(b->width(), b->height()), std::pair(320, 240)) << what;
        }
        GLfloat clearAfter[4] = {};
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clearAfter);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(clearAfter[i], clear[i]) << what;
        GLint value[4] = {};
        const std::pair<GLenum, GLint> expected[] = {
            {GL_ACTIVE_TEXTURE, GL_TEXTURE0},
            {GL_CURRENT_PROGRAM, 0},
            {GL_BLEND, GL_FALSE},
            {GL_POINT_SPRITE, GL_FALSE},
            {GL_VERTEX_PROGRAM_POINT_SIZE, GL_FALSE},
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
