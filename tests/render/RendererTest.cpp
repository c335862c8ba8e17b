// The renderer on real graphs: where vertices, edges and curves land (through picking), the
// selection and its highlight, colours, beta and the render-state decoding.
#include "FboSize.h"
#include "RenderStates.h"
#include "SceneFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using scene::Pixel;

class RendererTest : public SceneTest {};

TEST_F(RendererTest, EachViewDrawsEveryVertexWhereItsRecordSays) {
    loadGenerated(30, 0, 7);
    g_renderStates.drawMask = 1;
    for (int view = 0; view < 5; ++view) {
        frame(view);
        int checked = 0;
        const uint32_t n = static_cast<uint32_t>(g_graph->vertexCount());
        for (uint32_t k = 0; k < n; ++k) {
            const Pixel p = projectVertex(view, k);
            bool alone = p.x > 2 && p.x < FBO_WIDTH - 2 && p.y > 2 && p.y < FBO_HEIGHT - 2;
            for (uint32_t other = 0; other < n && alone; ++other) {
                const Pixel q = projectVertex(view, other);
                alone = other == k || std::abs(q.x - p.x) + std::abs(q.y - p.y) > 12;
            }
            if (!alone) continue;
            pick(p);
            ASSERT_EQ(m_renderer->selection().m_type, Selection::VERTEX) << "view " << view;
            EXPECT_EQ(m_renderer->selection().m_vertex->getId(), k) << "view " << view;
            ++checked;
        }
        EXPECT_GE(checked, 3) << "view " << view;
    }
}

TEST_F(RendererTest, BackgroundSelectsNothing) {
    loadGenerated(10, 3, 1);
    frame(0);
    pick({1, 1});
    EXPECT_EQ(m_renderer->selection().m_type, Selection::NOTHING);
    // A pointer far outside the picture reads the clamped corner, also empty.
    pick({5000, -30});
    EXPECT_EQ(m_renderer->selection().m_type, Selection::NOTHING);
}

TEST_F(RendererTest, PickingAHierarchyEdgeHighlightsItInEveryView) {
    // A root with two children: edge 1 runs from the root to the right child.
    load({{"Root", {"0"}},
          {"H", {"0", "root"}},
          {"H", {"1", "a"}},
          {"H", {"2", "b"}},
          {"PCR", {"0", "1"}},
          {"PCR", {"0", "2"}}});
    g_renderStates.drawMask = 2;
    const float selection[4] = {0, 1, 0, 1};
    std::copy(selection, selection + 4, g_renderStates.selectionColor);
    frame(0);
    const LayoutRecord a = m_views[0]->getRecord(0), b = m_views[0]->getRecord(2);
    const Pixel middle = project((a.x + b.x) / 2, 1 - (a.y + b.y) / 2, 0);
    ASSERT_TRUE(
        pickNear(middle, [](const Selection& s) { return s.m_type == Selection::HIERARCHY_EDGE; }));
    EXPECT_EQ(m_renderer->selection().m_hierarchyEdge->getId(), 1u);
    for (int view = 0; view < 5; ++view) {
        const std::vector<float> colors = hierarchyColors(view);
        EXPECT_EQ(colors[8 + 1], 1.0f) << "edge 1, view " << view;  // selection green
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(colors[c], RenderStates().hierarchyColor[c])
                << "edge 0 keeps the hierarchy colour, view " << view;
        }
    }
    // The next file's objects are new: the old selection would name an edge of another graph.
    loadGenerated(6, 2, 9);
    EXPECT_EQ(m_renderer->selection().m_type, Selection::NOTHING);
    EXPECT_FALSE(m_renderer->selection().m_hierarchyEdge);
}

TEST_F(RendererTest, CodeToIndexRoundsAndRefusesWhatNamesNothing) {
    EXPECT_EQ(RenderImplementation::codeToIndex(1.0f / 3.0f * 3.0f / 3.0f, 3), 1);
    for (int n : {3, 7, 49, 1000, 999983}) {
        for (int k : {0, 1, n / 2, n - 1}) {
            EXPECT_EQ(RenderImplementation::codeToIndex(static_cast<float>(k) / n, n), k);
        }
    }
    EXPECT_EQ(RenderImplementation::codeToIndex(1.0f, 5), -1);
    EXPECT_EQ(RenderImplementation::codeToIndex(0.5f, 0), -1);
    EXPECT_EQ(RenderImplementation::codeToIndex(-0.1f, 5), -1);
    EXPECT_EQ(RenderImplementation::codeToIndex(std::nanf(""), 5), -1);
}

TEST_F(RendererTest, ScaleSliderMapping) {
    loadGenerated(5, 0, 1);
    const std::pair<int, float> cases[] = {{0, 1.0f / 6}, {50, 1.0f}, {51, 1.1f}, {100, 6.0f}};
    for (auto [slider, expected] : cases) {
        g_renderStates.scale = slider;
        frame(1);
        EXPECT_NEAR(m_renderer->sceneScale(), expected, 1e-6f) << "slider " << slider;
    }
}

TEST_F(RendererTest, DrawMaskOutsideItsRangeKeepsTheSwitches) {
    g_renderStates.drawMask = 5;
    frame(1);
    EXPECT_TRUE(m_renderer->drawVerticesOn());
    EXPECT_FALSE(m_renderer->drawHierarchyEdgesOn());
    EXPECT_TRUE(m_renderer->drawRelationEdgesOn());
    EXPECT_FALSE(m_renderer->drawGridOn());
    for (int outOfRange : {-1, 16, 21}) {
        g_renderStates.drawMask = outOfRange;
        frame(1);
        EXPECT_TRUE(m_renderer->drawVerticesOn());
        EXPECT_FALSE(m_renderer->drawHierarchyEdgesOn());
        EXPECT_TRUE(m_renderer->drawRelationEdgesOn());
        EXPECT_FALSE(m_renderer->drawGridOn());
    }
    g_renderStates.drawMask = 8;
    frame(1);
    EXPECT_FALSE(m_renderer->drawVerticesOn());
    EXPECT_TRUE(m_renderer->drawGridOn());
}

TEST_F(RendererTest, HierarchyColourReachesEveryView) {
    loadGenerated(12, 0, 2);
    frame(4);
    g_renderStates.hierarchyColor[1] = 0.25f;
    frame(4);
    for (int view = 0; view < 5; ++view) {
        const std::vector<float> colors = hierarchyColors(view);
        for (size_t i = 0; i < colors.size(); i += 4) EXPECT_EQ(colors[i + 1], 0.25f);
    }
}

TEST_F(RendererTest, OverlayTextFollowsTheSelection) {
    const std::pair<int, const char*> frameTimes[] = {
        {16, "16 ms"}, {0, "0 ms"}, {-5, "0 ms"}, {9999, "9999 ms"}, {13249, "13.2 s"}};
    for (const auto& [milliseconds, text] : frameTimes) {
        EXPECT_EQ(RenderImplementation::frameTimeText(milliseconds), text) << milliseconds;
    }
    EXPECT_EQ(RenderImplementation::overlayField(12345), "12345");
    EXPECT_EQ(RenderImplementation::overlayField(123456), "12345");
    EXPECT_EQ(RenderImplementation::overlayField(-12345), "-1234");
    EXPECT_EQ(m_renderer->overlayLine(0), "Type: ");
    EXPECT_EQ(m_renderer->overlayLine(1), "ID:");
    EXPECT_EQ(m_renderer->overlayLine(2), "");

    load({{"Root", {"0"}}, {"H", {"0", "root"}}, {"H", {"1", "x"}}, {"PCR", {"0", "1"}}});
    g_renderStates.drawMask = 1;
    frame(0);
    pick(projectVertex(0, 1));
    ASSERT_EQ(m_renderer->selection().m_type, Selection::VERTEX);
    EXPECT_EQ(m_renderer->overlayLine(0), "Type: Vertex");
    EXPECT_EQ(m_renderer->overlayLine(1), "ID: 1");
    EXPECT_EQ(m_renderer->overlayLine(2), "Name: x");
    captureStdout([&] { m_renderer->drawOverlay(16); });
}

// A frame of more curves than a draft holds, drawn in parts of 1 ms, ends as the same picture as
// the frame drawn whole, for a method that blends in the scene and one that accumulates sums.
TEST_F(RendererTest, AFrameInPartsEndsAsTheWholeFrame) {
    loadGenerated(2000, 17000, 5, 4, 5);
    resizeSurface(320, 240);
    for (int method : {0, 3}) {
        g_renderStates.blendMethod = method;
        frameWith(4, fittingCamera(4));
        ASSERT_TRUE(m_renderer->frameComplete());
        const scene::Picture whole = picture();
        m_renderer->setFrameBudget(1);
        frameWith(4, fittingCamera(4));
        EXPECT_FALSE(m_renderer->frameComplete()) << "method " << method;
        int parts = 1;
        while (!m_renderer->continueFrame()) ++parts;
        EXPECT_GT(parts, 2) << "method " << method;
        EXPECT_TRUE(picture() == whole) << "method " << method;
        m_renderer->setFrameBudget(0);
    }
}

}  // namespace
