// Whole pictures against stored baselines, the broad net over the shaders' outputs (the command
// line's tests rely on it for the pictures of every view and method): every view over its floor,
// the blending methods, the lights and the shadowed floor, drawn from one small generated graph
// in the start state. A picture that drifts beyond the tolerance fails and is written to the
// system's temporary folder for a look; RAMIFLEX_UPDATE_BASELINES=1 rewrites the baselines.
#include "GlScene.h"
#include "RenderStates.h"

#include <IL/il.h>

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
constexpr double kOffTolerance = 0.005;

// A PNG through DevIL, upright on disk, rows bottom-up in the picture as glReadPixels gives them.
bool png(Picture* picture, const std::string& path, bool save) {
    const ILuint image = ilGenImage();
    ilBindImage(image);
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
    ilEnable(IL_FILE_OVERWRITE);
    bool ok = save ? ilTexImage(picture->width, picture->height, 1, 3, IL_RGB, IL_UNSIGNED_BYTE,
                                picture->rgb.data()) &&
                         ilSaveImage(path.c_str())
                   : ilLoadImage(path.c_str()) == IL_TRUE;
    if (ok && !save) {
        picture->width = ilGetInteger(IL_IMAGE_WIDTH);
        picture->height = ilGetInteger(IL_IMAGE_HEIGHT);
        picture->rgb.resize(static_cast<size_t>(picture->width) * picture->height * 3);
        ilCopyPixels(0, 0, 0, picture->width, picture->height, 1, IL_RGB, IL_UNSIGNED_BYTE,
                     picture->rgb.data());
    }
    ilDeleteImage(image);
    return ok;
}

class ImageBaselineTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        if (HasFatalFailure()) return;
        // 60 vertices over four levels, 45 relation edges: visible bundles, spheres apart.
        loadGenerated(60, 45, 2024, 4, 4);
        m_states = RenderStates();
        m_light = Light();
    }

    void expectMatchesBaseline(const std::string& name) {
        Picture actual = picture(), expected;
        const std::string path = "tests/render/baselines/" + name + ".png";
        const char* update = std::getenv("RAMIFLEX_UPDATE_BASELINES");
        if (update && std::string(update) == "1") {
            ASSERT_TRUE(png(&actual, path, true)) << path;
            return;
        }
        ASSERT_TRUE(png(&expected, path, false)) << path << " is missing";
        const auto channels = [](const Picture& p) {
            return std::vector<float>(p.rgb.begin(), p.rgb.end());
        };
        const auto [mean, offShare] = differenceOf(channels(actual), channels(expected));
        if (mean >= kMeanTolerance || offShare >= kOffTolerance) {
            const std::string saved =
                (std::filesystem::temp_directory_path() / ("ramiflex-" + name + ".png")).string();
            png(&actual, saved, true);
            ADD_FAILURE() << name << ": mean difference " << mean << ", " << offShare * 100
                          << "% of the pixels off; the picture is in " << saved;
        }
    }
};

TEST_F(ImageBaselineTest, ViewsMethodsAndLights) {
    struct Shot {
        const char* name;
        int view, method;
        bool shadow, lighting;
        int lightType, drawMask;
    };
    // clang-format off
    const Shot shots[] = {
        // Each view from its face-on side, framed, over the floor under it, as the viewer starts
        // (the radial tree with the start method, 0).
        {"view0", 0, 0, true, true, 0, 15}, {"view1", 1, 0, true, true, 0, 15},
        {"view2", 2, 0, true, true, 0, 15}, {"view3", 3, 0, true, true, 0, 15},
        {"view4", 4, 0, true, true, 0, 15},
        // The other methods on the radial tree over black, without the floor: each one's own
        // way of laying the bundles over the dark.
        {"blend1", 4, 1, false, true, 0, 15}, {"blend2", 4, 2, false, true, 0, 15},
        {"blend3", 4, 3, false, true, 0, 15}, {"blend4", 4, 4, false, true, 0, 15},
        // The spot light on the balloon's floor, and everything unlit in its own colours.
        {"spot", 1, 0, true, true, 2, 15}, {"unlit", 0, 3, true, false, 0, 15},
        // The relation switch off with a method that composes its sums over the scene: the graph
        // without its curves.
        {"norelations", 4, 3, false, true, 0, 11},
        // The rooted tree over its floor seen from above and aside, a conic light above it, with
        // vertices, hierarchy and relation edges in the shadow map.
        {"shadow", 0, 0, true, true, 1, 15},
    };
    // clang-format on
    for (const Shot& shot : shots) {
        m_states.blendMethod = shot.method;
        m_states.shadow = shot.shadow;
        m_states.lighting = shot.lighting;
        m_states.lightType = shot.lightType;
        m_states.drawMask = shot.drawMask;
        const SceneBounds b = shot.shadow ? boundsOf(shot.view) : SceneBounds();
        m_renderer->setSceneBounds(b);
        if (shot.lightType != 1) {  // the conic light's shot is seen from aside
            twoFrames(shot.view);
        } else {
            m_states.shadowMask = 1 | 2 | 4;
            m_light.m_position[0] = b.centre(0), m_light.m_position[1] = b.max[1] + 1.0f;
            m_light.m_position[2] = b.centre(2) + 0.3f;
            const float size = std::max({b.extent(0), b.extent(1), b.extent(2)});
            for (int i = 0; i < 2; ++i) {
                auto c = std::make_unique<Camera>(0.05f, 20.0f, 50.0f, 4.0f / 3.0f);
                c->lookAt({b.centre(0) + 0.5f * size, b.centre(1) + 0.7f * size,
                           b.centre(2) + 1.6f * size},
                          {b.centre(0), b.centre(1) - 0.2f * size, b.centre(2)}, {0, 1, 0});
                frameWith(0, std::move(c));
            }
        }
        expectMatchesBaseline(shot.name);
    }
}

}  // namespace
