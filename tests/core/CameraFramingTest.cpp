// The start cameras of every view: the view's box is in the picture, fills a good part of it, is
// not clipped and, in 2D, is face-on and upright; in 2D and 3D, at several picture shapes, on the
// sample graph and on a generated one, with and without the scene rotation and scale.
#include "FiveViews.h"
#include "CameraFraming.h"
#include "Cameras.h"
#include "GraphGenerator.h"
#include "GraphLoader.h"
#include "ViewBounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

std::vector<std::unique_ptr<FiveViews>> graphs() {
    std::vector<std::unique_ptr<FiveViews>> result;
    LoadResult sample = GraphLoader::load(RAMIFLEX_SOURCE_DIR "/data/ramiflex.xml");
    EXPECT_TRUE(sample.ok()) << sample.error;
    if (sample.ok()) result.push_back(layOutFiveViews("sample", std::move(sample.graph)));
    // Vertices, fan-out, depth, relation edges, seed, shuffled ids.
    GeneratorParams params{700, 5, 6, 900, 17, false};
    result.push_back(layOutFiveViews("generated", GraphGenerator(params).records()));
    return result;
}

TEST(CameraFraming, EveryViewIsFramedInsideThePictureAndFillsIt) {
    struct Transform {
        float rx, ry, rz;
        int scale;
    };
    const Transform transforms[] = {{0, 0, 0, 50}, {30, -40, 15, 72}};
    const float aspects[] = {4.0f / 3.0f, 16.0f / 9.0f, 0.6f};
    for (const auto& laid : graphs()) {
        for (int type = 0; type < 5; ++type) {
            const SceneBounds plain = ViewBounds::ofView(*laid->graph, *laid->views[type], type);
            for (const Transform& t : transforms) {
                const SceneBounds box = ViewBounds::transformed(plain, t.rx, t.ry, t.rz,
                                                                ViewBounds::sceneScale(t.scale));
                for (const float aspect : aspects) {
                    for (const bool mode3D : {true, false}) {
                        SCOPED_TRACE(testing::Message()
                                     << laid->name << " view " << type << " rotation " << t.rx
                                     << " aspect " << aspect << " 3D " << mode3D);
                        CameraControl control;
                        Camera camera(1, 20, 80, 4.0f / 3.0f);
                        if (mode3D) {
                            CameraFraming::framePerspective(box, type, aspect, control, camera);
                            EXPECT_EQ(camera.aspect, aspect);
                        } else {
                            CameraFraming::frameOrtho(box, type, aspect, camera);
                            EXPECT_NEAR(camera.width / camera.height, aspect, 1e-5f);
                        }
                        Vector3 low{2, 2, 2}, high{-2, -2, -2}, p[8];
                        for (int i = 0; i < 8; ++i) {
                            p[i] = projected(camera, corner(box, i));
                            for (int a = 0; a < 3; ++a) {
                                low[a] = std::min(low[a], p[i][a]);
                                high[a] = std::max(high[a], p[i][a]);
                            }
                        }
                        // Inside the picture and between the clipping planes.
                        for (int a = 0; a < 3; ++a) {
                            EXPECT_GE(low[a], -1.0f) << "axis " << a;
                            EXPECT_LE(high[a], 1.0f) << "axis " << a;
                        }
                        // At least 60 % of the width or of the height.
                        EXPECT_GE(std::max(high[0] - low[0], high[1] - low[1]) / 2, 0.6f);
                        if (mode3D || t.rx != 0) continue;
                        // Face-on in 2D, not mirrored: x to the right, the rooted tree's y up
                        // (its root at the top), the flat layouts' z down, as the 3D start
                        // view shows them from the front.
                        EXPECT_GT(p[1][0], p[0][0]);
                        EXPECT_EQ(p[type == 0 ? 2 : 4][1] > p[0][1], type == 0);
                    }
                }
            }
        }
    }
}

TEST(CameraFraming, NewAspectKeepsTheZoomAndTheLightStandsClearAboveTheBox) {
    const SceneBounds box = ::box({-1, 0, -0.5f}, {2, 1, 0.5f});
    CameraControl control;
    Camera ortho(-1, 1, -1, 1, 0, 10), perspective(1, 20, 80, 4.0f / 3.0f);
    CameraFraming::framePerspective(box, 1, 4.0f / 3.0f, control, perspective);
    CameraFraming::frameOrtho(box, 1, 4.0f / 3.0f, ortho);
    const float height = ortho.height, distance = control.distance();
    const Matrix4 view = perspective.view;
    CameraFraming::setAspect(2.0f, ortho, perspective);
    EXPECT_EQ(ortho.height, height);
    EXPECT_FLOAT_EQ(ortho.width, 2 * height);
    EXPECT_EQ(perspective.aspect, 2.0f);
    EXPECT_EQ(perspective.view, view);
    EXPECT_EQ(control.distance(), distance);
    // Square pixels: a unit in x and in y take the same share of the picture's pixels.
    EXPECT_NEAR(perspective.projection[5] / perspective.projection[0], 2.0f, 1e-5f);

    const Vector3 light = CameraFraming::lightPosition(box);
    EXPECT_GT(light[1], box.max[1]);
    EXPECT_NEAR(light[0], box.centre(0), 1e-6f);
    EXPECT_GE(light[2], box.centre(2));
    // An empty box (no graph) frames nothing.
    const Matrix4 before = perspective.view;
    CameraFraming::framePerspective(SceneBounds(), 0, 1.0f, control, perspective);
    EXPECT_EQ(perspective.view, before);
}

}  // namespace
