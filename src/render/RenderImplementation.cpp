#include "RenderImplementation.h"

#include "CompositionPass.h"
#include "DisplayLists.h"
#include "DrawnPosition.h"
#include "GraphStore.h"
#include "GraphicsMemory.h"
#include "RenderBallonTree.h"
#include "RenderRootedTree.h"
#include "RenderTreeMap.h"
#include "SceneDrawing.h"
#include "ScenePass.h"
#include "SplineStore.h"
#include "View.h"
#include "ViewBounds.h"

#include <algorithm>
#include <iostream>

namespace {

bool colorChanged(const float* before, const float* after) {
    for (int i = 0; i < 4; ++i) {
        if (!(before[i] == after[i])) return true;  // a NaN counts as changed
    }
    return false;
}

void copyColor(float* target, const float* source) {
    for (int i = 0; i < 4; ++i) target[i] = source[i];
}

std::array<float, 4> color4(const float* c) { return {c[0], c[1], c[2], c[3]}; }

// The flags of what is drawn, or casts a shadow, from a mask of four bits (vertices, hierarchy,
// relations, grid); a mask out of range leaves them as they were.
void readMask(int mask, std::array<bool*, 4> flags) {
    if (mask < 0 || mask >= 16) return;
    for (int bit = 0; bit < 4; ++bit) *flags[size_t(bit)] = (mask >> bit) & 1;
}

}  // namespace

RenderImplementation::RenderImplementation() {
    m_frame.curves = &m_curveBuffers;
    m_frame.hierarchyBuffers = &m_hierarchyBuffers;
}

RenderImplementation::~RenderImplementation() {
    deleteHierarchyBuffers(m_hierarchyBuffers);
    glDeleteBuffers(1, &m_frame.draftEdgeIndices);
}

ShaderProgram* RenderImplementation::program(int index) const {
    if (!m_gpu.created() || index < 0 || index > GpuResources::WEIGHTING_FINAL) return nullptr;
    return &m_gpu.program(GpuResources::Program(index));
}

void RenderImplementation::Initialize() {
    std::cout << "Initialize\n";
    glClearColor(0, 0, 0, 1);
    m_gpu.create();
    m_frame.sphereSprites = SoftwareCurveLayer::softwareRenderer();
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

bool RenderImplementation::createDraftEdgeIndices(const DraftSkeleton& skeleton, GLuint& name) {
    if (!skeleton.cuts()) return true;
    std::vector<uint32_t> ends;
    ends.reserve(2 * skeleton.edges.size());
    for (uint32_t edge : skeleton.edges) ends.insert(ends.end(), {2 * edge, 2 * edge + 1});
    if (GraphicsMemory::refuseAllocation()) return false;
    glGenBuffers(1, &name);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, name);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(ends.size() * sizeof(uint32_t)), ends.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    return glGetError() != GL_OUT_OF_MEMORY;
}

void RenderImplementation::deleteHierarchyBuffers(HierarchyBuffers& buffers) {
    for (auto& names : buffers) {
        glDeleteBuffers(GLsizei(names.size()), names.data());
        names = {};
    }
}

bool RenderImplementation::CreateObjects(const GraphStore& graph, View** views) {
    std::cout << "Create Objects\n";
    // Everything of the new graph is made before anything of the shown one is let go: when the
    // driver or memory refuses a part, the shown graph stays as it was, drawn whole.
    std::unique_ptr<CurveControls> controls = std::move(m_pendingControls);
    if (!controls) {
        controls = std::make_unique<CurveControls>(graph, views, SplineStore::kSampleCount);
    }
    std::unique_ptr<SceneGeometry> geometry = std::move(m_pendingGeometry);
    if (!geometry || !geometry->fits(graph, views)) geometry = SceneGeometry::build(graph, views);
    const uint32_t hierarchyEdgeCount = static_cast<uint32_t>(graph.hierarchyEdgeCount());
    HierarchyBuffers hierarchy{};
    GLuint draftEdges = 0;
    CurveBuffers curves;
    bool made = true;
    try {
        for (int t = 0; t < 5 && made; ++t) {
            made =
                createHierarchyBuffers(geometry->edges[t], geometry->edges[0].codes, hierarchy[t]);
        }
        made = made && createDraftEdgeIndices(geometry->skeleton, draftEdges);
        made = made && curves.create(*controls);
    } catch (...) {
        deleteHierarchyBuffers(hierarchy);
        glDeleteBuffers(1, &draftEdges);
        throw;
    }
    if (!made) {
        GraphicsMemory::noteFailure();
        deleteHierarchyBuffers(hierarchy);
        glDeleteBuffers(1, &draftEdges);
        return false;
    }

    m_frame.graph = &graph;
    m_frame.views = views;
    // The GL holds the edges now; the spheres are drawn from memory every frame.
    for (HierarchyEdgeArrays& edges : geometry->edges) edges = HierarchyEdgeArrays();
    m_geometry = std::move(geometry);
    for (int k = 0; k < 5; ++k) {
        if (!m_drawers[k]) continue;
        m_drawers[k]->m_graph = &graph;
        m_drawers[k]->m_view = views[k];
        m_drawers[k]->m_spheres = &m_geometry->spheres[k];
    }
    // A selection from the previous file may name objects that no longer exist.
    m_picker.reset();
    m_shadowPass.forget();
    m_curvePass.forgetGraph();
    m_frame.hierarchyEdgeCount = hierarchyEdgeCount;
    deleteHierarchyBuffers(m_hierarchyBuffers);
    m_hierarchyBuffers = hierarchy;
    // Made and deleted with the hierarchy buffers, of the same graph.
    glDeleteBuffers(1, &m_frame.draftEdgeIndices);
    m_frame.draftEdgeIndices = draftEdges;
    m_frame.draftEdgeCount = uint32_t(m_geometry->skeleton.edges.size());
    m_curveControls = std::move(controls);
    m_frame.controls = m_curveControls.get();
    m_curveBuffers.swap(curves);
    if (m_colorsSynced) {
        setHierarchyEdgeColor(m_hierarchyColor[0], m_hierarchyColor[1], m_hierarchyColor[2],
                              m_hierarchyColor[3]);
    }
    return true;
}

void RenderImplementation::render(const FrameInput& input) {
    m_input = input;
    m_frame.camera = input.camera;
    m_frame.light = input.light;
    m_frame.softwareCurves = m_curvePass.softwareCurves();
    decodeSettings();
    followSurfaceSize();
    m_shadowPass.setUpLight(m_frame);
    glViewport(0, 0, m_frame.surfaceWidth, m_frame.surfaceHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Full frames give each sphere the tessellation its size needs.
    const GLuint sphereList = m_draft ? g_draftSphereList : 0;
    for (int k = 0; k < 5; ++k) {
        if (!m_drawers[k]) continue;
        m_drawers[k]->m_sphereList = sphereList;
        m_drawers[k]->m_draftSpheres =
            m_draft && m_geometry ? m_geometry->draftSpheres(k) : nullptr;
    }
    const Matrix4 shadowMatrix = m_shadowPass.run(m_frame, m_gpu);
    // Drafts draw every line plain: smoothing doubles a line's cost in a software rasteriser.
    const GLboolean smoothLines = glIsEnabled(GL_LINE_SMOOTH);
    if (m_draft) glDisable(GL_LINE_SMOOTH);
    ScenePass::run(m_frame, m_gpu, shadowMatrix);
    m_curvePass.begin(m_frame);
    m_curvePass.run(m_frame, m_gpu, curveDeadline());
    if (smoothLines) glEnable(GL_LINE_SMOOTH);
    CompositionPass::run(m_frame, m_gpu);
}

Deadline RenderImplementation::curveDeadline() const {
    // Only frames of many curves come in parts; a draft is cheap whatever the graph.
    if (m_frameBudget <= 0 || m_draft || m_curveBuffers.curveCount() <= CurveBuffers::kManyCurves) {
        return std::nullopt;
    }
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(m_frameBudget);
}

bool RenderImplementation::continueFrame() {
    if (frameComplete() || !m_frame.camera || !m_frame.light) return true;
    glViewport(0, 0, m_frame.surfaceWidth, m_frame.surfaceHeight);
    m_shadowPass.setUpLight(m_frame);
    m_curvePass.run(m_frame, m_gpu, curveDeadline());
    CompositionPass::run(m_frame, m_gpu);
    return frameComplete();
}

void RenderImplementation::followSurfaceSize() {
    // The shadow map keeps its size: it is seen from the light, not on the surface.
    for (FrameBuffer* buffer : {sceneBuffer(), weightingBuffer(), sumBuffer()}) {
        buffer->resize(m_frame.surfaceWidth, m_frame.surfaceHeight);
    }
}

void RenderImplementation::decodeSettings() {
    const RenderStates& states = m_input.settings;
    Light& light = *m_frame.light;
    light.m_enabled = states.lighting;
    light.m_shadow = states.shadow;
    light.m_type = states.lightType;
    for (int i = 0; i < 3; ++i) light.m_direction[i] = states.lightDirection[i];
    readMask(states.shadowMask, {&light.m_vertexInShadow, &light.m_hierarchyInShadow,
                                 &light.m_relationInShadow, &light.m_gridInShadow});
    light.m_radius = static_cast<float>(states.lightRadius);
    light.m_attenuation = states.lightAttenuation / 10.0f;

    FrameContext& f = m_frame;
    f.rotation[0] = static_cast<float>(states.rotationX);
    f.rotation[1] = static_cast<float>(states.rotationY);
    f.rotation[2] = static_cast<float>(states.rotationZ);
    f.viewType = states.viewType;
    f.drawer = f.viewType >= 0 && f.viewType < 5 ? m_drawers[f.viewType].get() : nullptr;
    f.blendMethod = states.blendMethod;
    f.scale = ViewBounds::sceneScale(states.scale);
    readMask(states.drawMask,
             {&f.drawVertices, &f.drawHierarchyEdges, &f.drawRelationEdges, &f.drawGrid});
    for (RenderTreeMap* drawer : m_treeMapDrawers) drawer->m_drawCushion = states.cushion;
    syncColors();
    // The curves are evaluated for this beta as they are drawn.
    f.beta = states.beta;
    f.draft = m_draft;
    m_picker.refresh(pickingScene());
    f.vertexColor = color4(m_vertexColor);
    f.selectionColor = color4(m_selectionColor);
    f.curveColors = curveColors();
    const Selection& selected = selection();
    f.selectedVertex = selected.m_type == Selection::VERTEX ? selected.m_vertex.get() : nullptr;
}

void RenderImplementation::syncColors() {
    const RenderStates& states = m_input.settings;
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
    if (colorChanged(start, m_relationStartColor) || colorChanged(end, m_relationEndColor)) {
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
    // The curves take their colours from the frame, shown or not, so that switching views or
    // showing the edges again never brings back stale colours; the selection itself stays.
    const float start[4] = {sr, sg, sb, sa};
    const float end[4] = {er, eg, eb, ea};
    copyColor(m_relationStartColor, start);
    copyColor(m_relationEndColor, end);
}

void RenderImplementation::setSelectionColor(float, float, float, float) { UpdateSelection(); }

CurveBuffers::Colors RenderImplementation::curveColors() const {
    CurveBuffers::Colors colors;
    const RenderStates& states = m_input.settings;
    // Start and end per slot: only plain curves have a gradient.
    const float* pairs[CurveBuffers::SLOT_COUNT][2] = {
        {m_relationStartColor, m_relationEndColor},
        {m_selectionColor, m_selectionColor},
        {states.outgoingEdgeColor, states.outgoingEdgeColor},
        {states.incomingEdgeColor, states.incomingEdgeColor}};
    for (int slot = 0; slot < CurveBuffers::SLOT_COUNT; ++slot) {
        colors.start[slot] = color4(pairs[slot][0]);
        colors.end[slot] = color4(pairs[slot][1]);
    }
    return colors;
}

Matrix4 RenderImplementation::sceneTransform() const {
    return SceneDrawing::sceneTransform(m_frame);
}

SelectionHighlight::Colors RenderImplementation::highlightColors() const {
    return {color4(m_hierarchyColor),
            color4(m_relationStartColor),
            color4(m_relationEndColor),
            color4(m_selectionColor),
            color4(m_input.settings.outgoingEdgeColor),
            color4(m_input.settings.incomingEdgeColor)};
}

SelectionPicker::Scene RenderImplementation::pickingScene() {
    SelectionPicker::Scene scene{m_frame.graph,         m_frame.views,   m_frame.viewType,
                                 m_curveControls.get(), &m_curveBuffers, m_frame.hierarchyEdgeCount,
                                 highlightColors()};
    for (int t = 0; t < 5; ++t) scene.hierarchyColorBuffers[t] = m_hierarchyBuffers[t][1];
    return scene;
}

void RenderImplementation::pick(int x, int y) {
    FrameBuffer* scene = sceneBuffer();
    if (!m_frame.graph || !scene) return;
    glFinish();
    std::cout << "Mouse X: " << x << " y: " << y << '\n';
    if (m_frame.camera) {
        std::cout << "MAX X: " << m_frame.camera->width << " y: " << m_frame.camera->height << '\n';
    }
    // The buffer has the size of the frame that filled it, which a resize since may not match.
    const int width = scene->width(), height = scene->height();
    const int px = std::clamp(x, 0, width - 1);
    const int py = height - 1 - std::clamp(y, 0, height - 1);
    m_curvePass.pickSoftwareCurve(m_frame, *scene, px, py);
    m_picker.pick(pickingScene(), *scene, px, py);
}

void RenderImplementation::UpdateSelection() { m_picker.update(pickingScene()); }

bool RenderImplementation::selectVertexById(uint32_t id) {
    return m_picker.selectVertexById(pickingScene(), id);
}

bool RenderImplementation::drawnVertexPosition(uint32_t id, Vector3* position) const {
    const int view = m_frame.viewType;
    if (!m_frame.showsGraph() || view < 0 || view > 4 || !m_frame.views[view]) return false;
    const View& shown = *m_frame.views[view];
    if (!shown.records().contains(id)) return false;
    const float* r = m_frame.rotation;
    *position = drawnPosition(shown.getRecord(id), r[0], r[1], r[2], m_frame.scale);
    return true;
}
