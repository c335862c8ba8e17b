// The light on real frames: the switch, the three kinds, the attenuation handed to light 0, the
// marker and the light camera following the light; the floor and the shadows cast on it.
#include "FboSize.h"
#include "RenderStates.h"
#include "SceneFixture.h"
#include "ShaderProgram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

using scene::Picture;
using scene::Pixel;

enum ProgramIndex { SHADING = 0, SUM = 2, WEIGHTING = 4 };

// The floor's grey, unlit, on the 0..255 scale: dark, so that the curves stand out on it.
constexpr double kFloor = 0.16 * 255;

int lightTypeUniform(const ShaderProgram& program) {
    GLint value = -1;
    glGetUniformiv(program.m_handle, program.location(0), &value);
    return value;
}

float lightParameter(GLenum name) {
    float value[4] = {-1, -1, -1, -1};
    glGetLightfv(GL_LIGHT0, name, value);
    return value[0];
}

// In front of and above the graph, looking down at it and at the floor below.
std::unique_ptr<Camera> obliqueCamera() {
    auto camera = std::make_unique<Camera>(0.5f, 20.0f, 60.0f, 4.0f / 3.0f);
    camera->lookAt({0.5f, 1.5f, 4.0f}, {0.5f, -0.8f, 0}, {0, 1, 0});
    return camera;
}

class LightingTest : public SceneTest {
protected:
    // The light is handed to GL under the camera view of the frame before.
    void twoFrames(int viewType, std::unique_ptr<Camera> (*camera)() = nullptr) {
        for (int i = 0; i < 2; ++i) {
            frameWith(viewType, camera ? camera() : fittingCamera(viewType));
        }
    }

    bool isMarker(Pixel p) const {
        return picture().at(column(p), row(p)) == (std::array<int, 3>{255, 255, 0});
    }

    // A light above the layout's centre, at height above the layout's plane.
    void lightAbove(int viewType, float height) {
        float x = 0, z = 0;
        for (const auto& [id, r] : m_views[viewType]->records()) {
            x += r.x;
            z += r.z;
        }
        const float n = static_cast<float>(m_views[viewType]->records().size());
        m_light.m_position[0] = x / n;
        m_light.m_position[1] = 1 + height;
        m_light.m_position[2] = z / n;
    }
};

TEST_F(LightingTest, SwitchedOffEveryProgramHearsFourAndTheMarkerStays) {
    loadGenerated(20, 10, 3);
    const float vertex[4] = {0.6f, 0.4f, 0.2f, 1};
    std::copy(vertex, vertex + 4, g_renderStates.vertexColor);
    g_renderStates.lightType = 2;
    g_renderStates.drawMask = 1;
    lightAbove(1, 0.5f);
    for (bool on : {true, false}) {
        g_renderStates.lighting = on;
        for (int method : {3, 4}) {
            g_renderStates.blendMethod = method;
            twoFrames(1);
        }
        const int expected = on ? 2 : 4;
        EXPECT_EQ(lightTypeUniform(*m_renderer->program(WEIGHTING)), expected);
        EXPECT_EQ(lightTypeUniform(*m_renderer->program(SUM)), expected);
        // The shading program: unlit, a vertex shows its colour exactly.
        g_renderStates.blendMethod = 0;
        twoFrames(1);
        const Pixel centre = projectVertex(1, 0);
        const std::array<int, 3> shown = picture().at(column(centre), row(centre));
        const bool exact = std::abs(shown[0] - 153) <= 1 && std::abs(shown[1] - 102) <= 1 &&
                           std::abs(shown[2] - 51) <= 1;
        EXPECT_EQ(exact, !on) << shown[0] << " " << shown[1] << " " << shown[2];
        // Light 0 keeps its parameters; the yellow marker is drawn either way.
        EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
        float diffuse[4];
        glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
        EXPECT_FLOAT_EQ(diffuse[0], 0.8f);
        EXPECT_TRUE(
            isMarker(project(m_light.m_position[0], m_light.m_position[1], m_light.m_position[2])))
            << "lighting " << on;
    }
}

TEST_F(LightingTest, PointConicAndSpotLightsShadeDifferently) {
    loadGenerated(60, 0, 8, 4, 4);
    g_renderStates.drawMask = 1;
    lightAbove(1, 0.6f);
    Picture pictures[3];
    for (int type = 0; type < 3; ++type) {
        g_renderStates.lightType = type;
        twoFrames(1);
        pictures[type] = picture();
    }
    EXPECT_GT(scene::countDifferent(pictures[0], pictures[1], 8), 1000);
    EXPECT_GT(scene::countDifferent(pictures[1], pictures[2], 8), 1000);
    EXPECT_GT(scene::countDifferent(pictures[0], pictures[2], 8), 1000);
}

TEST_F(LightingTest, AttenuationFollowsTheSliders) {
    loadGenerated(5, 0, 1);
    g_renderStates.lightAttenuation = 10;
    g_renderStates.lightRadius = 0;
    g_renderStates.lightType = 1;
    frame(1);
    EXPECT_FLOAT_EQ(lightParameter(GL_CONSTANT_ATTENUATION), 0.02f);
    EXPECT_FLOAT_EQ(lightParameter(GL_LINEAR_ATTENUATION), 0.25f);
    EXPECT_FLOAT_EQ(lightParameter(GL_QUADRATIC_ATTENUATION), 0.125f);
    for (int type : {0, 2}) {
        g_renderStates.lightType = type;
        frame(1);
        EXPECT_FLOAT_EQ(lightParameter(GL_CONSTANT_ATTENUATION), 0.01f) << "type " << type;
        EXPECT_FLOAT_EQ(lightParameter(GL_LINEAR_ATTENUATION), 0.25f);
    }
    // The radius slider: constant term and spot cutoff (radius / 100 degrees).
    g_renderStates.lightRadius = 50;
    g_renderStates.lightType = 1;
    frame(1);
    EXPECT_FLOAT_EQ(lightParameter(GL_CONSTANT_ATTENUATION), 0.52f);
    EXPECT_FLOAT_EQ(lightParameter(GL_SPOT_CUTOFF), 0.5f);
}

TEST_F(LightingTest, MovingTheLightMovesTheMarkerAndTheLightCamera) {
    loadGenerated(10, 0, 2);
    g_renderStates.drawMask = 1;
    lightAbove(1, 0.3f);
    twoFrames(1);
    const Pixel before =
        project(m_light.m_position[0], m_light.m_position[1], m_light.m_position[2]);
    EXPECT_TRUE(isMarker(before));
    // ALT + A four times: x grows by the float 0.05 widened to double, per press.
    for (int press = 0; press < 4; ++press) {
        m_light.m_position[0] =
            static_cast<float>(m_light.m_position[0] + static_cast<double>(0.05f));
    }
    frame(1);
    const Pixel after =
        project(m_light.m_position[0], m_light.m_position[1], m_light.m_position[2]);
    EXPECT_GT(std::abs(after.x - before.x), 20);
    EXPECT_TRUE(isMarker(after));
    EXPECT_FALSE(isMarker(before));
    const Vector3 eye = m_renderer->lightCamera()->position();
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(eye[i], m_light.m_position[i], 1e-5f);
    // Light 0 sits there too, given in the eye coordinates of the camera.
    frame(1);
    float position[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, position);
    const Vector4 expected = math::transform(
        m_camera->view, {m_light.m_position[0], m_light.m_position[1], m_light.m_position[2], 1});
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(position[i], expected[i], 1e-5f);
}

TEST_F(LightingTest, LightStaysInWorldCoordinatesWhateverTheOverlayAndTheCameraDidBefore) {
    // The overlay leaves an identity model-view matrix behind, and every camera its own view:
    // light 0 must still sit at view x world position, and shine along view x world direction.
    loadGenerated(10, 5, 2);
    m_light.m_position[0] = 0.3f;
    m_light.m_position[1] = 1.7f;
    m_light.m_position[2] = 0.9f;
    auto front = [] {
        auto camera = std::make_unique<Camera>(0.5f, 20.0f, 60.0f, 4.0f / 3.0f);
        camera->lookAt({0.5f, 1.0f, 4.0f}, {0.5f, 0.5f, 0}, {0, 1, 0});
        return camera;
    };
    auto side = [] {
        auto camera = std::make_unique<Camera>(0.5f, 20.0f, 60.0f, 4.0f / 3.0f);
        camera->lookAt({-3.0f, 2.5f, -1.0f}, {0, 0.5f, 0}, {0, 1, 0});
        return camera;
    };
    std::unique_ptr<Camera> (*cameras[])() = {+front, +side, +front, +side};
    for (int i = 0; i < 4; ++i) {
        frameWith(1, cameras[i]());
        const Matrix4 view = m_camera->view;
        float position[4], direction[4] = {0, 0, 0, 0};
        glGetLightfv(GL_LIGHT0, GL_POSITION, position);
        glGetLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, direction);
        const Vector4 p = math::transform(
            view, {m_light.m_position[0], m_light.m_position[1], m_light.m_position[2], 1});
        const Vector4 d = math::transform(view, {0, -1, 0, 0});
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(position[c], p[c], 1e-5f) << "frame " << i;
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(direction[c], d[c], 1e-5f) << "frame " << i;
        captureStdout([&] { m_renderer->drawOverlay(16); });
    }
}

TEST_F(LightingTest, FloorAndShadowCameraFollowTheFramedScene) {
    loadGenerated(30, 10, 6);
    // Without a framed scene: the fixed floor under the unit layouts.
    const RenderImplementation::Box fixed = m_renderer->floorBox();
    EXPECT_FLOAT_EQ(fixed.max[1], -1.5f);
    EXPECT_FLOAT_EQ(fixed.min[0], -1.0f);
    EXPECT_FLOAT_EQ(fixed.max[2], 1.0f);
    // Scenes far from the origin, scaled up and small: the floor lies under the lowest point,
    // reaches beyond the box in x and z, and the light's volume holds all of the floor.
    const float boxes[3][6] = {
        {4, 2, -7, 6, 3, -5}, {-20, -10, -20, 20, 10, 20}, {0.4f, 0.9f, 0.4f, 0.6f, 1.0f, 0.6f}};
    for (const auto& box : boxes) {
        SceneBounds bounds;
        bounds.add(box[0], box[1], box[2]);
        bounds.add(box[3], box[4], box[5]);
        m_renderer->setSceneBounds(bounds);
        m_light.m_position[0] = bounds.centre(0) + 0.3f * bounds.extent(0);
        m_light.m_position[1] = bounds.max[1] + 1;
        m_light.m_position[2] = bounds.centre(2);
        frame(1);
        const RenderImplementation::Box floor = m_renderer->floorBox();
        EXPECT_LT(floor.max[1], bounds.min[1]);
        EXPECT_GT(floor.max[1], bounds.min[1] - 0.25f * bounds.extent(1) - 0.05f);
        EXPECT_LT(floor.min[1], floor.max[1]);
        for (int axis : {0, 2}) {
            EXPECT_LT(floor.min[axis], bounds.min[axis]);
            EXPECT_GT(floor.max[axis], bounds.max[axis]);
        }
        const Camera& light = *m_renderer->lightCamera();
        const Matrix4 lightClip = math::multiply(light.projection, light.view);
        for (int corner = 0; corner < 8; ++corner) {
            const Vector4 clip =
                math::transform(lightClip, {corner & 1 ? floor.max[0] : floor.min[0],
                                            corner & 2 ? floor.max[1] : floor.min[1],
                                            corner & 4 ? floor.max[2] : floor.min[2], 1});
            for (int c = 0; c < 3; ++c) {
                EXPECT_LE(std::abs(clip[c] / clip[3]), 1.0f) << "corner " << corner;
            }
        }
        // And no wider than needed: the floor's top spans at least half the map either way.
        const Vector4 a = math::transform(lightClip, {floor.min[0], floor.max[1], floor.min[2], 1});
        const Vector4 b = math::transform(lightClip, {floor.max[0], floor.max[1], floor.max[2], 1});
        EXPECT_GT(std::abs(a[0] - b[0]), 1.0f);
        EXPECT_GT(std::abs(a[1] - b[1]), 1.0f);
    }
}

class ShadowTest : public LightingTest {
protected:
    void SetUp() override {
        LightingTest::SetUp();
        g_renderStates.lighting = false;  // the floor is its grey, times the shadow factor
        g_renderStates.shadow = true;
        m_light.m_position[0] = 0.5f;
        m_light.m_position[1] = 3.0f;
        m_light.m_position[2] = 0;
    }

    // The floor's top face (y = -1.5) right under a rooted-tree vertex, on the screen.
    Pixel floorUnder(uint32_t id) const {
        const LayoutRecord r = m_views[0]->getRecord(id);
        return project(r.x, -1.5f, r.z);
    }
};

TEST_F(ShadowTest, FloorOnlyWithShadowsOn) {
    loadGenerated(20, 10, 3);
    auto litShare = [&] {
        const Picture shot = picture();
        int lit = 0;
        for (int y = 0; y < FBO_HEIGHT; y += 8) {
            for (int x = 0; x < FBO_WIDTH; x += 8) lit += shot.at(x, y)[0] > 0 ? 1 : 0;
        }
        return lit / double((FBO_HEIGHT / 8) * (FBO_WIDTH / 8));
    };
    twoFrames(1);
    EXPECT_GT(litShare(), 0.9) << "the floor fills the picture behind the graph";
    g_renderStates.shadow = false;
    twoFrames(1);
    EXPECT_LT(litShare(), 0.2);
}

TEST_F(ShadowTest, VerticesInShadowDarkenTheFloorUnderThem) {
    loadGenerated(12, 0, 4);
    g_renderStates.drawMask = 1;
    twoFrames(0, obliqueCamera);
    const Picture unshadowed = picture();
    g_renderStates.shadowMask = 1;
    twoFrames(0, obliqueCamera);
    const Picture shadowed = picture();
    int darkened = 0;
    const uint32_t n = static_cast<uint32_t>(g_graph->vertexCount());
    for (uint32_t k = 0; k < n; ++k) {
        const Pixel p = floorUnder(k);
        EXPECT_NEAR(unshadowed.at(column(p), row(p))[0], kFloor, 1) << "vertex " << k;
        const int value = shadowed.at(column(p), row(p))[0];
        if (value < kFloor / 2) ++darkened;
    }
    EXPECT_GE(darkened, static_cast<int>(n) - 1);
    // Only darker, nowhere brighter: the picture changes by the shadows alone.
    int brighter = 0;
    for (size_t i = 0; i < shadowed.rgb.size(); ++i) {
        brighter += shadowed.rgb[i] > unshadowed.rgb[i] + 2 ? 1 : 0;
    }
    EXPECT_EQ(brighter, 0);
    // Hierarchy edges in shadow: in the balloon view they spread over the plane, and their thin
    // shadows (one shadow-map texel, softened over three) darken more of the floor: by a third
    // of a texel's share of the dark grey, at least 8 steps.
    g_renderStates.drawMask = 3;
    lightAbove(1, 2.0f);
    twoFrames(1, obliqueCamera);
    const Picture withoutEdges = picture();
    g_renderStates.shadowMask = 3;
    twoFrames(1, obliqueCamera);
    EXPECT_GT(scene::countDifferent(withoutEdges, picture(), 8), 50);
}

TEST_F(ShadowTest, VerticesThrowShadowsOnTheFloorUnderAFramedScaledScene) {
    // Scaled four times, the rooted tree reaches from y = 0 to 4 and x = 0 to 4: the fixed floor
    // would cut through it. Under the framed box the floor takes every vertex's shadow.
    loadGenerated(12, 0, 4);
    g_renderStates.drawMask = 1;
    g_renderStates.scale = 80;
    const float scale = 4;
    SceneBounds bounds;
    const SceneBounds unscaled = boundsOf(0);
    bounds.add(unscaled.min[0] * scale, unscaled.min[1] * scale, unscaled.min[2] * scale);
    bounds.add(unscaled.max[0] * scale, unscaled.max[1] * scale, unscaled.max[2] * scale);
    m_renderer->setSceneBounds(bounds);
    m_light.m_position[0] = bounds.centre(0);
    m_light.m_position[1] = bounds.max[1] + 3;
    m_light.m_position[2] = bounds.centre(2);
    auto camera = [] {
        auto c = std::make_unique<Camera>(0.5f, 60.0f, 60.0f, 4.0f / 3.0f);
        c->lookAt({2, 6, 12}, {2, -0.5f, 0}, {0, 1, 0});
        return c;
    };
    frameWith(0, camera());
    frameWith(0, camera());
    const Picture unshadowed = picture();
    g_renderStates.shadowMask = 1;
    frameWith(0, camera());
    const Picture shadowed = picture();
    const float top = m_renderer->floorBox().max[1];
    const uint32_t n = static_cast<uint32_t>(g_graph->vertexCount());
    int darkened = 0;
    for (uint32_t k = 0; k < n; ++k) {
        const LayoutRecord r = m_views[0]->getRecord(k);
        const Pixel p = project(r.x * scale, top, r.z * scale);
        EXPECT_NEAR(unshadowed.at(column(p), row(p))[0], kFloor, 1) << "vertex " << k;
        if (shadowed.at(column(p), row(p))[0] < kFloor / 2) ++darkened;
    }
    EXPECT_GE(darkened, static_cast<int>(n) - 1);
}

}  // namespace
