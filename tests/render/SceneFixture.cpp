#include "SceneFixture.h"

#include "BallonTree.h"
#include "BuildGraph.h"
#include "DefaultFramebuffer.h"
#include "FboSize.h"
#include "GraphGenerator.h"
#include "RadialTree.h"
#include "RenderStates.h"
#include "RootedTree.h"
#include "SplineCurve.h"
#include "TreeMap.h"
#include "ViewerGlState.h"

#include <IL/il.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace scene {

std::array<int, 3> Picture::at(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

PictureDifference compare(const Picture& a, const Picture& b, int threshold) {
    PictureDifference d;
    if (a.width != b.width || a.height != b.height) {
        d.meanAbsolute = 255;
        d.offFraction = 1;
        d.maxChannel = 255;
        return d;
    }
    double sum = 0;
    size_t off = 0;
    const size_t pixels = static_cast<size_t>(a.width) * a.height;
    for (size_t p = 0; p < pixels; ++p) {
        int worst = 0;
        for (int c = 0; c < 3; ++c) {
            const int diff = std::abs(int(a.rgb[p * 3 + c]) - int(b.rgb[p * 3 + c]));
            sum += diff;
            worst = std::max(worst, diff);
        }
        if (worst > threshold) ++off;
        d.maxChannel = std::max(d.maxChannel, worst);
    }
    d.meanAbsolute = pixels ? sum / (3.0 * pixels) : 0;
    d.offFraction = pixels ? static_cast<double>(off) / pixels : 0;
    return d;
}

int countDifferent(const Picture& a, const Picture& b, int threshold) {
    const PictureDifference d = compare(a, b, threshold);
    return static_cast<int>(std::lround(d.offFraction * a.width * a.height));
}

bool savePng(const Picture& picture, const std::string& path) {
    ensureImageLibrary();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    // ilTexImage takes the rows bottom-up, as glReadPixels gives them, and the PNG writer turns
    // them upright.
    bool ok = ilTexImage(picture.width, picture.height, 1, 3, IL_RGB, IL_UNSIGNED_BYTE,
                         const_cast<uint8_t*>(picture.rgb.data())) == IL_TRUE;
    ilEnable(IL_FILE_OVERWRITE);
    ok = ok && ilSaveImage(path.c_str()) == IL_TRUE;
    ilDeleteImages(1, &image);
    return ok;
}

bool loadPng(const std::string& path, Picture* picture) {
    ensureImageLibrary();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
    bool ok = ilLoadImage(path.c_str()) == IL_TRUE;
    if (ok) {
        picture->width = ilGetInteger(IL_IMAGE_WIDTH);
        picture->height = ilGetInteger(IL_IMAGE_HEIGHT);
        picture->rgb.assign(static_cast<size_t>(picture->width) * picture->height * 3, 0);
        ilCopyPixels(0, 0, 0, picture->width, picture->height, 1, IL_RGB, IL_UNSIGNED_BYTE,
                     picture->rgb.data());
    }
    ilDeleteImages(1, &image);
    return ok;
}

std::unique_ptr<Camera> cameraFor(int viewType) {
    if (viewType == 0) {
        return std::make_unique<Camera>(-0.1f, 1.1f, -0.05f, 1.15f, -10.0f, 10.0f);
    }
    const float half = viewType == 1 ? 0.35f : 0.7f;
    Vector3 centre{0, 0, 0};
    if (viewType == 2 || viewType == 3) centre = {0.5f, 0, 0.5f};
    auto camera = std::make_unique<Camera>(-half * 4 / 3, half * 4 / 3, -half, half, -10.0f, 10.0f);
    camera->lookAt({centre[0], 5, centre[2]}, centre, {0, 0, 1});
    return camera;
}

std::vector<DataRecord> fourBranchTree(const std::vector<std::pair<int, int>>& relations) {
    std::vector<DataRecord> records{{"Root", {"0"}}, {"H", {"0", "r"}}};
    for (int k = 1; k <= 12; ++k) {
        records.push_back({"H", {std::to_string(k), "v" + std::to_string(k)}});
    }
    for (int k = 1; k <= 4; ++k) records.push_back({"PCR", {"0", std::to_string(k)}});
    for (int k = 5; k <= 12; ++k) {
        records.push_back({"PCR", {std::to_string(1 + (k - 5) / 2), std::to_string(k)}});
    }
    for (auto [start, end] : relations) {
        records.push_back({"R", {std::to_string(start), std::to_string(end)}});
    }
    return records;
}

void resetRenderStates() {
    g_renderStates = RenderStates();
    g_renderStates.shadow = false;
}

}  // namespace scene

using namespace scene;

void SceneTest::SetUp() {
    GlTest::SetUp();
    ensureImageLibrary();
    g_renderStates = RenderStates();
    // The picture goes to a framebuffer object of its own, as under the toolkit's widget.
    m_screen = std::make_unique<FrameBuffer>(1);
    setDefaultFramebuffer(m_screen->m_framebuffer);
    m_renderer = std::make_unique<RenderImplementation>();
    // Pictures as the viewer draws them, in its drawing surface's GL state.
    applyViewerDepthState();
    captureStdout([&] { m_renderer->Initialize(); });
    applyViewerLineState();
    g_renderStates.shadow = false;
}

void SceneTest::TearDown() {
    m_renderer.reset();
    setDefaultFramebuffer(0);
    g_graph = nullptr;
}

void SceneTest::load(const std::vector<DataRecord>& records) {
    m_graph = buildGraph(records);
    captureStdout([&] {
        m_graph->calculateHierarchy();
        g_graph = m_graph.get();
        m_views[0] = std::make_unique<RootedTree>();
        m_views[1] = std::make_unique<BallonTree>();
        m_views[2] = std::make_unique<TreeMap>(0);
        m_views[3] = std::make_unique<TreeMap>(1);
        m_views[4] = std::make_unique<RadialTree>();
        for (int t = 0; t < 5; ++t) {
            m_views[t]->calculate();
            m_viewTable[t] = m_views[t].get();
        }
        m_renderer->CreateObjects(m_viewTable);
    });
}

void SceneTest::loadGenerated(uint32_t vertices, uint64_t relations, uint64_t seed, uint32_t fanOut,
                              uint32_t maxDepth) {
    GeneratorParams params;
    params.vertices = vertices;
    params.relations = relations;
    params.fanOut = fanOut;
    params.maxDepth = maxDepth;
    params.seed = seed;
    load(GraphGenerator(params).records());
}

void SceneTest::frame(int viewType) { frameWith(viewType, cameraFor(viewType)); }

void SceneTest::frameWith(int viewType, std::unique_ptr<Camera> camera) {
    g_renderStates.viewType = viewType;
    m_camera = std::move(camera);
    bindDefaultFramebuffer();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    m_renderer->render(m_camera.get(), &m_light);
}

std::unique_ptr<Camera> SceneTest::fittingCamera(int viewType) const {
    // Screen axes: x and y for the rooted tree, x and z for the layouts in the x-z plane.
    const int vertical = viewType == 0 ? 1 : 2;
    float low[2] = {1e30f, 1e30f}, high[2] = {-1e30f, -1e30f};
    auto include = [&](float x, float v) {
        low[0] = std::min(low[0], x);
        high[0] = std::max(high[0], x);
        low[1] = std::min(low[1], v);
        high[1] = std::max(high[1], v);
    };
    for (const auto& [id, r] : m_views[viewType]->records()) {
        include(r.x, vertical == 1 ? 1 - r.y : r.z);
    }
    if (m_renderer->splines()) {
        for (const SplineCurve& curve : curves(viewType)) {
            for (int j = 0; j < curve.getSampleCount(); ++j) {
                const Point3 p = curve.point(j);
                include(p[0], p[vertical]);
            }
        }
    }
    const float cx = (low[0] + high[0]) / 2, cv = (low[1] + high[1]) / 2;
    float halfHeight = std::max((high[1] - low[1]) / 2, (high[0] - low[0]) / 2 * 3 / 4) * 1.08f;
    halfHeight = std::max(halfHeight, 0.05f);
    const float halfWidth = halfHeight * 4 / 3;
    if (vertical == 1) {
        return std::make_unique<Camera>(cx - halfWidth, cx + halfWidth, cv - halfHeight,
                                        cv + halfHeight, -10.0f, 10.0f);
    }
    auto camera =
        std::make_unique<Camera>(-halfWidth, halfWidth, -halfHeight, halfHeight, -10.0f, 10.0f);
    // From above with +z up on the screen.
    camera->lookAt({cx, 5, cv}, {cx, 0, cv}, {0, 0, 1});
    return camera;
}

void SceneTest::resizeSurface(int width, int height) {
    m_width = width;
    m_height = height;
    m_screen = std::make_unique<FrameBuffer>(1, width, height);
    setDefaultFramebuffer(m_screen->m_framebuffer);
    m_renderer->setSurfaceSize(width, height);
}

SceneBounds SceneTest::boundsOf(int viewType) const {
    SceneBounds bounds;
    for (const auto& [id, r] : m_views[viewType]->records()) bounds.add(r.x, 1 - r.y, r.z);
    if (m_renderer->splines()) {
        for (const SplineCurve& curve : curves(viewType)) {
            for (int j = 0; j < curve.getSampleCount(); ++j) {
                const Point3 p = curve.point(j);
                bounds.add(p[0], p[1], p[2]);
            }
        }
    }
    return bounds;
}

Picture SceneTest::picture() const {
    Picture p;
    p.width = m_width;
    p.height = m_height;
    p.rgb.assign(static_cast<size_t>(m_width) * m_height * 3, 0);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, m_screen->m_framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, m_width, m_height, GL_RGB, GL_UNSIGNED_BYTE, p.rgb.data());
    return p;
}

std::array<float, 4> SceneTest::pickingCode(int x, int y) const {
    std::array<float, 4> code{};
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, m_renderer->sceneBuffer()->m_framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT1_EXT);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_FLOAT, code.data());
    bindDefaultFramebuffer();
    return code;
}

Pixel SceneTest::project(float x, float y, float z) const {
    const Vector4 clip =
        math::transform(math::multiply(m_camera->projection, m_camera->view), {x, y, z, 1});
    const float px = (clip[0] / clip[3] + 1) / 2 * m_width;
    const float py = (clip[1] / clip[3] + 1) / 2 * m_height;
    // pick() reads column x and row height - 1 - y.
    return {static_cast<int>(std::floor(px)), m_height - 1 - static_cast<int>(std::floor(py))};
}

Pixel SceneTest::projectVertex(int viewType, uint32_t id) const {
    const LayoutRecord r = m_views[viewType]->getRecord(id);
    return project(r.x, 1 - r.y, r.z);
}

void SceneTest::pick(Pixel p) {
    captureStdout([&] { m_renderer->pick(p.x, p.y); });
}

std::vector<float> SceneTest::hierarchyColors(int viewType) const {
    std::vector<float> colors(size_t(8) * g_graph->hierarchyEdgeCount());
    glBindBuffer(GL_ARRAY_BUFFER, m_views[viewType]->m_hierarchyColorBuffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, colors.size() * sizeof(float), colors.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return colors;
}
