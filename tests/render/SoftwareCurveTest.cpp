// The curves drawn by the CPU against the same frames drawn by the GL: every view, the methods
// the CPU draws (0, 1 and 2), draft frames of a small graph and full frames of a graph above the
// many-curves mark. One-pixel lines of two rasterisers may fall a pixel apart, so the pictures
// are compared after a 3 x 3 box blur.
#include "GlScene.h"
#include "RenderStates.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Of the blurred pictures (differenceOf).
constexpr double kMeanTolerance = 1.0;
constexpr double kOffTolerance = 0.002;

std::vector<float> blurred(const Picture& p) {
    std::vector<float> out(p.rgb.size(), 0.0f);
    for (int y = 1; y + 1 < p.height; ++y) {
        for (int x = 1; x + 1 < p.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                float sum = 0;
                for (int d = 0; d < 9; ++d) sum += float(p.at(x + d % 3 - 1, y + d / 3 - 1)[c]);
                out[(size_t(y) * p.width + x) * 3 + c] = sum / 9;
            }
        }
    }
    return out;
}

class SoftwareCurveTest : public SceneTest {
protected:
    Picture drawn(SoftwareCurveLayer::Choice choice, int view, bool draft) {
        m_renderer->setCurveDrawing(choice);
        m_renderer->setDraftFrames(draft);
        twoFrames(view);
        EXPECT_EQ(m_renderer->curvesDrawnByCpu(), choice == SoftwareCurveLayer::Choice::CPU);
        return picture();
    }

    void expectAlike(int view, int method, bool draft) {
        m_states.blendMethod = method;
        const std::string what = "view " + std::to_string(view) + " method " +
                                 std::to_string(method) + (draft ? " draft" : " full");
        const Picture gpu = drawn(SoftwareCurveLayer::Choice::GPU, view, draft);
        const Picture cpu = drawn(SoftwareCurveLayer::Choice::CPU, view, draft);
        const auto [mean, offShare] = differenceOf(blurred(gpu), blurred(cpu));
        EXPECT_LT(mean, kMeanTolerance) << what;
        EXPECT_LT(offShare, kOffTolerance) << what;
        // Both drew curves: a blank curve layer would pass the comparison on a sparse picture.
        m_states.drawMask = 3;
        const Picture bare = drawn(SoftwareCurveLayer::Choice::GPU, view, draft);
        m_states.drawMask = 7;
        size_t curvePixels = 0;
        for (size_t i = 0; i < bare.rgb.size(); i += 3) {
            curvePixels += !std::equal(&bare.rgb[i], &bare.rgb[i] + 3, &cpu.rgb[i]);
        }
        EXPECT_GT(curvePixels, 2000u) << what;
        std::cout << what << ": mean " << mean << ", off " << offShare * 100 << "%, curves on "
                  << curvePixels << '\n';
    }
};

TEST_F(SoftwareCurveTest, DraftsMatchTheGlInEveryViewAndMethod) {
    loadGenerated(400, 600, 11, 4, 4);
    m_states = RenderStates();
    m_states.drawMask = 7;
    const std::array<int, 2> rows[] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {4, 1}, {4, 2}};
    for (const auto& [view, method] : rows) expectAlike(view, method, true);
}

TEST_F(SoftwareCurveTest, FullFramesOfManyCurvesMatchTheGl) {
    loadGenerated(3000, CurveBuffers::kManyCurves + 1000, 12, 6, 5);
    m_states = RenderStates();
    m_states.drawMask = 7;
    expectAlike(4, 0, false);
}

}  // namespace

// Spheres drawn as sprites against their meshes: the same discs, lit alike, in every view and in
// drafts, and seen closely in perspective (view 5: the radial tree from the side of its centre),
// where a sphere off the axis faces the eye, not the axis. Sprites and faceted meshes part along
// the rims, more so the coarse meshes of drafts.
TEST_F(SoftwareCurveTest, SphereSpritesMatchTheMeshes) {
    loadGenerated(400, 600, 11, 4, 4);
    m_states = RenderStates();
    m_states.drawMask = 3;
    const SceneBounds radial = boundsOf(4);
    const Vector3 centre{radial.centre(0), radial.centre(1), radial.centre(2)};
    const float reach = radial.extent(0) / 2;
    auto drawn = [&](int view, bool sprites) {
        m_renderer->setSphereSprites(sprites);
        for (int i = 0; i < 2; ++i) {
            if (view < 5) {
                frameWith(view, fittingCamera(view));
                continue;
            }
            auto close = std::make_unique<Camera>(0.01f, 20.0f, 60.0f, 4.0f / 3.0f);
            close->lookAt({centre[0], centre[1] + 0.5f * reach, centre[2] + 0.8f * reach}, centre,
                          {0, 1, 0});
            frameWith(4, std::move(close));
        }
        return picture();
    };
    for (int view = 0; view <= 5; ++view) {
        for (bool draft : {false, true}) {
            m_renderer->setDraftFrames(draft);
            const Picture meshes = drawn(view, false);
            const auto [mean, offShare] = differenceOf(blurred(meshes), blurred(drawn(view, true)));
            EXPECT_LT(mean, kMeanTolerance) << "view " << view << " draft " << draft;
            // Up close a sprite's round outline also parts from the sphere's projected ellipse.
            EXPECT_LT(offShare, (draft ? 2 : 1) * (view == 5 ? 1.5 : 1) * kOffTolerance)
                << "view " << view << " draft " << draft;
        }
    }
}
