#pragma once

#include <GL/glew.h>

#include "Camera.h"
#include "CurveBuffers.h"
#include "CurveControls.h"
#include "CurvePass.h"
#include "FloorBox.h"
#include "FrameContext.h"
#include "FrameInput.h"
#include "GpuResources.h"
#include "Light.h"
#include "OverlayText.h"
#include "Renderer.h"
#include "SceneBounds.h"
#include "SceneGeometry.h"
#include "SelectionPicker.h"
#include "ShadowPass.h"
#include "SoftwareCurveLayer.h"

#include <array>
#include <memory>
#include <string>

class FrameBuffer;
class GraphStore;
class RenderTree;
class RenderTreeMap;
class ShaderProgram;
class View;

// Draws everything on the drawing surface, as a sequence of passes over one frame's context:
// the light's shadow map (ShadowPass), the scene of the current view into an off-screen buffer
// with a picture and a picking output (ScenePass), the relation curves blended by the chosen
// method with the light marker (CurvePass), and the picture on the surface (CompositionPass).
// Every GL object it makes is held in GpuResources or with the graph's objects and freed with
// the renderer; picking with the selection's highlight (SelectionPicker) and the overlay's text
// (drawn by the surface) come from classes of their own.
class RenderImplementation : public Renderer {
public:
    RenderImplementation();
    ~RenderImplementation();

    void setCamera(Camera* camera) { m_frame.camera = camera; }
    // The camera of the last frame.
    const Camera* camera() const { return m_frame.camera; }
    // Programs, framebuffers, display lists, textures and drawers.
    void Initialize();
    // Hierarchy-edge buffers and relation curves of all five views of a newly opened graph; the
    // renderer draws and picks that graph from then on (both must outlive its objects). False,
    // with the graph shown before still drawn and nothing of the new one kept, when the driver
    // refused memory for a part; throws std::bad_alloc likewise.
    bool CreateObjects(const GraphStore& graph, View** views);
    // Curve controls made off the GUI thread for the graph and views of the next CreateObjects,
    // which then uses them instead of making its own.
    void adoptCurveControls(std::unique_ptr<CurveControls> controls) {
        m_pendingControls = std::move(controls);
    }
    // Likewise the hierarchy-edge arrays and vertex spheres of the next CreateObjects.
    void adoptSceneGeometry(std::unique_ptr<SceneGeometry> geometry) {
        m_pendingGeometry = std::move(geometry);
    }
    // One frame of the input's settings, camera and light; the picture ends in the default
    // framebuffer. The input is kept for the frame's later parts (continueFrame).
    void render(const FrameInput& input);
    // With a budget, a frame of more curves than a draft holds comes in parts: render draws the
    // scene and as many curves as fit in the budget, each continueFrame the next part, and the
    // picture shows the curves drawn so far. 0 (the start value): every frame whole.
    void setFrameBudget(int milliseconds) { m_frameBudget = milliseconds; }
    // Draws the next part of the last frame; true once the frame is whole.
    bool continueFrame();
    bool frameComplete() const { return m_curvePass.complete(); }
    // Draft frames are drawn while the user drags: coarse spheres, no shadow pass (the floor
    // keeps the last shadow map) and curves of fewer samples, unsmoothed, at most some thousands
    // of them. Every part of a frame that has a cheaper form reads draftFrames.
    void setDraftFrames(bool draft) { m_draft = draft; }
    // Where the curves of frames with plain lines are drawn (see SoftwareCurveLayer); by
    // default the CPU for a software GL renderer, unless RAMIFLEX_CURVES says otherwise.
    void setCurveDrawing(SoftwareCurveLayer::Choice choice) { m_curvePass.setCurveDrawing(choice); }
    // Vertex spheres as sprites (each pixel shaded as the sphere's surface) or as meshes; by
    // default sprites where the GL is a software rasteriser, decided when the renderer starts.
    void setSphereSprites(bool sprites) { m_frame.sphereSprites = sprites; }
    // Whether the last frame's curves were drawn by the CPU.
    bool curvesDrawnByCpu() const { return m_curvePass.drawnByCpu(); }
    bool draftFrames() const { return m_draft; }
    // Shadow passes drawn since the renderer was made.
    uint64_t shadowPasses() const { return m_shadowPass.passes(); }
    // Size of the drawing surface in device pixels: the off-screen buffers (from the start of
    // the next render), viewports, overlay and picking follow it. 1024 x 768 until the surface
    // says otherwise; sizes below 1 count as 1.
    void setSurfaceSize(int width, int height) {
        m_frame.surfaceWidth = width > 0 ? width : 1;
        m_frame.surfaceHeight = height > 0 ? height : 1;
    }
    int surfaceWidth() const { return m_frame.surfaceWidth; }
    int surfaceHeight() const { return m_frame.surfaceHeight; }
    // The box the camera frames, in drawn coordinates (scene rotation and scale applied): the
    // floor and the light's shadow camera are placed under and around it.
    void setSceneBounds(const SceneBounds& bounds) { m_frame.sceneBounds = bounds; }
    const SceneBounds& sceneBounds() const { return m_frame.sceneBounds; }

    // Selects the object under device pixel (x, y) of the surface (origin top left, y down;
    // clamped into the picture) from the last frame's picking output.
    void pick(int x, int y);
    void UpdateSelection();
    // Selects vertex id as a pick on it does; false (selection unchanged) when the graph has no
    // such vertex.
    bool selectVertexById(uint32_t id);
    // Where vertex id is drawn in the current view, scene rotation and scale applied: the point
    // to centre the camera on. False when no graph is shown or the view has no record of it.
    bool drawnVertexPosition(uint32_t id, Vector3* position) const;

    void setVertexColor(float r, float g, float b, float a) override;
    void setHierarchyEdgeColor(float r, float g, float b, float a) override;
    void setRelationEdgeColors(float sr, float sg, float sb, float sa, float er, float eg, float eb,
                               float ea) override;
    void setSelectionColor(float r, float g, float b, float a) override;

    // Read by tests and the overlay.
    const Selection& selection() const { return m_picker.selection(); }
    // The buffer of the hierarchy-edge colours of view type viewType; 0 before the first objects.
    GLuint hierarchyColorBuffer(int viewType) const { return m_hierarchyBuffers[viewType][1]; }
    // The element buffer of the edges drafts draw of a very large tree; 0 where they draw all.
    GLuint draftEdgeBuffer() const { return m_frame.draftEdgeIndices; }
    const CurveControls* curveControls() const { return m_curveControls.get(); }
    int viewType() const { return m_frame.viewType; }
    float sceneScale() const { return m_frame.scale; }
    bool drawVerticesOn() const { return m_frame.drawVertices; }
    bool drawHierarchyEdgesOn() const { return m_frame.drawHierarchyEdges; }
    bool drawRelationEdgesOn() const { return m_frame.drawRelationEdges; }
    bool drawGridOn() const { return m_frame.drawGrid; }
    float beta() const { return m_frame.beta; }
    // The scene rotation and scale of the last frame, as applied under the camera.
    Matrix4 sceneTransform() const;
    FrameBuffer* sceneBuffer() const { return m_gpu.sceneBuffer.get(); }
    FrameBuffer* weightingBuffer() const { return m_gpu.weightingBuffer.get(); }
    FrameBuffer* sumBuffer() const { return m_gpu.sumBuffer.get(); }
    // The floor slab under the framed scene, in world coordinates.
    using Box = FloorBox;
    Box floorBox() const { return FloorBox::under(m_frame.sceneBounds, m_frame.camera); }
    const Camera* lightCamera() const { return &m_shadowPass.lightCamera(); }
    // 0 shading, 1 shadow, 2 sum, 3 sum final, 4 weighting, 5 occlusion, 6 weighting final;
    // none before Initialize.
    ShaderProgram* program(int index) const;
    const CurveBuffers& curveBuffers() const { return m_curveBuffers; }
    // The colours of the curve slots, from the settings in force.
    CurveBuffers::Colors curveColors() const;
    const SelectionHighlight& highlight() const { return m_picker.highlight(); }
    // Row 0 .. 3 of the overlay's text.
    std::string overlayLine(int row) const {
        return OverlayText::line(selection(), highlight().incoming, highlight().outgoing, row);
    }

private:
    // The frame context from the input's settings, each colour change handed on as its setter
    // does.
    void decodeSettings();
    void syncColors();
    void followSurfaceSize();
    // When the curves of this part of a frame stop; none for a frame drawn whole.
    Deadline curveDeadline() const;
    SelectionPicker::Scene pickingScene();
    SelectionHighlight::Colors highlightColors() const;
    using HierarchyBuffers = FrameContext::HierarchyBuffers;
    // Uploads a view's hierarchy-edge arrays (codes: the picking codes every view shares) into
    // three buffers named in names; false when the driver refused memory (names made so far are
    // left for the caller to delete).
    static bool createHierarchyBuffers(const HierarchyEdgeArrays& edges,
                                       const std::vector<float>& codes,
                                       std::array<GLuint, 3>& names);
    static void deleteHierarchyBuffers(HierarchyBuffers& buffers);
    // Uploads the ends of the skeleton's edges as an element buffer named name (0 when the
    // skeleton keeps every edge); false when the driver refused memory.
    static bool createDraftEdgeIndices(const DraftSkeleton& skeleton, GLuint& name);

    FrameInput m_input;
    // Filled from the input and the graph's objects; what every pass reads.
    FrameContext m_frame;
    GpuResources m_gpu;
    ShadowPass m_shadowPass;
    CurvePass m_curvePass;
    SelectionPicker m_picker;
    std::array<std::unique_ptr<RenderTree>, 5> m_drawers;
    RenderTreeMap* m_treeMapDrawers[2] = {};  // m_drawers[2] and [3], for their cushion switch
    float m_vertexColor[4] = {0, 0, 0, 0};
    float m_hierarchyColor[4] = {0, 0, 0, 0};
    float m_relationStartColor[4] = {0, 0, 0, 0};
    float m_relationEndColor[4] = {0, 0, 0, 0};
    float m_selectionColor[4] = {0, 0, 0, 0};
    // Names of the hierarchy-edge buffers made per view type, deleted when the next file's
    // objects are made and with the renderer.
    HierarchyBuffers m_hierarchyBuffers{};
    std::unique_ptr<CurveControls> m_curveControls, m_pendingControls;
    // The spheres of the shown graph's views (its edge arrays are dropped once uploaded).
    std::unique_ptr<SceneGeometry> m_geometry, m_pendingGeometry;
    CurveBuffers m_curveBuffers;
    bool m_colorsSynced = false;  // the first frame has taken the settings' colours
    bool m_draft = false;
    int m_frameBudget = 0;
};
