// The five blending methods on real frames: each shows the curves, the relation switch hides
// them in all, the maximum method keeps the brightest channel, the accumulating methods leave
// out what the scene hides, and a dense bundle keeps the curves' own colour.
#include "FboSize.h"
#include "RenderStates.h"
#include "SceneFixture.h"
#include "SplineCurve.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

using scene::Picture;
using scene::Pixel;

// Pictures that differ in fewer pixels than this count as equal: the curves of these tests cover
// hundreds of pixels.
constexpr int kNoise = 0;

std::vector<DataRecord> tree(int leaves) {
    std::vector<DataRecord> records{{"Root", {"0"}}, {"H", {"0", "r"}}};
    for (int k = 1; k <= leaves; ++k) {
        records.push_back({"H", {std::to_string(k), "leaf" + std::to_string(k)}});
        records.push_back({"PCR", {"0", std::to_string(k)}});
    }
    return records;
}

void setRelationColour(float r, float g, float b, float a) {
    const float colour[4] = {r, g, b, a};
    std::copy(colour, colour + 4, g_renderStates.relationStartColor);
    std::copy(colour, colour + 4, g_renderStates.relationEndColor);
}

class BlendingTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        g_renderStates.lighting = false;
    }

    // A root with four leaves in a row; relation edges between leaves, straight (beta 0), so in
    // the rooted view they run along the row of leaves, through the spheres between their ends.
    void loadRow(const std::vector<std::pair<int, int>>& relations) {
        std::vector<DataRecord> records = tree(4);
        for (auto [a, b] : relations) {
            records.push_back({"R", {std::to_string(a), std::to_string(b)}});
        }
        load(records);
        g_renderStates.beta = 0;
    }

    // Two frames: the first takes the colours and beta, the second shows them. The fixed camera
    // serves pictures of different graphs that must be compared.
    void twoFrames(int viewType, bool fixedCamera = false) {
        for (int i = 0; i < 2; ++i) {
            frameWith(viewType, fixedCamera ? scene::cameraFor(viewType) : fittingCamera(viewType));
        }
    }

    Pixel between(uint32_t a, uint32_t b) const {
        const LayoutRecord ra = m_views[0]->getRecord(a), rb = m_views[0]->getRecord(b);
        return project((ra.x + rb.x) / 2, 1 - (ra.y + rb.y) / 2, 0);
    }

    // The brightest of the pixel and its neighbours above and below: a horizontal line may fall
    // on either row next to the projected point.
    std::array<int, 3> shown(Pixel p) const {
        const Picture shot = picture();
        std::array<int, 3> best{};
        for (int dy = -1; dy <= 1; ++dy) {
            const std::array<int, 3> c = shot.at(column(p), row(p) + dy);
            if (c[0] + c[1] + c[2] > best[0] + best[1] + best[2]) best = c;
        }
        return best;
    }
};

TEST_F(BlendingTest, EveryMethodDrawsTheCurvesAndTheSwitchHidesThemInAll) {
    loadGenerated(40, 30, 5);
    g_renderStates.lighting = true;
    for (int method = 0; method < 5; ++method) {
        g_renderStates.blendMethod = method;
        for (int view : {0, 4}) {
            g_renderStates.drawMask = 7;
            twoFrames(view, true);
            const Picture with = picture();
            g_renderStates.drawMask = 3;
            twoFrames(view, true);
            const Picture without = picture();
            EXPECT_GT(scene::countDifferent(with, without, 2), 500)
                << "method " << method << " view " << view;
        }
    }
    // The same tree without relation edges looks like the graph with the switch off.
    std::vector<Picture> switchedOff;
    for (int method = 0; method < 5; ++method) {
        g_renderStates.blendMethod = method;
        g_renderStates.drawMask = 3;
        twoFrames(4, true);
        switchedOff.push_back(picture());
    }
    loadGenerated(40, 0, 5);
    for (int method = 0; method < 5; ++method) {
        g_renderStates.blendMethod = method;
        g_renderStates.drawMask = 7;
        twoFrames(4, true);
        EXPECT_LE(scene::countDifferent(picture(), switchedOff[method], 0), kNoise)
            << "method " << method;
    }
}

TEST_F(BlendingTest, BundlesStandOutInTheStartStateInEveryViewAndMethod) {
    // The start state as the viewer shows it: start colours, alpha and light, shadows on and the
    // floor under the framed graph. Relation edges must change at least 1 % of the picture by more
    // than 8 steps in some channel, in every view with the start method and in every method.
    g_renderStates = RenderStates();
    g_renderStates.shadow = true;
    m_light = Light();
    loadGenerated(150, 120, 12, 4, 5);
    const char* const save = std::getenv("RAMIFLEX_SAVE_PICTURES");
    auto share = [&](int view, int method) {
        g_renderStates.blendMethod = method;
        m_renderer->setSceneBounds(boundsOf(view));
        g_renderStates.drawMask = 7;
        twoFrames(view);
        const Picture with = picture();
        g_renderStates.drawMask = 3;
        twoFrames(view);
        const Picture without = picture();
        if (save) {
            const std::string name = std::string(save) + "/bundles-view" + std::to_string(view) +
                                     "-method" + std::to_string(method);
            scene::savePng(with, name + ".png");
            scene::savePng(without, name + "-without.png");
        }
        const double changed = scene::compare(with, without, 8).offFraction;
        std::cout << "view " << view << " method " << method << ": " << changed * 100
                  << " % of the pixels changed by the relation edges\n";
        return changed;
    };
    for (int view = 0; view < 5; ++view) EXPECT_GE(share(view, 0), 0.01) << "view " << view;
    for (int method = 1; method < 5; ++method) {
        EXPECT_GE(share(4, method), 0.01) << "method " << method;
    }
}

TEST_F(BlendingTest, StandardAndStandardPlusMaximumDiffer) {
    // Method 0 blends each curve once; method 2 adds the maximum pass on top.
    loadGenerated(40, 30, 5);
    g_renderStates.drawMask = 4;
    g_renderStates.blendMethod = 0;
    twoFrames(4);
    const Picture standard = picture();
    g_renderStates.blendMethod = 2;
    twoFrames(4);
    EXPECT_GT(scene::countDifferent(standard, picture(), 2), 200);
}

TEST_F(BlendingTest, MaximumMethodKeepsTheBrightestChannelOfOverlappingCurves) {
    // Curve 1-3 and curve 2-4 share the stretch between leaves 2 and 3.
    loadRow({{1, 3}, {2, 4}});
    g_renderStates.drawMask = 4;
    g_renderStates.blendMethod = 1;
    setRelationColour(0.2f, 0.6f, 0.1f, 1);
    const float selection[4] = {0.7f, 0.3f, 0.05f, 1};
    std::copy(selection, selection + 4, g_renderStates.selectionColor);
    twoFrames(0);
    // Select the curve 2-4 where it runs alone, between leaves 3 and 4.
    ASSERT_TRUE(pickNear(between(3, 4),
                         [](const Selection& s) { return s.m_type == Selection::RELATION_EDGE; }));
    twoFrames(0);
    const Pixel shared = between(2, 3);
    const std::array<int, 3> both = shown(shared);
    // Per channel the larger of the two curves: red of the selection, green and blue of the
    // gradient.
    EXPECT_NEAR(both[0], 0.7 * 255, 2);
    EXPECT_NEAR(both[1], 0.6 * 255, 2);
    EXPECT_NEAR(both[2], 0.1 * 255, 2);
    // Alone, each curve shows its own colour.
    EXPECT_NEAR(shown(between(3, 4))[0], 0.7 * 255, 2);
    EXPECT_NEAR(shown(between(3, 4))[1], 0.3 * 255, 2);
    EXPECT_NEAR(shown(between(1, 2))[1], 0.6 * 255, 2);
}

TEST_F(BlendingTest, MaximumMethodLeavesNoTraceOfACurveDarkerThanTheBackground) {
    // Over the grey floor, seen from above, a darker grey curve loses in every channel.
    loadGenerated(40, 30, 5);
    g_renderStates.shadow = true;
    setRelationColour(0.1f, 0.1f, 0.1f, 1);
    for (int method : {1, 0}) {
        g_renderStates.blendMethod = method;
        g_renderStates.drawMask = 4;
        twoFrames(1);
        const Picture with = picture();
        g_renderStates.drawMask = 0;
        twoFrames(1);
        const int changed = scene::countDifferent(with, picture(), 0);
        if (method == 1) {
            EXPECT_EQ(changed, 0);
        } else {
            EXPECT_GT(changed, 500) << "alpha blending shows the dark curves";
        }
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
            EXPECT_EQ(with.at(column(p), row(p)), without.at(column(p), row(p)))
                << "method " << method << " sphere " << hidden;
        }
        // Between the spheres the curve shows.
        const Pixel open = between(2, 3);
        EXPECT_GT(with.at(column(open), row(open))[1], without.at(column(open), row(open))[1] + 20)
            << "method " << method;
    }
}

TEST_F(BlendingTest, AccumulatingMethodsLeaveOutCurvesBehindTheFloor) {
    loadGenerated(40, 30, 5);
    setRelationColour(0, 1, 0, 1);
    // From below the floor, which hides the whole graph above it.
    auto fromBelow = [] {
        auto camera = std::make_unique<Camera>(-1.0f, 1.0f, -0.75f, 0.75f, 0.5f, 20.0f);
        camera->lookAt({0, -6, 0}, {0, 0, 0}, {0, 0, 1});
        return camera;
    };
    for (int method : {3, 4}) {
        g_renderStates.blendMethod = method;
        for (bool floor : {true, false}) {
            g_renderStates.shadow = floor;
            g_renderStates.drawMask = 4;
            frameWith(1, fromBelow());
            frameWith(1, fromBelow());
            const Picture with = picture();
            g_renderStates.drawMask = 0;
            frameWith(1, fromBelow());
            const Picture without = picture();
            const int changed = scene::countDifferent(with, without, 0);
            if (floor) {
                EXPECT_EQ(changed, 0) << "method " << method;
            } else {
                EXPECT_GT(changed, 500) << "method " << method << ": seen without the floor";
            }
        }
    }
}

TEST_F(BlendingTest, DenseBundleKeepsTheCurveColourInTheAccumulatingMethods) {
    // 300 copies of one edge against a single one: the bundle is covered, in the curves' own
    // colour rather than washed out to white (the coverage of the smoothed lines once
    // brightened the sums), and the single curve stays faint.
    std::vector<std::pair<int, int>> bundle(300, {1, 4});
    loadRow(bundle);
    g_renderStates.drawMask = 4;
    const float colour[3] = {0.2f, 0.8f, 0.4f};
    setRelationColour(colour[0], colour[1], colour[2], 0.2f);
    for (int method : {3, 4}) {
        g_renderStates.blendMethod = method;
        twoFrames(0);
        const std::array<int, 3> dense = shown(between(2, 3));
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(dense[c], colour[c] * 255, 6) << "method " << method;
        }
    }
    loadRow({{1, 4}});
    g_renderStates.drawMask = 4;
    for (int method : {3, 4}) {
        g_renderStates.blendMethod = method;
        twoFrames(0);
        const std::array<int, 3> single = shown(between(2, 3));
        EXPECT_GT(single[1], 0) << "method " << method;
        EXPECT_LT(single[1], 0.8 * 255 / 2) << "method " << method;
    }
}

}  // namespace
