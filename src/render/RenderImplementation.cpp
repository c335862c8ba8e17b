#include "RenderImplementation.h"

#include "DefaultFramebuffer.h"
#include "DisplayLists.h"
#include "FrameBuffer.h"
#include "GraphicsMemory.h"
#include "GraphStore.h"
#include "RenderBallonTree.h"
#include "RenderRootedTree.h"
#include "RenderStates.h"
#include "RenderTreeMap.h"
#include "ShaderProgram.h"
#include "SplineStore.h"
#include "View.h"
#include "ViewBounds.h"

#include <cmath>
#include <iostream>

namespace {

constexpr int kLightingOff = 4;
constexpr float kFloorGrey = 0.16f;
// Above this many hierarchy edges a software rasteriser draws them as plain lines: smoothing
// triples the fragments of each, and thousands of edges then cost more than the curves.
constexpr uint32_t kSmoothSoftwareEdges = 4096;

bool colorChanged(const float* before, const float* after) {
    for (int i = 0; i < 4; ++i) {
        if (!(before[i] == after[i])) return true;  // a NaN counts as changed
    }
    return false;
}

void copyColor(float* target, const float* source) {
    for (int i = 0; i < 4; ++i) target[i] = source[i];
}

Matrix4 currentMatrix(GLenum which) {
    Matrix4 m;
    glGetFloatv(which, m.data());
    return m;
}

// prelude: compiled in front of the vertex shader; the curve prelude for programs that draw
// relation curves.
// define: defined in the fragment shader, for a variant of it.
std::unique_ptr<ShaderProgram> buildProgram(const char* vertexFile, const char* fragmentFile,
                                            std::vector<const char*> uniforms,
                                            const char* prelude = nullptr,
                                            const char* define = nullptr) {
    std::vector<ShaderUniform> list;
    for (const char* name : uniforms) list.push_back(ShaderUniform{name, -1});
    auto program = std::make_unique<ShaderProgram>(vertexFile, fragmentFile, list, prelude, define);
    program->buildProgram();
    if (prelude) CurveBuffers::assignSamplerUnits(program->m_handle);
    return program;
}

}  // namespace

RenderImplementation::RenderImplementation() = default;

RenderImplementation::~RenderImplementation() { deleteHierarchyBuffers(m_hierarchyBuffers); }

ShaderProgram* RenderImplementation::program(int index) const {
    const std::unique_ptr<ShaderProgram>* programs[] = {
        &m_shadingProgram,   &m_shadowProgram,    &m_sumProgram,           &m_sumFinalProgram,
        &m_weightingProgram, &m_occlusionProgram, &m_weightingFinalProgram};
    return index >= 0 && index < 7 ? programs[index]->get() : nullptr;
}

void RenderImplementation::Initialize() {
    std::cout << "Initialize\n";
    glClearColor(0, 0, 0, 1);
    const std::vector<const char*> shadingUniforms = {"ShadowMap",  "enable_shadow", "object_type",
                                                      "light_type", "Texture0",      "uColor"};
    m_shadingProgram = buildProgram("shader/shading_dir_vert.glsl", "shader/shading_dir_frag.glsl",
                                    shadingUniforms, CurveBuffers::kVertexPrelude);
    m_floorProgram = buildProgram("shader/shading_dir_vert.glsl", "shader/shading_dir_frag.glsl",
                                  shadingUniforms, CurveBuffers::kVertexPrelude, "FLOOR_SHADOW");
    m_shadowProgram = buildProgram("shader/shadow_vert.glsl", "shader/shadow_frag.glsl", {},
                                   CurveBuffers::kVertexPrelude);
    m_sumProgram = buildProgram("shader/sum_vert.glsl", "shader/sum_frag.glsl", {"light_type"},
                                CurveBuffers::kVertexPrelude);
    m_sumFinalProgram = buildProgram("shader/sum_final_vert.glsl", "shader/sum_final_frag.glsl",
                                     {"ColorTex0", "Background"});
    m_weightingProgram = buildProgram("shader/weighting_vert.glsl", "shader/weighting_frag.glsl",
                                      {"light_type"}, CurveBuffers::kVertexPrelude);
    m_occlusionProgram = buildProgram("shader/relation_occlusion_vert.glsl",
                                      "shader/relation_occlusion_frag.glsl", {"DepthBackground"});
    m_weightingFinalProgram =
        buildProgram("shader/weighting_final_vert.glsl", "shader/weighting_final_frag.glsl",
                     {"ColorTex0", "ColorTex1", "Background"});

    m_sceneBuffer = std::make_unique<FrameBuffer>(2);
    m_weightingBuffer = std::make_unique<FrameBuffer>(2);
    m_sumBuffer = std::make_unique<FrameBuffer>(1);
    m_shadowBuffer = std::make_unique<FrameBuffer>(1);

    buildDisplayLists();
    loadTextures();
    m_lightCamera = std::make_unique<Camera>(-2.0f, 2.0f, -1.5f, 1.5f, -50.0f, 50.0f);

    m_drawers[0] = std::make_unique<RenderRootedTree>();
    m_drawers[1] = std::make_unique<RenderBallonTree>();
    for (int k : {2, 3}) {
        auto treeMap = std::make_unique<RenderTreeMap>();
        m_treeMapDrawers[k - 2] = treeMap.get();
        m_drawers[k] = std::move(treeMap);
    }
    m_drawers[4] = std::make_unique<RenderRadialTree>();

    std::cout << "Initialized\n";
    const float red[4] = {1, 0, 0, 1};
    copyColor(m_vertexColor, red);
}

bool RenderImplementation::createHierarchyBuffers(const HierarchyEdgeArrays& edges,
                                                  const std::vector<float>& codes,
                                                  std::array<GLuint, 3>& names) {
    const std::vector<float>* data[3] = {&edges.positions, &edges.colors, &codes};
    for (int b = 0; b < 3; ++b) {
        // A refused allocation is what a driver out of memory gives.
        if (GraphicsMemory::refuseAllocation()) return false;
        glGenBuffers(1, &names[b]);
        glBindBuffer(GL_ARRAY_BUFFER, names[b]);
        glBufferData(GL_ARRAY_BUFFER, data[b]->size() * sizeof(float), data[b]->data(),
                     GL_DYNAMIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        if (glGetError() == GL_OUT_OF_MEMORY) return false;
    }
    return true;
}

void RenderImplementation::deleteHierarchyBuffers(HierarchyBuffers& buffers) {
    for (auto& names : buffers) {
        glDeleteBuffers(GLsizei(names.size()), names.data());
        names = {};
    }
}

bool RenderImplementation::CreateObjects(View** views) {
    std::cout << "Create Objects\n";
    // Everything of the new graph is made before anything of the shown one is let go: when the
    // driver or memory refuses a part, the shown graph stays as it was, drawn whole.
    std::unique_ptr<CurveControls> controls = std::move(m_pendingControls);
    if (!controls) {
        controls = std::make_unique<CurveControls>(*g_graph, views, SplineStore::kSampleCount);
    }
    std::unique_ptr<SceneGeometry> geometry = std::move(m_pendingGeometry);
    if (!geometry || !geometry->fits(*g_graph, views)) {
        geometry = SceneGeometry::build(*g_graph, views);
    }
    const uint32_t hierarchyEdgeCount = static_cast<uint32_t>(g_graph->hierarchyEdgeCount());
    HierarchyBuffers hierarchy{};
    CurveBuffers curves;
    bool made = true;
    try {
        for (int t = 0; t < 5 && made; ++t) {
            made =
                createHierarchyBuffers(geometry->edges[t], geometry->edges[0].codes, hierarchy[t]);
        }
        made = made && curves.create(*controls);
    } catch (...) {
        deleteHierarchyBuffers(hierarchy);
        throw;
    }
    if (!made) {
        GraphicsMemory::noteFailure();
        deleteHierarchyBuffers(hierarchy);
        return false;
    }

    m_views = views;
    // The GL holds the edges now; the spheres are drawn from memory every frame.
    for (HierarchyEdgeArrays& edges : geometry->edges) edges = HierarchyEdgeArrays();
    m_geometry = std::move(geometry);
    for (int k = 0; k < 5; ++k) {
        if (!m_drawers[k]) continue;
        m_drawers[k]->m_view = views[k];
        m_drawers[k]->m_spheres = &m_geometry->spheres[k];
    }
    // A selection from the previous file may name objects that no longer exist.
    m_picker.reset();
    m_shadowMapMade = false;
    // The CPU's samplers read the controls that are about to go.
    m_softwareCurves.reset();
    m_levelCount = static_cast<int>(g_graph->depthCount());
    m_hierarchyEdgeCount = hierarchyEdgeCount;
    m_relationEdgeCount = static_cast<int>(g_graph->relationEdgeCount());
    deleteHierarchyBuffers(m_hierarchyBuffers);
    m_hierarchyBuffers = hierarchy;
    m_curveControls = std::move(controls);
    m_curveBuffers.swap(curves);
    if (m_colorsSynced) {
        setHierarchyEdgeColor(m_hierarchyColor[0], m_hierarchyColor[1], m_hierarchyColor[2],
                              m_hierarchyColor[3]);
    }
    return true;
}

void RenderImplementation::render(Camera* camera, Light* light) {
    m_camera = camera;
    m_light = light;
    syncRenderStates();
    followSurfaceSize();
    setUpLight();
    Matrix4 m = {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 1};
    glViewport(0, 0, m_surfaceWidth, m_surfaceHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Full frames give each sphere the tessellation its size needs.
    const GLuint sphereList = m_draft ? g_draftSphereList : 0;
    for (auto& drawer : m_drawers) {
        if (drawer) drawer->m_sphereList = sphereList;
    }
    if (m_light->m_shadow && (!m_draft || !m_shadowMapMade)) {
        shadowPass(m);
        m_shadowMatrix = m;
        m_shadowMapMade = true;
        ++m_shadowPasses;
    } else if (m_light->m_shadow) {
        // Seen from the light, a camera move changes nothing; the rest waits for the full frame.
        m = m_shadowMatrix;
    }
    // Drafts draw every line plain: smoothing doubles a line's cost in a software rasteriser.
    const GLboolean smoothLines = glIsEnabled(GL_LINE_SMOOTH);
    if (m_draft) glDisable(GL_LINE_SMOOTH);
    scenePass(m);
    m_curveSteps = curveSteps();
    m_curveStep = 0;
    m_curveNext = 0;
    m_softwareFrame = softwareCurvesFit();
    runCurveSteps(curveDeadline());
    if (smoothLines) glEnable(GL_LINE_SMOOTH);
    present();
}

RenderImplementation::Deadline RenderImplementation::curveDeadline() const {
    // Only frames of many curves come in parts; a draft is cheap whatever the graph.
    if (m_frameBudget <= 0 || m_draft || m_curveBuffers.curveCount() <= CurveBuffers::kManyCurves) {
        return std::nullopt;
    }
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(m_frameBudget);
}

bool RenderImplementation::continueFrame() {
    if (frameComplete() || !m_camera || !m_light) return true;
    glViewport(0, 0, m_surfaceWidth, m_surfaceHeight);
    setUpLight();
    runCurveSteps(curveDeadline());
    present();
    return frameComplete();
}

void RenderImplementation::followSurfaceSize() {
    // The shadow map keeps its size: it is seen from the light, not on the surface.
    for (FrameBuffer* buffer : {m_sceneBuffer.get(), m_weightingBuffer.get(), m_sumBuffer.get()}) {
        buffer->resize(m_surfaceWidth, m_surfaceHeight);
    }
}

void RenderImplementation::refreshLight() {
    const RenderStates& states = g_renderStates;
    m_light->m_enabled = states.lighting;
    m_light->m_shadow = states.shadow;
    m_light->m_type = states.lightType;
    for (int i = 0; i < 3; ++i) m_light->m_direction[i] = states.lightDirection[i];
    const uint32_t mask = static_cast<uint32_t>(states.shadowMask);
    if (mask < 16) {
        m_light->m_vertexInShadow = mask & 1;
        m_light->m_hierarchyInShadow = mask & 2;
        m_light->m_relationInShadow = mask & 4;
        m_light->m_gridInShadow = mask & 8;
    }
    m_light->m_radius = static_cast<float>(states.lightRadius);
    m_light->m_attenuation = states.lightAttenuation / 10.0f;
}

void RenderImplementation::syncRenderStates() {
    const RenderStates& states = g_renderStates;
    m_rotationX = static_cast<float>(states.rotationX);
    m_rotationY = static_cast<float>(states.rotationY);
    m_rotationZ = static_cast<float>(states.rotationZ);
    m_viewType = states.viewType;
    m_blendMethod = states.blendMethod;
    m_blending = states.blending;
    m_scale = ViewBounds::sceneScale(states.scale);
    refreshLight();
    const uint32_t mask = static_cast<uint32_t>(states.drawMask);
    if (mask < 16) {
        m_drawVertices = mask & 1;
        m_drawHierarchyEdges = mask & 2;
        m_drawRelationEdges = mask & 4;
        m_drawGrid = mask & 8;
    }
    for (RenderTreeMap* drawer : m_treeMapDrawers) drawer->m_drawCushion = states.cushion;
    syncColors();
    // The curves are evaluated for this beta as they are drawn.
    m_beta = states.beta;
    m_mirrorRelationEdges = states.mirrorRelationEdges;
    m_picker.refresh(pickingScene());
}

void RenderImplementation::syncColors() {
    const RenderStates& states = g_renderStates;
    float vertex[4], hierarchy[4], start[4], end[4], selection[4];
    copyColor(vertex, m_vertexColor);
    copyColor(hierarchy, m_hierarchyColor);
    copyColor(start, m_relationStartColor);
    copyColor(end, m_relationEndColor);
    copyColor(selection, m_selectionColor);
    copyColor(m_vertexColor, states.vertexColor);
    copyColor(m_hierarchyColor, states.hierarchyColor);
    copyColor(m_relationStartColor, states.relationStartColor);
    copyColor(m_relationEndColor, states.relationEndColor);
    copyColor(m_selectionColor, states.selectionColor);
    const float* s = m_relationStartColor;
    const float* e = m_relationEndColor;
    if (colorChanged(vertex, m_vertexColor)) {
        setVertexColor(m_vertexColor[0], m_vertexColor[1], m_vertexColor[2], m_vertexColor[3]);
    }
    if (colorChanged(hierarchy, m_hierarchyColor)) {
        setHierarchyEdgeColor(m_hierarchyColor[0], m_hierarchyColor[1], m_hierarchyColor[2],
                              m_hierarchyColor[3]);
    }
    if (colorChanged(start, m_relationStartColor)) {
        setRelationEdgeColors(s[0], s[1], s[2], s[3], e[0], e[1], e[2], e[3]);
    }
    if (colorChanged(end, m_relationEndColor)) {
        setRelationEdgeColors(s[0], s[1], s[2], s[3], e[0], e[1], e[2], e[3]);
    }
    if (colorChanged(selection, m_selectionColor)) {
        setSelectionColor(m_selectionColor[0], m_selectionColor[1], m_selectionColor[2],
                          m_selectionColor[3]);
    }
    m_colorsSynced = true;
}

void RenderImplementation::setVertexColor(float r, float g, float b, float a) {
    const float color[4] = {r, g, b, a};
    copyColor(m_vertexColor, color);
}

void RenderImplementation::setHierarchyEdgeColor(float r, float g, float b, float a) {
    const float color[4] = {r, g, b, a};
    SelectionPicker::recolorHierarchyEdges(pickingScene(), UINT32_MAX, color, color);
}

void RenderImplementation::setRelationEdgeColors(float sr, float sg, float sb, float sa, float er,
                                                 float eg, float eb, float ea) {
    // Every view's curves take the colours, shown or not, so that switching views or showing
    // the edges again never brings back stale colours.
    const float start[4] = {sr, sg, sb, sa};
    const float end[4] = {er, eg, eb, ea};
    copyColor(m_relationStartColor, start);
    copyColor(m_relationEndColor, end);
    // The curves take their colours from the frame; a relation highlight is undone with the
    // rest, the selection itself stays.
}

CurveBuffers::Colors RenderImplementation::curveColors() const {
    CurveBuffers::Colors colors;
    // Start and end per slot: only plain curves have a gradient.
    const float* pairs[CurveBuffers::SLOT_COUNT][2] = {
        {m_relationStartColor, m_relationEndColor},
        {m_selectionColor, m_selectionColor},
        {g_renderStates.outgoingEdgeColor, g_renderStates.outgoingEdgeColor},
        {g_renderStates.incomingEdgeColor, g_renderStates.incomingEdgeColor}};
    for (int slot = 0; slot < CurveBuffers::SLOT_COUNT; ++slot) {
        std::copy(pairs[slot][0], pairs[slot][0] + 4, colors.start[slot].begin());
        std::copy(pairs[slot][1], pairs[slot][1] + 4, colors.end[slot].begin());
    }
    return colors;
}

void RenderImplementation::setSelectionColor(float, float, float, float) { UpdateSelection(); }

void RenderImplementation::applySceneTransform() const {
    glRotatef(m_rotationX, 1, 0, 0);
    glRotatef(m_rotationY, 0, 1, 0);
    glRotatef(m_rotationZ, 0, 0, 1);
    glScalef(m_scale, m_scale, m_scale);
}

Matrix4 RenderImplementation::sceneTransform() const {
    Matrix4 m = math::rotate(math::identity(), m_rotationX, {1, 0, 0});
    m = math::rotate(m, m_rotationY, {0, 1, 0});
    m = math::rotate(m, m_rotationZ, {0, 0, 1});
    return math::scale(m, {m_scale, m_scale, m_scale});
}

void RenderImplementation::loadCameraMatrices(const Camera& camera) const {
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(camera.projection.data());
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(camera.view.data());
    glPushMatrix();
}

void RenderImplementation::setLightTypeUniform(const ShaderProgram& program, int index) const {
    glUniform1iARB(program.location(index), m_light->m_enabled ? m_light->m_type : kLightingOff);
}

void RenderImplementation::useShading(const ShaderProgram& program, bool shadow, int objectType,
                                      const std::array<float, 4>& color) const {
    program.use();
    glUniform1iARB(program.location(SHADOW_MAP), 7);
    glUniform1iARB(program.location(ENABLE_SHADOW), shadow ? 1 : 0);
    glUniform1iARB(program.location(OBJECT_TYPE), objectType);
    setLightTypeUniform(program, LIGHT_TYPE);
    glUniform1iARB(program.location(TEXTURE0), 0);
    glUniform4fARB(program.location(U_COLOR), color[0], color[1], color[2], color[3]);
}

void RenderImplementation::beginScene(bool clear) {
    m_sceneBuffer->bind();
    if (clear) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // The picking output starts empty: alpha 0 marks pixels that no object covers.
        const GLfloat nothing[4] = {0, 0, 0, 0};
        glClearBufferfv(GL_COLOR, 1, nothing);
    }
    loadCameraMatrices(*m_camera);
    const Matrix4 viewInverse = math::inverse(currentMatrix(GL_MODELVIEW_MATRIX));
    useShading(*m_shadingProgram, false, OBJECT_EDGE, {1, 1, 1, 1});
    setUnit6ViewInverse(&viewInverse);
    glColor4f(1, 1, 1, 1);
}

void RenderImplementation::endScene() {
    setUnit6ViewInverse(nullptr);
    glUseProgramObjectARB(0);
    glPopMatrix();
    bindDefaultFramebuffer();
}

void RenderImplementation::scenePass(const Matrix4& m) {
    beginScene(true);
    const ShaderProgram& shading = *m_shadingProgram;
    if (m_light->m_shadow) {
        // Only the floor reads the shadow map, through the program's variant that looks. A dark
        // floor, so that the curves and the light's pool on it stand out.
        useShading(*m_floorProgram, true, OBJECT_VERTEX, {kFloorGrey, kFloorGrey, kFloorGrey, 1});
        drawFloor(m);
        shading.use();
    }

    glUniform1iARB(shading.location(OBJECT_TYPE), OBJECT_VERTEX);
    drawVerticesWithSelection();

    glUniform1iARB(shading.location(OBJECT_TYPE), OBJECT_GRID);
    drawGridPass();

    glUniform1iARB(shading.location(OBJECT_TYPE), OBJECT_EDGE);
    glUniform4fARB(shading.location(U_COLOR), 1, 1, 1, 1);
    glColor4f(1, 1, 1, 1);
    drawHierarchyEdges(true);
    endScene();
}

void RenderImplementation::drawLightMarker() {
    const ShaderProgram& shading = *m_shadingProgram;
    glColor4f(1, 1, 1, 1);
    glUniform1iARB(shading.location(OBJECT_TYPE), OBJECT_VERTEX);
    glUniform1iARB(shading.location(LIGHT_TYPE), kLightingOff);
    glUniform1iARB(shading.location(TEXTURE0), 0);
    glUniform4fARB(shading.location(U_COLOR), 1, 1, 0, 1);
    glPushMatrix();
    glTranslatef(m_light->m_position[0], m_light->m_position[1], m_light->m_position[2]);
    glCallList(g_sphereList);
    glPopMatrix();
}

void RenderImplementation::setUnit6ViewInverse(const Matrix4* viewInverse) {
    // The shaders read the inverse camera view from texture unit 6's matrix.
    glActiveTexture(GL_TEXTURE6);
    glMatrixMode(GL_TEXTURE);
    if (viewInverse) {
        glLoadMatrixf(viewInverse->data());
        glEnable(GL_TEXTURE_2D);
    } else {
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
    }
    glMatrixMode(GL_MODELVIEW);
    glActiveTexture(GL_TEXTURE0);
}

template <typename Draw>
void RenderImplementation::transformed(Draw draw) const {
    glPushMatrix();
    applySceneTransform();
    draw();
    glPopMatrix();
}

void RenderImplementation::drawVerticesPass() {
    if (!g_graph || !m_views || !m_drawVertices) return;
    transformed([&] { m_drawers[m_viewType]->drawVertices(); });
}

void RenderImplementation::drawVerticesWithSelection() {
    const ShaderProgram& shading = *m_shadingProgram;
    const float* v = m_vertexColor;
    glUniform4fARB(shading.location(U_COLOR), v[0], v[1], v[2], v[3]);
    if (selection().m_type != Selection::VERTEX || !selection().m_vertex) {
        drawVerticesPass();
        return;
    }
    if (!g_graph || !m_views || !m_drawVertices) return;
    const Vertex& selected = *selection().m_vertex;
    const RenderTree& drawer = *m_drawers[m_viewType];
    transformed([&] { drawer.drawVerticesExcept(selected); });
    const float* s = m_selectionColor;
    glUniform4fARB(shading.location(U_COLOR), s[0], s[1], s[2], s[3]);
    transformed([&] { drawer.drawVertex(selected); });
}

void RenderImplementation::drawGridPass() {
    if (!g_graph || !m_views || !m_drawGrid) return;
    transformed([&] { m_drawers[m_viewType]->drawGrid(); });
}

void RenderImplementation::drawHierarchyEdges(bool withTexCoords) {
    if (!m_views || !m_drawHierarchyEdges) return;
    const std::array<GLuint, 3>& buffers = m_hierarchyBuffers[m_viewType];
    glPushMatrix();
    applySceneTransform();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    if (withTexCoords) glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[1]);
    glColorPointer(4, GL_FLOAT, 0, nullptr);
    if (withTexCoords) {
        glActiveTexture(GL_TEXTURE7);
        glBindBuffer(GL_ARRAY_BUFFER, buffers[2]);
        glTexCoordPointer(4, GL_FLOAT, 0, nullptr);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    // As for the curves: tens of thousands of smoothed lines cost a software rasteriser seconds,
    // and where so many run together the stair steps of single lines do not show.
    const bool rough = m_hierarchyEdgeCount > CurveBuffers::kManyCurves ||
                       (m_hierarchyEdgeCount > kSmoothSoftwareEdges && m_softwareCurves.inUse());
    const GLboolean smoothLines = glIsEnabled(GL_LINE_SMOOTH);
    if (rough) glDisable(GL_LINE_SMOOTH);
    glPushMatrix();
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(2 * m_hierarchyEdgeCount));
    glPopMatrix();
    if (rough && smoothLines) glEnable(GL_LINE_SMOOTH);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    if (withTexCoords) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glPopMatrix();
}

bool RenderImplementation::drawRelationEdges(const Deadline& deadline) {
    if (!m_drawRelationEdges || !m_views) return true;
    CurveBuffers::Frame frame;
    frame.viewType = m_viewType;
    frame.beta = m_beta;
    frame.colors = curveColors();
    // While the user drags: fewer samples, at most some thousands of curves, unsmoothed lines.
    frame.draft = m_draft;
    frame.stride = m_draft ? m_curveBuffers.draftStride() : 1;
    frame.first = m_curveNext;
    frame.deadline = deadline;
    // Smoothing doubles the cost of a line in a software rasteriser; where tens of thousands of
    // curves run together, the bundles hide the stair steps of single lines.
    // (Drafts draw all lines plain already.)
    const bool rough = m_curveBuffers.curveCount() > CurveBuffers::kManyCurves;
    const GLboolean smoothLines = glIsEnabled(GL_LINE_SMOOTH);
    if (rough) glDisable(GL_LINE_SMOOTH);
    transformed([&] { m_curveNext = m_curveBuffers.draw(frame); });
    if (smoothLines) glEnable(GL_LINE_SMOOTH);
    return m_curveNext >= m_curveBuffers.drawnCount(frame.stride);
}

void RenderImplementation::drawScreenQuad(GLuint t0, GLuint t1, GLuint t2) {
    glPushMatrix();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, m_surfaceWidth, m_surfaceHeight);
    glOrtho(-0.5, 0.5, -0.5, 0.5, 1, 20);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_DEPTH_BUFFER_BIT);
    const GLuint textures[8] = {t0, t1, t2, 0, 0, 0, 0, 0};
    for (int unit : {0, 1, 2, 3, 5, 6, 7}) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, textures[unit]);
        glEnable(GL_TEXTURE_2D);
    }
    glTranslatef(0, 0, -1);
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (const auto& c : corners) {
        for (int unit = 0; unit < 8; ++unit) glMultiTexCoord2f(GL_TEXTURE0 + unit, c[0], c[1]);
        glVertex3f(c[0] - 0.5f, c[1] - 0.5f, 0);
    }
    glEnd();
    glPopMatrix();
    for (int unit = 7; unit >= 0; --unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glDisable(GL_TEXTURE_2D);
    }
}
