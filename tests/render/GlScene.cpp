#include "GlScene.h"

#include "BallonTree.h"
#include "BuildGraph.h"
#include "GlContext.h"
#include "DefaultFramebuffer.h"
#include "GraphGenerator.h"
#include "GraphOpening.h"
#include "RadialTree.h"
#include "RenderStates.h"
#include "RootedTree.h"
#include "SplineCurve.h"
#include "TreeMap.h"
#include "ViewFactory.h"
#include "ViewerGlState.h"

#include <IL/il.h>
#include <IL/ilu.h>

#include <algorithm>
#include <cmath>

PictureDifference differenceOf(const std::vector<float>& a, const std::vector<float>& b) {
    double sum = 0;
    size_t off = 0;
    for (size_t p = 0; p + 2 < a.size() && a.size() == b.size(); p += 3) {
        float worst = 0;
        for (size_t i = p; i < p + 3; ++i) {
            sum += std::abs(a[i] - b[i]);
            worst = std::max(worst, std::abs(a[i] - b[i]));
        }
        off += worst > 24 ? 1 : 0;
    }
    if (a.size() != b.size() || a.empty()) return {255, 1};
    return {sum / a.size(), off * 3.0 / a.size()};
}

void SceneTest::SetUp() {
    ASSERT_EQ(makeGlContextCurrent(), "");
    static const GLenum result = [] {
        glewExperimental = GL_TRUE;
        return glewInit();
    }();
    // Under EGL glewInit reports a missing GLX display after loading every entry point.
    ASSERT_TRUE(result == GLEW_OK || result == GLEW_ERROR_NO_GLX_DISPLAY)
        << glewGetErrorString(result);
    [[maybe_unused]] static const bool imagesStarted = (ilInit(), iluInit(), true);  // DevIL
    // glewInit may leave an error flag behind (it queries extensions the old way).
    while (glGetError() != GL_NO_ERROR) continue;
    m_states = RenderStates();
    // The picture goes to a framebuffer object of its own, as under the toolkit's widget, in the
    // GL state of the viewer's drawing surface.
    m_screen = std::make_unique<FrameBuffer>(1);
    setDefaultFramebuffer(m_screen->m_framebuffer);
    m_renderer = std::make_unique<RenderImplementation>();
    applyViewerDepthState();
    m_renderer->Initialize();
    applyViewerLineState();
    m_states.shadow = false;
}

void SceneTest::TearDown() {
    m_renderer.reset();
    setDefaultFramebuffer(0);
    g_graph = nullptr;
}

void SceneTest::load(const std::vector<DataRecord>& records) {
    m_graph = buildGraph(records);
    m_graph->calculateHierarchy();
    g_graph = m_graph.get();
    std::array<std::unique_ptr<View>, 5> views = calculateFiveViews(*m_graph);
    for (int t = 0; t < 5; ++t) m_views[t] = std::move(views[t]);
    show();
}

void SceneTest::loadFile(const std::string& path) {
    OpenedGraph opened = GraphOpening::open(path);
    ASSERT_TRUE(opened.ok()) << opened.error;
    m_graph = std::move(opened.graph);
    g_graph = m_graph.get();
    for (int t = 0; t < 5; ++t) m_views[t] = std::move(opened.views[t]);
    m_renderer->adoptCurveControls(std::move(opened.curves));
    show();
}

void SceneTest::loadGenerated(uint32_t vertices, uint64_t relations, uint64_t seed, uint32_t fanOut,
                              uint32_t maxDepth) {
    load(GraphGenerator(GeneratorParams{vertices, fanOut, maxDepth, relations, seed}).records());
}

void SceneTest::show() {
    for (int t = 0; t < 5; ++t) m_viewTable[t] = m_views[t].get();
    m_renderer->CreateObjects(*m_graph, m_viewTable);
    m_reference = std::make_unique<SplineStore>(int32_t(m_graph->depthCount()));
    m_reference->addCurvesOfViews(*m_graph, m_viewTable);
    m_reference->orderByLength();
    m_referenceBeta = std::nanf("");
}

SplineStore::CurveList& SceneTest::curves(int viewType) const {
    if (!(m_referenceBeta == m_states.beta)) {
        m_referenceBeta = m_states.beta;
        m_reference->applyBeta(m_referenceBeta);
    }
    return *m_reference->curvesFor(viewType);
}

SceneBounds SceneTest::boundsOf(int viewType) const {
    SceneBounds bounds;
    for (const auto& [id, r] : m_views[viewType]->records()) bounds.add(r.x, 1 - r.y, r.z);
    for (const SplineCurve& curve : curves(viewType))
        for (int j = 0; j < curve.getSampleCount(); ++j) {
            const Point3 p = curve.point(j);
            bounds.add(p[0], p[1], p[2]);
        }
    return bounds;
}

std::unique_ptr<Camera> SceneTest::fittingCamera(int viewType) const {
    // Screen axes: x and y for the rooted tree, x and z for the layouts in the x-z plane.
    const int v = viewType == 0 ? 1 : 2;
    const SceneBounds b = boundsOf(viewType);
    const float half = std::max(std::max(b.extent(v), b.extent(0) * 3 / 4) / 2 * 1.08f, 0.05f);
    const float cx = b.centre(0), cv = b.centre(v);
    if (v == 1)
        return std::make_unique<Camera>(cx - half * 4 / 3, cx + half * 4 / 3, cv - half, cv + half,
                                        -10.0f, 10.0f);
    auto camera = std::make_unique<Camera>(-half * 4 / 3, half * 4 / 3, -half, half, -10.0f, 10.0f);
    camera->lookAt({cx, 5, cv}, {cx, 0, cv}, {0, 0, 1});  // from above, +z up on the screen
    return camera;
}

void SceneTest::frameWith(int viewType, std::unique_ptr<Camera> camera) {
    m_states.viewType = viewType;
    m_camera = std::move(camera);
    bindDefaultFramebuffer();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    m_renderer->render(FrameInput{m_states, m_camera.get(), &m_light});
}

void SceneTest::twoFrames(int viewType, std::unique_ptr<Camera> (*camera)()) {
    for (int i = 0; i < 2; ++i) frameWith(viewType, camera ? camera() : fittingCamera(viewType));
}

void SceneTest::resizeSurface(int width, int height) {
    m_width = width;
    m_height = height;
    m_screen = std::make_unique<FrameBuffer>(1, width, height);
    setDefaultFramebuffer(m_screen->m_framebuffer);
    m_renderer->setSurfaceSize(width, height);
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

Pixel SceneTest::project(float x, float y, float z) const {
    const Vector4 clip =
        math::transform(math::multiply(m_camera->projection, m_camera->view), {x, y, z, 1});
    const float px = (clip[0] / clip[3] + 1) / 2 * m_width;
    const float py = (clip[1] / clip[3] + 1) / 2 * m_height;
    return {static_cast<int>(std::floor(px)), m_height - 1 - static_cast<int>(std::floor(py))};
}

Pixel SceneTest::projectVertex(int viewType, uint32_t id) const {
    const LayoutRecord r = m_views[viewType]->getRecord(id);
    return project(r.x, 1 - r.y, r.z);
}

std::vector<float> SceneTest::hierarchyColors(int viewType) const {
    std::vector<float> colors(size_t(8) * m_graph->hierarchyEdgeCount());
    glBindBuffer(GL_ARRAY_BUFFER, m_renderer->hierarchyColorBuffer(viewType));
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, colors.size() * sizeof(float), colors.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return colors;
}
