// What the renderer makes of the settings, a frame drawn in parts, the GL objects freed with
// their holders and the GL state a frame leaves.
#include "DisplayLists.h"
#include "SphereLevels.h"
#include "GlName.h"
#include "GlScene.h"
#include "RenderStates.h"
#include "RenderTree.h"
#include "SceneGeometry.h"
#include "ShaderProgram.h"
#include "ViewBounds.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
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

// The renderer's GL objects live exactly as long as their holders: there while held, gone after.
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
        RenderImplementation renderer;
        renderer.Initialize();
        auto camera = fittingCamera(1);
        // A graph opened again frees the buffers of the one before, with the edges its drafts
        // draw (a budget of 10 of its 40 vertices).
        int buffers[2] = {};
        for (int& live : buffers) {
            renderer.adoptSceneGeometry(SceneGeometry::build(*m_graph, m_viewTable, 10));
            ASSERT_TRUE(renderer.CreateObjects(*m_graph, m_viewTable));
            renderer.render(FrameInput{m_states, camera.get(), &m_light});
            for (GLuint name = 1; name < 20000; ++name) live += glIsBuffer(name) == GL_TRUE;
        }
        EXPECT_EQ(buffers[1], buffers[0]);
        for (int p = 0; p < 7; ++p) hold(K::PROGRAM, renderer.program(p)->m_handle);
        GLuint shaders[2] = {};
        glGetAttachedShaders(renderer.program(0)->m_handle, 2, nullptr, shaders);
        for (GLuint shader : shaders) {
            GLint deleted = GL_FALSE;  // let go of once linked, kept by the program
            glGetShaderiv(hold(K::SHADER, shader), GL_DELETE_STATUS, &deleted);
            EXPECT_EQ(deleted, GL_TRUE);
        }
        for (FrameBuffer* b : {renderer.sceneBuffer(), renderer.sumBuffer()}) holdFrameBuffer(*b);
        for (GLuint list : {g_sphereList, g_squareList}) hold(K::DISPLAY_LISTS, list);
        for (GLuint b : {sphereMesh(SphereLevels::FULL).indices, renderer.hierarchyColorBuffer(2),
                         renderer.draftEdgeBuffer()})
            hold(K::BUFFER, b);
        hold(K::TEXTURE, g_cushionTexture);
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
    // Method, shadow, draft frames, curves drawn by the CPU.
    const std::tuple<int, bool, bool, bool> rows[] = {
        {0, true, false, false}, {1, true, false, false}, {2, false, true, true},
        {3, true, false, false}, {4, true, true, false},  {0, false, true, true}};
    for (const auto& [method, shadow, draft, cpu] : rows) {
        const std::string what = "method " + std::to_string(method);
        m_states.blendMethod = method;
        m_states.shadow = shadow;
        m_renderer->setDraftFrames(draft);
        m_renderer->setCurveDrawing(cpu ? SoftwareCurveLayer::Choice::CPU
                                        : SoftwareCurveLayer::Choice::GPU);
        const GLfloat clear[4] = {0.25f, 0.5f, 0.75f, 0.5f};
        glClearColor(clear[0], clear[1], clear[2], clear[3]);
        glActiveTexture(GL_TEXTURE3);
        frameWith(1, fittingCamera(1));
        EXPECT_EQ(m_renderer->curvesDrawnByCpu(), cpu) << what;
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

// Drafts of a tree larger than their budget draw its upper levels alone, a part of the whole
// draft's pixels; full frames still draw every vertex and edge.
TEST_F(RendererTest, DraftsOfALargeTreeDrawItsUpperLevels) {
    loadGenerated(400, 0, 7, 3, 6);  // levels of 1, 3, 9, 27, 81 and 279 vertices at most
    resizeSurface(320, 240);
    const auto shoot = [&](int view, int mask, bool draft) {
        m_states.drawMask = mask;
        m_renderer->setDraftFrames(draft);
        twoFrames(view);
        return picture();
    };
    for (int view : {0, 4}) {
        const Picture empty = shoot(view, 0, false);
        Picture shots[2][2];  // [cut][draft], of vertices and hierarchy edges
        for (size_t budget : {size_t(400), size_t(40)}) {
            m_renderer->adoptSceneGeometry(SceneGeometry::build(*m_graph, m_viewTable, budget));
            ASSERT_TRUE(m_renderer->CreateObjects(*m_graph, m_viewTable));
            for (bool draft : {false, true}) shots[budget == 40][draft] = shoot(view, 3, draft);
        }
        EXPECT_TRUE(shots[1][0].rgb == shots[0][0].rgb) << "view " << view << ": full frames";
        size_t drawn[2] = {};
        for (size_t i = 0; i < empty.rgb.size(); i += 3) {
            bool on[2];
            for (int cut : {0, 1}) {
                on[cut] = !std::equal(&empty.rgb[i], &empty.rgb[i + 3], &shots[cut][1].rgb[i]);
                drawn[cut] += on[cut];
            }
            ASSERT_TRUE(on[0] || !on[1]) << "view " << view << ": drawn outside the tree";
        }
        EXPECT_GT(drawn[1], 0u) << "view " << view;
        EXPECT_LT(drawn[1], drawn[0] * 3 / 4) << "view " << view << ": the lower levels drawn";
        // The root is drawn, hardly any vertex of the lowest level.
        size_t deepShown = 0, deep = 0;
        for (const auto& [id, vertex] : m_graph->vertices()) {
            const Pixel p = projectVertex(view, id);
            const bool on = shown(shots[1][1], p) != shown(empty, p);
            if (vertex->getLevel() == 0) {
                EXPECT_TRUE(on) << "view " << view << ": the root";
            }
            deep += vertex->getLevel() == 5;
            deepShown += vertex->getLevel() == 5 && on;
        }
        EXPECT_LT(deepShown, deep / 4) << "view " << view << ": the lowest level drawn";
    }
    m_renderer->setDraftFrames(false);
}

}  // namespace
