// The relation edges of a selected vertex: outgoing and incoming curves in their colours in the
// current view, read back from the curve buffers, and the highlight moving or clearing with the
// next pick, a view switch, a colour change and new objects.
#include "DrawnPosition.h"
#include "RenderStates.h"
#include "SceneFixture.h"
#include "SplineCurve.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using scene::Pixel;

// A root with four children, each with two leaves (5 .. 12). Vertex 5 starts edges 0 and 1 and
// ends edge 2; edges 3 and 4 do not touch it. Vertex 9 ends edge 0 only.
std::vector<DataRecord> starGraph() {
    return scene::fourBranchTree({{5, 9}, {5, 11}, {7, 5}, {6, 10}, {12, 8}});
}

enum Mark { PLAIN, OUT, IN, PICKED };
using Marks = std::map<uint32_t, Mark>;  // by edge id; edges not named are plain

Color4 toColor(const float* c) { return {c[0], c[1], c[2], c[3]}; }

class HighlightTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        load(starGraph());
    }

    void twoFrames(int viewType) {
        frameWith(viewType, fittingCamera(viewType));
        frameWith(viewType, fittingCamera(viewType));
    }

    void pickVertex(int viewType, uint32_t id) {
        g_renderStates.drawMask = 1;
        twoFrames(viewType);
        pick(projectVertex(viewType, id));
        ASSERT_EQ(m_renderer->selection().m_type, Selection::VERTEX);
        ASSERT_EQ(m_renderer->selection().m_vertex->getId(), id);
    }

    // Every curve of the view, in its spline and in the GL buffer, has the colours its mark
    // calls for: a highlight is one colour along the whole curve.
    void expectMarks(int viewType, const Marks& marks, const std::string& when) {
        const RenderStates& s = g_renderStates;
        const auto& list = curves(viewType);
        ASSERT_EQ(list.size(), 5u) << when;
        for (size_t p = 0; p < list.size(); ++p) {
            const auto edge = static_cast<uint32_t>(list[p].getEdgeId());
            const auto found = marks.find(edge);
            const Mark mark = found == marks.end() ? PLAIN : found->second;
            Color4 start = toColor(s.relationStartColor), end = toColor(s.relationEndColor);
            if (mark != PLAIN) {
                const float* c = mark == OUT  ? s.outgoingEdgeColor
                                 : mark == IN ? s.incomingEdgeColor
                                              : s.selectionColor;
                start = end = toColor(c);
            }
            const std::string what =
                when + ", view " + std::to_string(viewType) + ", edge " + std::to_string(edge);
            // The vertex's edges are drawn at the colour's own opacity, not thinned by length.
            const float alpha = start[3];
            if (mark == OUT || mark == IN) start[3] = end[3] *= float(list[p].getControlCount());
            EXPECT_EQ(list[p].getStartColor(), start) << what;
            EXPECT_EQ(list[p].getEndColor(), end) << what;
            const std::vector<float> buffer = m_renderer->curveBuffers(viewType).readColors(p);
            ASSERT_FALSE(buffer.empty()) << what;
            const size_t last = buffer.size() - 4;
            for (int c = 0; c < 3; ++c) {
                EXPECT_EQ(buffer[c], start[c]) << what;
                if (mark != PLAIN) {
                    EXPECT_EQ(buffer[last + c], start[c]) << what;
                }
            }
            if (mark == OUT || mark == IN) {
                EXPECT_FLOAT_EQ(buffer[3], alpha) << what;
                EXPECT_FLOAT_EQ(buffer[last + 3], alpha) << what;
            }
            if (mark == PLAIN) {
                EXPECT_NE(buffer[last + 2], start[2]) << what;  // a gradient
            }
        }
    }

    // Tries samples along the curve of edge until a pick near one selects it.
    bool pickEdgeCurve(int viewType, uint32_t edge) {
        g_renderStates.drawMask = 4;
        twoFrames(viewType);
        const auto& list = curves(viewType);
        for (size_t p = 0; p < list.size(); ++p) {
            if (static_cast<uint32_t>(list[p].getEdgeId()) != edge) continue;
            for (int j : {12, 8, 16, 20, 30, 34, 38, 42, 25}) {
                const Point3 q = list[p].point(j);
                if (pickNear(project(q[0], q[1], q[2]), [&](const Selection& s) {
                        return s.m_type == Selection::RELATION_EDGE &&
                               s.m_relationEdge->getId() == edge;
                    })) {
                    return true;
                }
            }
        }
        return false;
    }
};

const Marks kVertex5 = {{0, OUT}, {1, OUT}, {2, IN}};
const Marks kVertex9 = {{0, IN}};

TEST_F(HighlightTest, APickedVertexColoursExactlyItsEdgesInEveryView) {
    for (int view = 0; view < 5; ++view) {
        pickVertex(view, 5);
        expectMarks(view, kVertex5, "vertex 5 picked");
        EXPECT_EQ(m_renderer->overlayLine(3), "In: 1  Out: 2");
        // A second pick moves the highlight.
        pickVertex(view, 9);
        expectMarks(view, kVertex9, "vertex 9 picked after 5");
        EXPECT_EQ(m_renderer->overlayLine(2), "Name: v9");
        EXPECT_EQ(m_renderer->overlayLine(3), "In: 1  Out: 0");
        // A vertex without relation edges clears it.
        pickVertex(view, 2);
        expectMarks(view, {}, "vertex 2 picked after 9");
        EXPECT_EQ(m_renderer->overlayLine(3), "In: 0  Out: 0");
    }
}

TEST_F(HighlightTest, EdgePicksAfterAVertexRestoreItsEdgesAndAVertexRestoresThem) {
    const int view = 4;
    pickVertex(view, 5);
    ASSERT_TRUE(pickEdgeCurve(view, 3));
    expectMarks(view, {{3, PICKED}}, "curve of edge 3 picked after vertex 5");
    // The picked curve used to stay highlighted once a vertex was picked.
    pickVertex(view, 9);
    expectMarks(view, kVertex9, "vertex 9 picked after a curve");

    // A hierarchy edge: every view's hierarchy buffer highlights it, no curve stays coloured.
    g_renderStates.drawMask = 2;
    twoFrames(1);
    const HierarchyEdgePtr edge = g_graph->getHierarchyEdge(0);
    const LayoutRecord a = m_views[1]->getRecord(edge->getStart()->getId());
    const LayoutRecord b = m_views[1]->getRecord(edge->getEnd()->getId());
    ASSERT_TRUE(
        pickNear(project(a.x + (b.x - a.x) / 3, 1 - a.y - (b.y - a.y) / 3, a.z + (b.z - a.z) / 3),
                 [](const Selection& s) { return s.m_type == Selection::HIERARCHY_EDGE; }));
    expectMarks(1, {}, "hierarchy edge picked after vertex 9");
    expectMarks(view, {}, "hierarchy edge picked after vertex 9");
    pickVertex(1, 5);
    expectMarks(1, kVertex5, "vertex 5 picked after a hierarchy edge");
    const std::vector<float> hierarchy = hierarchyColors(1);
    for (size_t i = 0; i < hierarchy.size(); ++i) {
        EXPECT_EQ(hierarchy[i], g_renderStates.hierarchyColor[i % 4]) << "float " << i;
    }
}

TEST_F(HighlightTest, AViewSwitchMovesTheHighlightAndNewObjectsClearIt) {
    pickVertex(1, 5);
    g_renderStates.drawMask = 7;
    twoFrames(4);
    expectMarks(1, {}, "balloon after switching to radial");
    expectMarks(4, kVertex5, "radial after switching from balloon");

    // A picked curve follows its edge into the next view's list.
    ASSERT_TRUE(pickEdgeCurve(4, 4));
    twoFrames(0);
    expectMarks(4, {}, "radial after switching to rooted");
    expectMarks(0, {{4, PICKED}}, "rooted after switching from radial");
    const auto& rooted = curves(0);
    const int32_t current = m_renderer->selection().m_currentCurve;
    ASSERT_GE(current, 0);
    EXPECT_EQ(static_cast<uint32_t>(rooted[current].getEdgeId()), 4u);

    // New highlight colours show at the next frame; a new relation colour keeps the highlight.
    captureStdout([&] { ASSERT_TRUE(m_renderer->selectVertexById(5)); });
    const float green[4] = {0, 1, 0, 1};
    std::copy(green, green + 4, g_renderStates.outgoingEdgeColor);
    g_renderStates.relationEndColor[0] = 0.5f;
    twoFrames(0);
    expectMarks(0, kVertex5, "after new colours");

    load(starGraph());
    EXPECT_EQ(m_renderer->selection().m_type, Selection::NOTHING);
    twoFrames(0);
    for (int view = 0; view < 5; ++view) expectMarks(view, {}, "new objects");
    EXPECT_EQ(m_renderer->overlayLine(3), "");
}

TEST_F(HighlightTest, SelectingByIdIsAPickAndTheDrawnPositionIsWhereThePickFindsIt) {
    // Found by id: the same selection and highlight as a pick.
    g_renderStates.drawMask = 7;
    twoFrames(1);
    captureStdout([&] {
        EXPECT_FALSE(m_renderer->selectVertexById(13));
        EXPECT_EQ(m_renderer->selection().m_type, Selection::NOTHING);
        EXPECT_TRUE(m_renderer->selectVertexById(5));
    });
    EXPECT_EQ(m_renderer->selection().m_vertex->getId(), 5u);
    expectMarks(1, kVertex5, "vertex 5 found by id");

    // With the scene turned and scaled, a pick at the drawn position selects the vertex.
    g_renderStates.rotationX = 30;
    g_renderStates.rotationY = 50;
    g_renderStates.rotationZ = -20;
    g_renderStates.scale = 40;
    g_renderStates.drawMask = 1;
    for (uint32_t id : {0u, 3u, 8u, 12u}) {
        twoFrames(1);
        frameWith(1, scene::cameraFor(1));
        Vector3 at{};
        ASSERT_TRUE(m_renderer->drawnVertexPosition(id, &at));
        pick(project(at[0], at[1], at[2]));
        ASSERT_EQ(m_renderer->selection().m_type, Selection::VERTEX) << "vertex " << id;
        EXPECT_EQ(m_renderer->selection().m_vertex->getId(), id);
    }
    Vector3 unused{};
    EXPECT_FALSE(m_renderer->drawnVertexPosition(99, &unused));
}

TEST(DrawnPositionTest, RecordsAreFlippedTurnedAndScaledAsTheScenePassDrawsThem) {
    struct Case {
        float rx, ry, rz, scale;
        Vector3 expected;
    };
    // The record (0.25, 0.75, 0.5) is drawn at (0.25, 0.25, 0.5) before turning.
    const Case cases[] = {
        {0, 0, 0, 1, {0.25f, 0.25f, 0.5f}},
        {0, 0, 0, 2, {0.5f, 0.5f, 1.0f}},
        {0, 0, 90, 1, {-0.25f, 0.25f, 0.5f}},
        {90, 0, 0, 1, {0.25f, -0.5f, 0.25f}},
        {0, 90, 0, 1, {0.5f, 0.25f, -0.25f}},
        // Turned about z first, then about x, as the calls' order applies them.
        {90, 0, 90, 1, {-0.25f, -0.5f, 0.25f}},
    };
    LayoutRecord record;
    record.x = 0.25f;
    record.y = 0.75f;
    record.z = 0.5f;
    for (const Case& c : cases) {
        const Vector3 p = drawnPosition(record, c.rx, c.ry, c.rz, c.scale);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(p[i], c.expected[i], 1e-6f)
                << c.rx << " " << c.ry << " " << c.rz << " " << c.scale << " axis " << i;
        }
    }
}

}  // namespace
