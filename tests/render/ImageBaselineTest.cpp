// Whole pictures against stored baselines, the broad net over the shaders' outputs: every view
// over its floor, the blending methods, and the shadowed floor, drawn from one small generated
// graph in the start state. A picture that drifts beyond the tolerance fails and is written to
// the system's temporary folder for a look; RAMIFLEX_UPDATE_BASELINES=1 rewrites the baselines.
#include "GlScene.h"
#include "RenderStates.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// Rasterisation may differ slightly between driver versions: a picture passes when the mean
// channel difference stays below one step in 255 and fewer than half a percent of the pixels
// differ by more than 24 steps in some channel.
constexpr double kMeanTolerance = 1.0;
constexpr int kPixelThreshold = 24;
constexpr double kOffTolerance = 0.005;

class ImageBaselineTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        if (HasFatalFailure()) return;
        // 60 vertices over four levels, 45 relation edges: visible bundles, spheres apart.
        loadGenerated(60, 45, 2024, 4, 4);
        g_renderStates = RenderStates();
        g_renderStates.drawMask = 15;  // the grid shown too
        m_light = Light();
    }

    void expectMatchesBaseline(const std::string& name) {
        const Picture actual = picture();
        const std::string path = "tests/render/baselines/" + name + ".png";
        const char* update = std::getenv("RAMIFLEX_UPDATE_BASELINES");
        if (update && std::string(update) == "1") {
            ASSERT_TRUE(savePng(actual, path)) << path;
            return;
        }
        Picture expected;
        ASSERT_TRUE(loadPng(path, &expected)) << path << " is missing";
        const PictureDifference d = compare(actual, expected, kPixelThreshold);
        if (d.meanAbsolute >= kMeanTolerance || d.offFraction >= kOffTolerance) {
            const std::string saved =
                (std::filesystem::temp_directory_path() / ("ramiflex-" + name + ".png")).string();
            savePng(actual, saved);
            ADD_FAILURE() << name << ": mean difference " << d.meanAbsolute << ", "
                          << d.offFraction * 100 << "% of the pixels off; the picture is in "
                          << saved;
        }
    }
};

TEST_F(ImageBaselineTest, ViewsMethodsAndLights) {
    struct Shot {
        const char* name;
        int view, method;
        bool shadow, lighting;
        int lightType;
    };
    const Shot shots[] = {
        // Each view from its face-on side, framed, over the floor under it, as the viewer starts
        // (the radial tree with the start method, 0).
        {"view0", 0, 0, true, true, 0},
        {"view1", 1, 0, true, true, 0},
        {"view2", 2, 0, true, true, 0},
        {"view3", 3, 0, true, true, 0},
        {"view4", 4, 0, true, true, 0},
        // The other methods on the radial tree over black, without the floor: each one's own
        // way of laying the bundles over the dark.
        {"blend1", 4, 1, false, true, 0},
        {"blend2", 4, 2, false, true, 0},
        {"blend3", 4, 3, false, true, 0},
        {"blend4", 4, 4, false, true, 0},
        // The spot light on the balloon's floor, and everything unlit in its own colours.
        {"spot", 1, 0, true, true, 2},
        {"unlit", 0, 3, true, false, 0},
    };
    for (const Shot& shot : shots) {
        g_renderStates.blendMethod = shot.method;
        g_renderStates.shadow = shot.shadow;
        g_renderStates.lighting = shot.lighting;
        g_renderStates.lightType = shot.lightType;
        m_renderer->setSceneBounds(shot.shadow ? boundsOf(shot.view) : SceneBounds());
        twoFrames(shot.view);
        expectMatchesBaseline(shot.name);
    }
}

TEST_F(ImageBaselineTest, ShadowedFloor) {
    // The rooted tree standing over its floor, seen from above and aside, with vertices,
    // hierarchy and relation edges in the shadow map and a conic light above it.
    g_renderStates.shadow = true;
    g_renderStates.shadowMask = 1 | 2 | 4;
    g_renderStates.lightType = 1;
    const SceneBounds b = boundsOf(0);
    m_renderer->setSceneBounds(b);
    m_light.m_position[0] = b.centre(0);
    m_light.m_position[1] = b.max[1] + 1.0f;
    m_light.m_position[2] = b.centre(2) + 0.3f;
    const float size = std::max({b.extent(0), b.extent(1), b.extent(2)});
    for (int i = 0; i < 2; ++i) {
        auto c = std::make_unique<Camera>(0.05f, 20.0f, 50.0f, 4.0f / 3.0f);
        c->lookAt({b.centre(0) + 0.5f * size, b.centre(1) + 0.7f * size, b.centre(2) + 1.6f * size},
                  {b.centre(0), b.centre(1) - 0.2f * size, b.centre(2)}, {0, 1, 0});
        frameWith(0, std::move(c));
    }
    expectMatchesBaseline("shadow");
}

}  // namespace
