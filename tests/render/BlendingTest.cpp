// The accumulating blending methods on real frames, beyond what the image baselines show: they
// leave out what the scene hides, and a dense bundle keeps the curves' own colour.
#include "GlScene.h"
#include "RenderStates.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

class BlendingTest : public SceneTest {
protected:
    // A root with four leaves in a row and straight curves (beta 0) of one colour between
    // leaves, unlit: in the rooted view they run along the row, through the spheres between
    // their ends.
    void loadRow(const std::vector<std::pair<int, int>>& relations, const float (&colour)[4]) {
        std::vector<DataRecord> records{{"Root", {"0"}}, {"H", {"0", "r"}}};
        for (const std::string k : {"1", "2", "3", "4"})
            records.insert(records.end(), {{"H", {k, "leaf" + k}}, {"PCR", {"0", k}}});
        for (auto [a, b] : relations)
            records.push_back({"R", {std::to_string(a), std::to_string(b)}});
        load(records);
        m_states.beta = 0;
        m_states.lighting = false;
        std::copy(colour, colour + 4, m_states.relationStartColor);
        std::copy(colour, colour + 4, m_states.relationEndColor);
        const float vertexColour[4] = {1, 0.5f, 0.25f, 1};
        std::copy(vertexColour, vertexColour + 4, m_states.vertexColor);
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

TEST_F(BlendingTest, AccumulatingMethodsLeaveOutCurvesBehindASphere) {
    // Curve 1-4 runs behind the spheres of leaves 2 and 3.
    loadRow({{1, 4}}, {0, 1, 0, 1});
    for (int method : {3, 4}) {
        m_states.blendMethod = method;
        m_states.drawMask = 5;
        twoFrames(0);
        const Picture with = picture();
        m_states.drawMask = 1;
        twoFrames(0);
        const Picture without = picture();
        for (uint32_t hidden : {2u, 3u}) {
            const Pixel p = projectVertex(0, hidden);
            EXPECT_EQ(shown(with, p), shown(without, p)) << "method " << method << " " << hidden;
            // Unlit, a sphere shows the vertex colour.
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(shown(without, p)[c], m_states.vertexColor[c] * 255, 2) << hidden;
        }
        EXPECT_GT(between(with, 2, 3)[1], between(without, 2, 3)[1] + 20) << "method " << method;
    }
}

TEST_F(BlendingTest, DenseBundleKeepsTheCurveColourInTheAccumulatingMethods) {
    // 300 copies of one edge: the bundle is covered in the curves' own colour rather than washed
    // out to white (the coverage of the smoothed lines once brightened the sums).
    loadRow(std::vector<std::pair<int, int>>(300, {1, 4}), {0.2f, 0.8f, 0.4f, 0.2f});
    m_states.drawMask = 4;
    for (int method : {3, 4}) {
        m_states.blendMethod = method;
        twoFrames(0);
        const std::array<int, 3> seen = between(picture(), 2, 3);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(seen[c], m_states.relationStartColor[c] * 255, 6) << method;
    }
}

}  // namespace
