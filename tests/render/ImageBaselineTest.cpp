// Whole pictures against stored baselines: every view, every blending method and the shadowed
// floor, drawn from one small generated graph with fixed cameras. A picture that drifts beyond
// the tolerance fails and is written beside the system's temporary files for a look; setting
// RAMIFLEX_UPDATE_BASELINES=1 rewrites the baselines instead.
#include "FboSize.h"
#include "RenderStates.h"
#include "SceneFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using scene::Picture;

const char* const kBaselineDirectory = "tests/render/baselines/";

// Rasterisation may differ slightly between driver versions: a picture passes when the mean
// channel difference stays below one step in 255 and fewer than half a percent of the pixels
// differ by more than 24 steps in some channel.
constexpr double kMeanTolerance = 1.0;
constexpr int kPixelThreshold = 24;
constexpr double kOffTolerance = 0.005;

bool updating() {
    const char* value = std::getenv("RAMIFLEX_UPDATE_BASELINES");
    return value && std::string(value) == "1";
}

// A camera above the graph and to its front, looking down at it and at the floor below, so
// that the floor's shadows and the layout show together.
std::unique_ptr<Camera> obliqueCamera() {
    auto camera = std::make_unique<Camera>(0.5f, 20.0f, 60.0f, 4.0f / 3.0f);
    camera->lookAt({0, 2.0f, 5.5f}, {0, 0.3f, 0}, {0, 1, 0});
    return camera;
}

class ImageBaselineTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        // 60 vertices over four levels, 45 relation edges: enough for visible bundles while
        // every sphere still stands apart.
        loadGenerated(60, 45, 2024, 4, 4);
        g_renderStates.drawMask = 15;
        g_renderStates.relationStartColor[3] = g_renderStates.relationEndColor[3] = 1.0f;
        // A point light above and in front of the layouts lights every view.
        g_renderStates.lightType = 0;
        m_light.m_position[0] = 0.5f;
        m_light.m_position[1] = 2.5f;
        m_light.m_position[2] = 1.0f;
    }

    // The light is handed to GL under the camera view of the frame before.
    void twoFrames(int viewType) {
        frameWith(viewType, fittingCamera(viewType));
        frameWith(viewType, fittingCamera(viewType));
    }

    void expectMatchesBaseline(const std::string& name) {
        const Picture actual = picture();
        const std::string path = kBaselineDirectory + name + ".png";
        if (updating()) {
            std::filesystem::create_directories(kBaselineDirectory);
            ASSERT_TRUE(scene::savePng(actual, path)) << path;
            return;
        }
        Picture expected;
        ASSERT_TRUE(scene::loadPng(path, &expected))
            << path << " is missing: run with RAMIFLEX_UPDATE_BASELINES=1";
        const scene::PictureDifference d = scene::compare(actual, expected, kPixelThreshold);
        if (d.meanAbsolute >= kMeanTolerance || d.offFraction >= kOffTolerance) {
            const std::string saved =
                (std::filesystem::temp_directory_path() / ("ramiflex-" + name + ".png")).string();
            scene::savePng(actual, saved);
            ADD_FAILURE() << name << ": mean difference " << d.meanAbsolute << ", "
                          << d.offFraction * 100 << "% of the pixels off; the picture is in "
                          << saved;
        }
    }
};

TEST_F(ImageBaselineTest, EveryView) {
    for (int view = 0; view < 5; ++view) {
        twoFrames(view);
        expectMatchesBaseline("view" + std::to_string(view));
    }
}

TEST_F(ImageBaselineTest, EveryBlendingMethod) {
    for (int method = 0; method < 5; ++method) {
        g_renderStates.blendMethod = method;
        twoFrames(4);
        expectMatchesBaseline("blend" + std::to_string(method));
    }
}

TEST_F(ImageBaselineTest, ShadowedFloor) {
    g_renderStates.shadow = true;
    g_renderStates.shadowMask = 1 | 2 | 4;
    g_renderStates.lightType = 1;
    m_light.m_position[0] = 0;
    m_light.m_position[1] = 2.0f;
    m_light.m_position[2] = 0;
    frameWith(1, obliqueCamera());
    // The light is handed to GL under the view of the previous frame.
    frameWith(1, obliqueCamera());
    expectMatchesBaseline("shadow");
}

}  // namespace
