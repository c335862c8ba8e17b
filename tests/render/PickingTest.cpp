// Picking in every view and every blending method: hierarchy edges and curves are found where
// they are drawn, the background names nothing, and a new curve pick restores the previous one.
#include "DefaultFramebuffer.h"
#include "FboSize.h"
#include "RenderStates.h"
#include "SceneFixture.h"
#include "SplineCurve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

using scene::Pixel;

// A root with four children, each with two leaves; relation edges join leaves under different
// children, so their curves run through the root in every layout.
std::vector<DataRecord> twoLevels() { return scene::fourBranchTree({{5, 9}, {7, 11}}); }

class PickingTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        load(twoLevels());
    }

    void twoFrames(int viewType) {
        frameWith(viewType, fittingCamera(viewType));
        frameWith(viewType, fittingCamera(viewType));
    }

    // How many hierarchy edges a pick a third of the way from the parent selects.
    int pickableEdges(int view) {
        twoFrames(view);
        int found = 0;
        for (uint32_t i = 0; i < g_graph->hierarchyEdgeCount(); ++i) {
            const HierarchyEdgePtr edge = g_graph->getHierarchyEdge(i);
            const LayoutRecord a = m_views[view]->getRecord(edge->getStart()->getId());
            const LayoutRecord b = m_views[view]->getRecord(edge->getEnd()->getId());
            // A third of the way from the parent: the edge's middle may cross another edge.
            const Pixel p =
                project(a.x + (b.x - a.x) / 3, 1 - (a.y + (b.y - a.y) / 3), a.z + (b.z - a.z) / 3);
            if (pickNear(p, [&](const Selection& s) {
                    return s.m_type == Selection::HIERARCHY_EDGE && s.m_hierarchyEdge->getId() == i;
                })) {
                ++found;
            }
        }
        return found;
    }

    // Tries samples along the curve until a pick near one selects it.
    bool pickCurve(int viewType, int index) {
        const SplineCurve& curve = curves(viewType)[index];
        for (int j : {12, 8, 16, 20, 30, 34, 38, 42, 25}) {
            const Point3 p = curve.point(j);
            if (pickNear(project(p[0], p[1], p[2]), [&](const Selection& s) {
                    return s.m_type == Selection::RELATION_EDGE && s.m_currentCurve == index;
                })) {
                return true;
            }
        }
        return false;
    }

    // A pixel of the picture that nothing covers: alpha 0 in the picking output.
    Pixel emptyPixel() const {
        for (int y = 2; y < FBO_HEIGHT; y += 37) {
            for (int x = 2; x < FBO_WIDTH; x += 41) {
                const Pixel p{x, y};
                if (pickingCode(column(p), row(p))[3] == 0) return p;
            }
        }
        ADD_FAILURE() << "no empty pixel";
        return {1, 1};
    }
};

TEST_F(PickingTest, HierarchyEdgesInEveryView) {
    g_renderStates.drawMask = 2;
    const uint32_t edges = static_cast<uint32_t>(g_graph->hierarchyEdgeCount());
    for (int view = 0; view < 5; ++view) {
        // Treemap edges from a rectangle's centre to its children's may lie on one another.
        EXPECT_GE(pickableEdges(view), static_cast<int>(edges) * 2 / 3) << "view " << view;
    }
}

TEST_F(PickingTest, CurvesInEveryViewAndANewPickRestoresThePrevious) {
    g_renderStates.drawMask = 4;
    const RenderStates states;
    const float* s = states.relationStartColor;
    const float* e = states.relationEndColor;
    const Color4 start{s[0], s[1], s[2], s[3]}, end{e[0], e[1], e[2], e[3]};
    const float* c = states.selectionColor;
    const Color4 selected{c[0], c[1], c[2], c[3]};
    for (int view = 0; view < 5; ++view) {
        twoFrames(view);
        ASSERT_EQ(curves(view).size(), 2u);
        ASSERT_TRUE(pickCurve(view, 0)) << "view " << view;
        const int edgeId = static_cast<int>(curves(view)[0].getEdgeId());
        EXPECT_EQ(static_cast<int>(m_renderer->selection().m_relationEdge->getId()), edgeId);
        EXPECT_EQ(curves(view)[0].getStartColor(), selected);
        twoFrames(view);
        ASSERT_TRUE(pickCurve(view, 1)) << "view " << view;
        EXPECT_EQ(m_renderer->selection().m_previousCurve, 0);
        EXPECT_EQ(curves(view)[0].getStartColor(), start) << "view " << view;
        EXPECT_EQ(curves(view)[0].getEndColor(), end) << "view " << view;
        EXPECT_EQ(curves(view)[1].getStartColor(), selected);
    }
}

TEST_F(PickingTest, CurvesInEveryBlendingMethod) {
    g_renderStates.drawMask = 7;
    for (int method = 0; method < 5; ++method) {
        g_renderStates.blendMethod = method;
        twoFrames(4);
        EXPECT_TRUE(pickCurve(4, method % 2)) << "method " << method;
    }
}

TEST_F(PickingTest, BackgroundNamesNothingInEveryView) {
    for (int view = 0; view < 5; ++view) {
        twoFrames(view);
        pick(emptyPixel());
        EXPECT_EQ(m_renderer->selection().m_type, Selection::NOTHING) << "view " << view;
    }
    // After a selection the background leaves it alone rather than naming vertex 0, edge 0 and
    // the first curve, whose codes are all zero like the background's.
    g_renderStates.drawMask = 1;
    twoFrames(1);
    pick(projectVertex(1, 3));
    ASSERT_EQ(m_renderer->selection().m_type, Selection::VERTEX);
    g_renderStates.drawMask = 7;
    twoFrames(1);
    pick(emptyPixel());
    EXPECT_EQ(m_renderer->selection().m_type, Selection::VERTEX);
    EXPECT_EQ(m_renderer->selection().m_vertex->getId(), 3u);
}

TEST_F(PickingTest, BalloonCirclesKeepTheirColourWhateverVertexIsSelected) {
    // The circles used to take the colour of the sphere drawn last, the selected one: selecting
    // vertex 0, whose code colour is black, made them vanish.
    g_renderStates.drawMask = 1 | 8;
    g_renderStates.lighting = false;
    // The selection colour the same as the vertex colour: only the circles could change.
    std::copy(g_renderStates.vertexColor, g_renderStates.vertexColor + 4,
              g_renderStates.selectionColor);
    twoFrames(1);
    const scene::Picture unselected = picture();
    for (uint32_t id : {0u, 12u}) {
        pick(projectVertex(1, id));
        ASSERT_EQ(m_renderer->selection().m_type, Selection::VERTEX);
        twoFrames(1);
        // The selection colour is the vertex colour: nothing may change but a pixel or
        // two where a smoothed circle edge meets the selected sphere, drawn again on its own.
        EXPECT_LE(scene::countDifferent(unselected, picture(), 2), 4) << "vertex " << id;
    }
}

TEST_F(PickingTest, BuffersPictureOverlayAndPickingFollowTheSurfaceSize) {
    g_renderStates.drawMask = 7;
    const uint32_t n = static_cast<uint32_t>(g_graph->vertexCount());
    for (const auto& [width, height] : {std::pair{1536, 1152}, {800, 600}, {1024, 768}}) {
        resizeSurface(width, height);
        const std::string size = std::to_string(width) + " x " + std::to_string(height);
        for (int method : {0, 3, 4}) {
            g_renderStates.blendMethod = method;
            twoFrames(1);
            for (FrameBuffer* buffer : {m_renderer->sceneBuffer(), m_renderer->weightingBuffer(),
                                        m_renderer->sumBuffer()}) {
                EXPECT_EQ(buffer->width(), width) << size;
                EXPECT_EQ(buffer->height(), height) << size;
            }
            // Every sphere that stands apart shows where the camera puts it on this surface,
            // and a pick there names it.
            const scene::Picture shot = picture();
            int checked = 0;
            for (uint32_t k = 0; k < n; ++k) {
                const Pixel p = projectVertex(1, k);
                bool alone = true;
                for (uint32_t other = 0; other < n && alone; ++other) {
                    const Pixel q = projectVertex(1, other);
                    alone = other == k || std::abs(q.x - p.x) + std::abs(q.y - p.y) > width / 60;
                }
                if (!alone) continue;
                const std::array<int, 3> c = shot.at(column(p), row(p));
                EXPECT_GT(c[0] + c[1] + c[2], 300) << size << " method " << method << " " << k;
                pick(p);
                ASSERT_EQ(m_renderer->selection().m_type, Selection::VERTEX) << size << " " << k;
                EXPECT_EQ(m_renderer->selection().m_vertex->getId(), k) << size;
                ++checked;
            }
            EXPECT_GE(checked, 6) << size;
        }
        // The overlay writes only into the top-left and top-right corners of this surface.
        const scene::Picture before = picture();
        bindDefaultFramebuffer();
        captureStdout([&] { m_renderer->drawOverlay(16); });
        const scene::Picture after = picture();
        int left = 0, right = 0, elsewhere = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (before.at(x, y) == after.at(x, y)) continue;
                const int fromTop = height - 1 - y;
                if (x < 400 && fromTop < 110) {
                    ++left;
                } else if (x >= width - 80 && fromTop < 70) {
                    ++right;
                } else {
                    ++elsewhere;
                }
            }
        }
        EXPECT_GT(left, 100) << size;
        EXPECT_GT(right, 50) << size;
        EXPECT_EQ(elsewhere, 0) << size;
    }
}

}  // namespace
