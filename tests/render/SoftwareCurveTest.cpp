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

// Mean channel difference of the blurred pictures, and the share of pixels whose blurred
// channels differ by more than 24 steps.
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
        const std::vector<float> a = blurred(gpu), b = blurred(cpu);
        double sum = 0;
        size_t off = 0, changed = 0;
        for (size_t p = 0; p < a.size(); p += 3) {
            float worst = 0;
            for (size_t i = p; i < p + 3; ++i) {
                sum += std::abs(a[i] - b[i]);
                worst = std::max(worst, std::abs(a[i] - b[i]));
            }
            off += worst > 24 ? 1 : 0;
        }
        for (size_t i = 0; i < gpu.rgb.size(); ++i) changed += gpu.rgb[i] != cpu.rgb[i] ? 1 : 0;
        const double mean = sum / a.size(), offShare = off * 3.0 / a.size();
        EXPECT_LT(mean, kMeanTolerance) << what;
        EXPECT_LT(offShare, kOffTolerance) << what;
        // Both drew curves: a blank curve layer would pass the comparison on a sparse picture.
        m_states.drawMask = 3;
        const Picture bare = drawn(SoftwareCurveLayer::Choice::GPU, view, draft);
        m_states.drawMask = 7;
        size_t curvePixels = 0;
        for (size_t i = 0; i < bare.rgb.size(); i += 3) {
            curvePixels += bare.at(int(i / 3) % bare.width, int(i / 3) / bare.width) !=
                                   cpu.at(int(i / 3) % cpu.width, int(i / 3) / cpu.width)
                               ? 1
                               : 0;
        }
        EXPECT_GT(curvePixels, 2000u) << what;
        std::cout << what << ": mean " << mean << ", off " << offShare * 100 << "%, " << changed / 3
                  << " pixels not the same, curves on " << curvePixels << '\n';
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
