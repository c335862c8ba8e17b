// Picking and its highlight: vertices, hierarchy edges and curves are found where they are drawn
// in every view and blending method, the background names nothing, and the highlight of the
// selection (curve slots, hierarchy colours, overlay lines) follows picks, view switches, colour
// changes and new objects.
#include "DefaultFramebuffer.h"
#include "GlScene.h"
#include "RenderStates.h"
#include "SplineCurve.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

// A root (0) with four children (1 .. 4), each with two leaves (5 .. 12); every curve runs
// through the root in every layout. Vertex 5 starts edges 0 and 1 and ends edge 2; edges 3 and 4
// do not touch it. Vertex 9 ends edge 0 only.
std::vector<DataRecord> starGraph() {
    std::vector<DataRecord> records{{"Root", {"0"}}, {"H", {"0", "r"}}};
    for (int k = 1; k <= 12; ++k) {
        const std::string id = std::to_string(k), parent = std::to_string(k <= 4 ? 0 : (k - 3) / 2);
        records.insert(records.end(), {{"H", {id, "v" + id}}, {"PCR", {parent, id}}});
    }
    for (auto [a, b] : {std::pair{5, 9}, {5, 11}, {7, 5}, {6, 10}, {12, 8}})
        records.push_back({"R", {std::to_string(a), std::to_string(b)}});
    return records;
}

using Marks = std::map<uint32_t, CurveBuffers::Slot>;  // by edge id; edges not named are NORMAL
constexpr CurveBuffers::Slot OUT = CurveBuffers::OUTGOING, IN = CurveBuffers::INCOMING,
                             PICKED = CurveBuffers::SELECTED;

class PickingTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        if (!HasFatalFailure()) load(starGraph());
    }

    Pixel drawnAt(uint32_t id) const {
        Vector3 at{};
        EXPECT_TRUE(m_renderer->drawnVertexPosition(id, &at)) << id;
        return project(at[0], at[1], at[2]);
    }

    // Picks object id of the type (a vertex, a hierarchy edge or the curve at position id of the
    // view's list) where the last frame drew it: at the drawn position of a vertex, a third of
    // the way from an edge's parent (its middle may cross another edge), or at samples along a
    // curve, each tried with its neighbours (lines are one pixel wide).
    bool pickObject(Selection::Type type, int view, uint32_t id) {
        std::vector<Pixel> tries;
        if (type == Selection::VERTEX) tries.push_back(drawnAt(id));
        if (type == Selection::HIERARCHY_EDGE) {
            const HierarchyEdgePtr edge = m_graph->getHierarchyEdge(id);
            const LayoutRecord a = m_views[view]->getRecord(edge->getStart()->getId());
            const LayoutRecord b = m_views[view]->getRecord(edge->getEnd()->getId());
            tries.push_back(
                project(a.x + (b.x - a.x) / 3, 1 - a.y - (b.y - a.y) / 3, a.z + (b.z - a.z) / 3));
        }
        for (int j : {12, 8, 16, 20, 30, 34, 38, 42, 25}) {
            if (type != Selection::RELATION_EDGE) break;
            const Point3 p = curves(view)[id].point(j);
            tries.push_back(project(p[0], p[1], p[2]));
        }
        const Selection& s = selection();
        for (const Pixel& p : tries) {
            for (int d = 0; d < 9; ++d) {
                pick({p.x + d % 3 - 1, p.y + d / 3 - 1});
                if (s.m_type == type &&
                    (type == Selection::VERTEX ? s.m_vertex->getId() == id
                     : type == Selection::HIERARCHY_EDGE
                         ? s.m_hierarchyEdge->getId() == id
                         : s.m_currentCurve == int32_t(id) &&
                               s.m_relationEdge->getId() == curves(view)[id].getEdgeId())) {
                    return true;
                }
            }
        }
        return false;
    }

    // The curve slots of the view are those the marks call for; every other view's are plain.
    void expectMarks(int view, const Marks& marks, const std::string& when) {
        const CurveControls& controls = *m_renderer->curveControls();
        for (int v = 0; v < 5; ++v) {
            for (size_t p = 0; p < controls.curveCount(); ++p) {
                const auto found = v == view ? marks.find(controls.edgeAt(v, p)) : marks.end();
                EXPECT_EQ(m_renderer->curveBuffers().slot(v, p),
                          found == marks.end() ? CurveBuffers::NORMAL : found->second)
                    << when << ", view " << v << ", edge " << controls.edgeAt(v, p);
            }
        }
    }
};

TEST_F(PickingTest, EveryObjectIsFoundWhereItIsDrawnAndTheBackgroundNamesNothing) {
    pick({5000, -30});  // far outside: the clamped corner, empty
    EXPECT_EQ(selection().m_type, Selection::NOTHING);
    // Every view with the start method, every method in the radial view, and the balloon turned
    // and scaled down; then every view and the methods the CPU draws in draft frames with the
    // curves drawn by the CPU, which leaves their picking codes to the pick itself.
    const std::array<int, 4> rows[] = {
        {0, 0, 0, 0}, {1, 0, 0, 0}, {2, 0, 0, 0}, {3, 0, 0, 0}, {4, 0, 0, 0}, {4, 1, 0, 0},
        {4, 2, 0, 0}, {4, 3, 0, 0}, {4, 4, 0, 0}, {1, 0, 1, 0}, {0, 0, 0, 1}, {1, 0, 0, 1},
        {2, 0, 0, 1}, {3, 0, 0, 1}, {4, 0, 0, 1}, {4, 1, 0, 1}, {4, 2, 0, 1}};
    for (const auto& [view, method, turned, cpu] : rows) {
        const std::string what = "view, method, turned, CPU drafts: " + std::to_string(view) +
                                 std::to_string(method) + std::to_string(turned) +
                                 std::to_string(cpu);
        m_renderer->setDraftFrames(cpu);
        m_renderer->setCurveDrawing(cpu ? SoftwareCurveLayer::Choice::CPU
                                        : SoftwareCurveLayer::Choice::GPU);
        m_states.blendMethod = method;
        m_states.rotationX = turned ? 30 : 0;
        m_states.rotationY = turned ? 50 : 0;
        m_states.rotationZ = turned ? -20 : 0;
        m_states.scale = turned ? 40 : 50;
        // Each kind alone, the curves over the whole scene when blended outside the scene pass;
        // the turned scene about the origin, out of the layout's frame, and of its vertices only.
        // Vertices are picked where they stand apart.
        // At least 5 of 13 vertices, 8 of 12 edges (treemap edges from a rectangle's centre to
        // its children's may lie on one another) and 2 of 5 curves, 4 when alone.
        const std::tuple<Selection::Type, int, int> kinds[] = {
            {Selection::VERTEX, 1, 5},
            {Selection::HIERARCHY_EDGE, 2, 8},
            {Selection::RELATION_EDGE, method == 0 ? 4 : 7, method == 0 ? 4 : 2}};
        for (const auto& [type, mask, least] : kinds) {
            if (turned && type != Selection::VERTEX) continue;
            m_states.drawMask = mask;
            twoFrames(
                view, !turned ? nullptr : +[] {
                    auto camera = std::make_unique<Camera>(-1.2f, 1.2f, -0.9f, 0.9f, -10.0f, 10.0f);
                    camera->lookAt({0, 5, 0}, {0, 0, 0}, {0, 0, 1});
                    return camera;
                });
            EXPECT_EQ(m_renderer->curvesDrawnByCpu(), cpu && (mask & 4)) << what;
            const size_t count = type == Selection::VERTEX           ? m_graph->vertexCount()
                                 : type == Selection::HIERARCHY_EDGE ? m_graph->hierarchyEdgeCount()
                                                                     : curves(view).size();
            int found = 0, previous = -1;
            for (uint32_t id = 0; id < count; ++id) {
                bool alone = true;
                for (uint32_t other = 0; type == Selection::VERTEX && other < count; ++other) {
                    const Pixel p = drawnAt(id), q = drawnAt(other);
                    alone &= p.x > 2 && p.x < m_width - 2 && p.y > 2 && p.y < m_height - 2 &&
                             (other == id || std::abs(q.x - p.x) + std::abs(q.y - p.y) > 12);
                }
                if (!alone || !pickObject(type, view, id)) continue;
                ++found;
                if (type != Selection::RELATION_EDGE) continue;
                // A new curve pick gives the previous curve its own colours back.
                const CurveBuffers& slots = m_renderer->curveBuffers();
                EXPECT_EQ(slots.slot(view, id), CurveBuffers::SELECTED) << what;
                if (previous >= 0) {
                    EXPECT_EQ(selection().m_previousCurve, previous) << what;
                    EXPECT_EQ(slots.slot(view, size_t(previous)), CurveBuffers::NORMAL) << what;
                }
                previous = int(id);
            }
            EXPECT_GE(found, least) << what << " type " << type;
            // The background leaves the selection alone rather than naming vertex 0, edge 0 or
            // the first curve, whose codes are all zero like the background's.
            pick({1, 1});
            EXPECT_EQ(selection().m_type, found > 0 ? type : Selection::NOTHING) << what;
        }
    }
}

TEST_F(PickingTest, TheHighlightFollowsPicksViewSwitchesColoursAndNewObjects) {
    // The first three pick an object of that type.
    enum Action { VERTEX, HIERARCHY, CURVE, SHOW, BY_ID, NEW_COLOURS, RELOAD };
    static_assert(int(Selection::HIERARCHY_EDGE) == HIERARCHY &&
                  int(Selection::RELATION_EDGE) == CURVE);
    struct Step {
        Action action;
        int view;
        uint32_t id;
        Marks marks;
        const char* overlay;
    };
    const Marks vertex5 = {{0, OUT}, {1, OUT}, {2, IN}};
    const Step steps[] = {
        {VERTEX, 0, 5, vertex5, "Type: Vertex|ID: 5|Name: v5|In: 1  Out: 2|"},
        {VERTEX, 0, 9, {{0, IN}}, "Type: Vertex|ID: 9|Name: v9|In: 1  Out: 0|"},
        {VERTEX, 0, 2, {}, "Type: Vertex|ID: 2|Name: v2|In: 0  Out: 0|"},
        {VERTEX, 1, 5, vertex5, "Type: Vertex|ID: 5|Name: v5|In: 1  Out: 2|"},
        {VERTEX, 2, 9, {{0, IN}}, "Type: Vertex|ID: 9|Name: v9|In: 1  Out: 0|"},
        {VERTEX, 3, 5, vertex5, "Type: Vertex|ID: 5|Name: v5|In: 1  Out: 2|"},
        {CURVE, 4, 3, {{3, PICKED}}, "Type: Relation Edge|ID: 3|Start: 6 v6|End: 10 v10|"},
        {VERTEX, 4, 9, {{0, IN}}, "Type: Vertex|ID: 9|Name: v9|In: 1  Out: 0|"},
        {HIERARCHY, 1, 0, {}, "Type: Hierarchy Edge|ID: 0|Start: 0 r|End: 1 v1|"},
        {VERTEX, 1, 5, vertex5, "Type: Vertex|ID: 5|Name: v5|In: 1  Out: 2|"},
        {SHOW, 4, 0, vertex5, "Type: Vertex|ID: 5|Name: v5|In: 1  Out: 2|"},
        {CURVE, 4, 4, {{4, PICKED}}, "Type: Relation Edge|ID: 4|Start: 12 v12|End: 8 v8|"},
        {SHOW, 0, 0, {{4, PICKED}}, "Type: Relation Edge|ID: 4|Start: 12 v12|End: 8 v8|"},
        {BY_ID, 0, 13, {{4, PICKED}}, "Type: Relation Edge|ID: 4|Start: 12 v12|End: 8 v8|"},
        {BY_ID, 0, 5, vertex5, "Type: Vertex|ID: 5|Name: v5|In: 1  Out: 2|"},
        {NEW_COLOURS, 0, 0, vertex5, "Type: Vertex|ID: 5|Name: v5|In: 1  Out: 2|"},
        {RELOAD, 0, 0, {}, "Type: |ID:|||"},
    };
    const float selected[4] = {0, 1, 0, 1};
    std::copy(selected, selected + 4, m_states.selectionColor);
    for (const Step& step : steps) {
        const std::string what = std::string("step ") + step.overlay;
        const int masks[] = {1, 2, 4, 7, 7, 7, 7};
        m_states.drawMask = masks[step.action];
        if (step.action == NEW_COLOURS) {  // shown at the next frame, the highlight kept
            m_states.outgoingEdgeColor[0] = 0.5f;
            m_states.relationEndColor[0] = 0.5f;
            m_states.hierarchyColor[1] = 0.25f;
        }
        if (step.action == RELOAD) load(starGraph());
        if (step.action == BY_ID) {
            EXPECT_EQ(m_renderer->selectVertexById(step.id), step.id < 13) << what;
        } else {
            twoFrames(step.view);
        }
        uint32_t id = step.id;  // a curve by its edge: its position in the view's list
        for (size_t p = 0; step.action == CURVE && p < curves(step.view).size(); ++p)
            if (curves(step.view)[p].getEdgeId() == step.id) id = uint32_t(p);
        if (step.action <= CURVE) {
            ASSERT_TRUE(pickObject(Selection::Type(step.action), step.view, id)) << what;
        }
        expectMarks(step.view, step.marks, what);
        std::string overlay;
        for (int row = 0; row < 4; ++row) overlay += m_renderer->overlayLine(row) + "|";
        EXPECT_EQ(overlay, step.overlay);
        // The picked curve's index follows its edge into the shown view's list.
        if (selection().m_type == Selection::RELATION_EDGE) {
            EXPECT_EQ(curves(step.view).at(selection().m_currentCurve).getEdgeId(),
                      selection().m_relationEdge->getId());
        }
        // A picked hierarchy edge is in the selection colour in every view, the others in the
        // hierarchy colour in force.
        for (int view = 0; view < 5; ++view) {
            const std::vector<float> colors = hierarchyColors(view);
            for (size_t i = 0; i < colors.size(); ++i) {
                const bool picked = step.action == HIERARCHY && i / 8 == step.id;
                const float expected = picked ? selected[i % 4] : m_states.hierarchyColor[i % 4];
                EXPECT_EQ(colors[i], expected) << what << " view " << view << " float " << i;
            }
        }
    }
}

}  // namespace
