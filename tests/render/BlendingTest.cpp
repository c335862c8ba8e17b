// The five blending methods on real frames: the relation switch hides the curves in all, the
// maximum method keeps the brightest channel, the accumulating methods leave out what the scene
// hides, and a dense bundle keeps the curves' own colour.
#include "GlScene.h"
#include "RenderStates.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

void setRelationColour(float r, float g, float b, float a) {
    const float colour[4] = {r, g, b, a};
    std::copy(colour, colour + 4, g_renderStates.relationStartColor);
    std::copy(colour, colour + 4, g_renderStates.relationEndColor);
}

// One camera for pictures of different graphs that must be compared.
std::unique_ptr<Camera> radialCamera() {
    auto camera = std::make_unique<Camera>(-0.93f, 0.93f, -0.7f, 0.7f, -10.0f, 10.0f);
    camera->lookAt({0, 5, 0}, {0, 0, 0}, {0, 0, 1});
    return camera;
}

class BlendingTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        g_renderStates.lighting = false;
    }

    // A root with four leaves in a row and straight curves (beta 0) between leaves: in the
    // rooted view they run along the row, through the spheres between their ends.
    void loadRow(const std::vector<std::pair<int, int>>& relations) {
        std::vector<DataRecord> records{{"Root", {"0"}}, {"H", {"0", "r"}}};
        for (int k = 1; k <= 4; ++k) {
            records.push_back({"H", {std::to_string(k), "leaf" + std::to_string(k)}});
            records.push_back({"PCR", {"0", std::to_string(k)}});
        }
        for (auto [a, b] : relations) {
            records.push_back({"R", {std::to_string(a), std::to_string(b)}});
        }
        load(records);
        g_renderStates.beta = 0;
    }

    // Half way between two leaves of the row, brightest of the row there and those above and
    // below: a horizontal line may fall on either.
    std::array<int, 3> between(const Picture& shot, uint32_t a, uint32_t b) const {
        const LayoutRecord ra = m_views[0]->getRecord(a), rb = m_views[0]->getRecord(b);
        const Pixel p = project((ra.x + rb.x) / 2, 1 - (ra.y + rb.y) / 2, 0);
        std::array<int, 3> best{};
        for (int dy = -1; dy <= 1; ++dy) {
            const std::array<int, 3> c = shown(shot, {p.x, p.y + dy});
            if (c[0] + c[1] + c[2] > best[0] + best[1] + best[2]) best = c;
        }
        return best;
    }
};

TEST_F(BlendingTest, EveryMethodDrawsTheCurvesAndTheSwitchHidesThemInAll) {
    loadGenerated(40, 30, 5);
    g_renderStates.lighting = true;
    std::vector<Picture> switchedOff;
    for (int method = 0; method < 5; ++method) {
        g_renderStates.blendMethod = method;
        for (int view : {0, 4}) {
            g_renderStates.drawMask = 7;
            twoFrames(view);
            const Picture with = picture();
            g_renderStates.drawMask = 3;
            twoFrames(view);
            EXPECT_GT(countDifferent(with, picture(), 2), 500)
                << "method " << method << " " << view;
        }
        twoFrames(4, radialCamera);
        twoFrames(4, radialCamera);
        switchedOff.push_back(picture());
    }
    // The same tree without relation edges looks exactly like the graph with the switch off.
    loadGenerated(40, 0, 5);
    g_renderStates.drawMask = 7;
    for (int method = 0; method < 5; ++method) {
        g_renderStates.blendMethod = method;
        twoFrames(4, radialCamera);
        EXPECT_EQ(countDifferent(picture(), switchedOff[method], 0), 0) << "method " << method;
    }
}

TEST_F(BlendingTest, MaximumMethodKeepsTheBrightestChannelOfOverlappingCurves) {
    // Curve 1-3 and curve 2-4 share the stretch between leaves 2 and 3; 2-4 is selected where it
    // runs alone, between leaves 3 and 4.
    loadRow({{1, 3}, {2, 4}});
    g_renderStates.drawMask = 4;
    g_renderStates.blendMethod = 1;
    setRelationColour(0.2f, 0.6f, 0.1f, 1);
    const float selection[4] = {0.7f, 0.3f, 0.05f, 1};
    std::copy(selection, selection + 4, g_renderStates.selectionColor);
    twoFrames(0);
    const LayoutRecord a = m_views[0]->getRecord(3), b = m_views[0]->getRecord(4);
    ASSERT_TRUE(pickNear(project((a.x + b.x) / 2, 1 - (a.y + b.y) / 2, 0),
                         [](const Selection& s) { return s.m_type == Selection::RELATION_EDGE; }));
    twoFrames(0);
    const Picture shot = picture();
    // Per channel the larger of the two: red of the selection, green and blue of the gradient;
    // alone, each curve shows its own colour.
    const std::array<int, 3> expected[] = {{178, 153, 25}, {178, 76, 12}, {51, 153, 25}};
    const std::array<int, 3> found[] = {between(shot, 2, 3), between(shot, 3, 4),
                                        between(shot, 1, 2)};
    for (int place = 0; place < 3; ++place) {
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(found[place][c], expected[place][c], 2) << place;
    }
}

TEST_F(BlendingTest, AccumulatingMethodsLeaveOutCurvesBehindASphere) {
    // Curve 1-4 runs behind the spheres of leaves 2 and 3.
    loadRow({{1, 4}});
    setRelationColour(0, 1, 0, 1);
    for (int method : {3, 4}) {
        g_renderStates.blendMethod = method;
        g_renderStates.drawMask = 5;
        twoFrames(0);
        const Picture with = picture();
        g_renderStates.drawMask = 1;
        twoFrames(0);
        const Picture without = picture();
        for (uint32_t hidden : {2u, 3u}) {
            const Pixel p = projectVertex(0, hidden);
            EXPECT_EQ(shown(with, p), shown(without, p)) << "method " << method << " " << hidden;
        }
        EXPECT_GT(between(with, 2, 3)[1], between(without, 2, 3)[1] + 20) << "method " << method;
    }
}

TEST_F(BlendingTest, DenseBundleKeepsTheCurveColourInTheAccumulatingMethods) {
    // 300 copies of one edge: the bundle is covered in the curves' own colour rather than washed
    // out to white (the coverage of the smoothed lines once brightened the sums).
    loadRow(std::vector<std::pair<int, int>>(300, {1, 4}));
    g_renderStates.drawMask = 4;
    setRelationColour(0.2f, 0.8f, 0.4f, 0.2f);
    for (int method : {3, 4}) {
        g_renderStates.blendMethod = method;
        twoFrames(0);
        const std::array<int, 3> seen = between(picture(), 2, 3);
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(seen[c], g_renderStates.relationStartColor[c] * 255, 6) << method;
        }
    }
}

}  // namespace
