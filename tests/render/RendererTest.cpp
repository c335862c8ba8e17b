// What the renderer makes of the render states, and a frame drawn in parts.
#include "GlScene.h"
#include "RenderStates.h"

#include <cmath>
#include <string>

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

}  // namespace
