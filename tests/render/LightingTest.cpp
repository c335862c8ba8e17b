// The light on real frames, beyond the image baselines' shading and shadows: light 0 following the
// sliders and staying in world coordinates with the marker and the shadow camera, and the floor
// and the light's volume around the framed scene.
#include "GlScene.h"
#include "RenderStates.h"

#include <cmath>
#include <memory>

namespace {

float lightParameter(GLenum name) {
    float value[4] = {-1, -1, -1, -1};
    glGetLightfv(GL_LIGHT0, name, value);
    return value[0];
}

class LightingTest : public SceneTest {};

TEST_F(LightingTest, LightZeroFollowsTheSlidersAndStaysInWorldCoordinates) {
    loadGenerated(10, 5, 2);
    m_states.drawMask = 1;
    struct Case {
        int type, attenuation, radius;
        float constant, linear, quadratic, cutoff, x;
    };
    // The conic light doubles the attenuation in its constant term; the radius adds to it and
    // gives the spot's cutoff in hundredths of a degree.
    const Case cases[] = {{1, 10, 0, 0.02f, 0.25f, 0.125f, 0, 0.3f},
                          {0, 10, 0, 0.01f, 0.25f, 0.125f, 0, 0.5f},
                          {2, 10, 0, 0.01f, 0.25f, 0.125f, 0, 0.7f},
                          {1, 10, 50, 0.52f, 0.25f, 0.125f, 0.5f, 0.5f},
                          {0, 0, 100, 1.0f, 0, 0, 1.0f, 0.3f}};
    // The overlay leaves an identity model-view matrix behind, and every camera its own view:
    // light 0 must still sit at view x world position and shine along view x world direction.
    const std::pair<Vector3, Vector3> cameras[] = {{{0.5f, 1.0f, 4.0f}, {0.5f, 0.5f, 0}},
                                                   {{-3.0f, 2.5f, -1.0f}, {0, 0.5f, 0}}};
    m_light.m_position[1] = 1.3f, m_light.m_position[2] = 0.5f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        m_states.lightType = c.type;
        m_states.lightAttenuation = c.attenuation;
        m_states.lightRadius = c.radius;
        m_light.m_position[0] = c.x;
        auto camera = std::make_unique<Camera>(0.5f, 20.0f, 60.0f, 4.0f / 3.0f);
        camera->lookAt(cameras[(&c - cases) % 2].first, cameras[(&c - cases) % 2].second,
                       {0, 1, 0});
        frameWith(1, std::move(camera));
        EXPECT_FLOAT_EQ(lightParameter(GL_CONSTANT_ATTENUATION), c.constant);
        EXPECT_FLOAT_EQ(lightParameter(GL_LINEAR_ATTENUATION), c.linear);
        EXPECT_FLOAT_EQ(lightParameter(GL_QUADRATIC_ATTENUATION), c.quadratic);
        EXPECT_FLOAT_EQ(lightParameter(GL_SPOT_CUTOFF), c.cutoff);
        float position[4], direction[4] = {0, 0, 0, 0};
        glGetLightfv(GL_LIGHT0, GL_POSITION, position);
        glGetLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, direction);
        const float* l = m_light.m_position;
        const Vector4 p = math::transform(m_camera->view, {l[0], l[1], l[2], 1});
        const Vector4 d = math::transform(m_camera->view, {0, -1, 0, 0});
        const Vector3 lightEye = m_renderer->lightCamera()->position();
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(position[i], p[i], 1e-5f);
            EXPECT_NEAR(i < 3 ? direction[i] : 0, d[i], 1e-5f);
            EXPECT_NEAR(i < 3 ? lightEye[i] : 1, i < 3 ? l[i] : 1, 1e-5f);  // the shadow camera
        }
        const std::array<int, 3> marker{255, 255, 0};  // moves with the light
        EXPECT_EQ(shown(picture(), project(l[0], l[1], l[2])), marker);
    }
    // The shadow camera looks along the light, whichever way it points.
    const float aim[3] = {0.3f, -1.0f, 0.5f};
    std::copy(aim, aim + 3, m_states.lightDirection);
    frameWith(1, fittingCamera(1));
    const Vector3 forward = m_renderer->lightCamera()->forward();
    const float length = std::sqrt(aim[0] * aim[0] + aim[1] * aim[1] + aim[2] * aim[2]);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(forward[i], aim[i] / length, 1e-5f);
}

TEST_F(LightingTest, FloorAndLightVolumeFollowTheFramedScene) {
    loadGenerated(30, 10, 6);
    // Without a framed scene: the fixed floor under the unit layouts.
    const RenderImplementation::Box fixed = m_renderer->floorBox();
    EXPECT_FLOAT_EQ(fixed.max[1], -1.5f);
    EXPECT_FLOAT_EQ(fixed.min[0], -1.0f);
    EXPECT_FLOAT_EQ(fixed.max[2], 1.0f);
    // Scenes far from the origin, scaled up and small: the floor lies just under the lowest
    // point, reaches beyond the box in x and z, and the light's volume holds all of it, no wider
    // than needed.
    const float boxes[3][6] = {
        {4, 2, -7, 6, 3, -5}, {-20, -10, -20, 20, 10, 20}, {0.4f, 0.9f, 0.4f, 0.6f, 1.0f, 0.6f}};
    for (const auto& box : boxes) {
        SceneBounds bounds;
        bounds.add(box[0], box[1], box[2]);
        bounds.add(box[3], box[4], box[5]);
        m_renderer->setSceneBounds(bounds);
        m_light.m_position[0] = bounds.centre(0) + 0.3f * bounds.extent(0);
        m_light.m_position[1] = bounds.max[1] + 1, m_light.m_position[2] = bounds.centre(2);
        frameWith(1, fittingCamera(1));
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
        const auto clip = [&](int corner) {
            const Vector4 v =
                math::transform(lightClip, {corner & 1 ? floor.max[0] : floor.min[0],
                                            corner & 2 ? floor.max[1] : floor.min[1],
                                            corner & 4 ? floor.max[2] : floor.min[2], 1});
            return Vector3{v[0] / v[3], v[1] / v[3], v[2] / v[3]};
        };
        // Inside the volume, and reaching its sides: the map is spent on the floor.
        Vector3 low{2, 2, 2}, high{-2, -2, -2};
        for (int corner = 0; corner < 8; ++corner)
            for (int c = 0; c < 3; ++c) {
                EXPECT_LE(std::abs(clip(corner)[c]), 1.0f) << corner;
                low[c] = std::min(low[c], clip(corner)[c]);
                high[c] = std::max(high[c], clip(corner)[c]);
            }
        for (int c : {0, 1})
            EXPECT_TRUE(low[c] < -0.9f && high[c] > 0.9f) << low[c] << " " << high[c];
    }
    // Seen from above in a flat picture wider than the scene, the floor reaches the picture's
    // edges: no strip of another colour at its sides.
    auto wide = std::make_unique<Camera>(-20.0f, 20.0f, -15.0f, 15.0f, -10.0f, 10.0f);
    wide->lookAt({1, 5, 2}, {1, 0, 2}, {0, 0, 1});
    frameWith(1, std::move(wide));
    const RenderImplementation::Box floor = m_renderer->floorBox();
    EXPECT_LE(floor.min[0], -18.99f);
    EXPECT_GE(floor.max[0], 20.99f);
    EXPECT_LE(floor.min[2], -12.99f);
    EXPECT_GE(floor.max[2], 16.99f);
}

}  // namespace
