#pragma once

#include <GL/glew.h>

#include "OverlayText.h"
#include "Camera.h"
#include "CurveBuffers.h"
#include "CurveControls.h"
#include "Light.h"
#include "Renderer.h"
#include "SceneBounds.h"
#include "SceneGeometry.h"
#include "SelectionPicker.h"
#include "SoftwareCurveLayer.h"

#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class FrameBuffer;
class RenderTree;
class RenderTreeMap;
class ShaderProgram;
class View;

// Draws everything on the drawing surface: the scene of the current view into an off-screen
// buffer with a picture and a picking output, the relation curves blended by the chosen method,
// the light with its shadow map; picking with the selection's highlight (SelectionPicker) and
// the overlay's text (drawn by the surface) come from classes of their own.
class RenderImplementation : public Renderer {
public:
    RenderImplementation();
    ~RenderImplementation();

    void setCamera(Camera* camera) { m_camera = camera; }
    // The camera of the last frame.
    const Camera* camera() const { return m_camera; }
    // Programs, framebuffers, display lists, textures, font, light camera and drawers.
    void Initialize();
    // Hierarchy-edge buffers and relation curves of all five views of a newly opened graph (the
    // one g_graph points at). False, with the graph shown before still drawn and nothing of the
    // new one kept, when the driver refused memory for a part; throws std::bad_alloc likewise.
    bool CreateObjects(View** views);
    // Curve controls made off the GUI thread for the graph and views of the next CreateObjects,
    // which then uses them instead of making its own.
    void adoptCurveControls(std::unique_ptr<CurveControls> controls) {
        m_pendingControls = std::move(controls);
    }
    // Likewise the hierarchy-edge arrays and vertex spheres of the next CreateObjects.
    void adoptSceneGeometry(std::unique_ptr<SceneGeometry> geometry) {
        m_pendingGeometry = std::move(geometry);
    }
    // One frame; the picture ends in the default framebuffer.
    void render(Camera* camera, Light* light);
    // With a budget, a frame of more curves than a draft holds comes in parts: render draws the
    // scene and as many curves as fit in the budget, each continueFrame the next part, and the
    // picture shows the curves drawn so far. 0 (the start value): every frame whole.
    void setFrameBudget(int milliseconds) { m_frameBudget = milliseconds; }
    // Draws the next part of the last frame; true once the frame is whole.
    bool continueFrame();
    bool frameComplete() const { return m_curveStep >= m_curveSteps.size(); }
    // Draft frames are drawn while the user drags: coarse spheres, no shadow pass (the floor
    // keeps the last shadow map) and curves of fewer samples, unsmoothed, at most some thousands
    // of them. Every part of a frame that has a cheaper form reads draftFrames.
    void setDraftFrames(bool draft) { m_draft = draft; }
    // Where the curves of frames with plain lines are drawn (see SoftwareCurveLayer); by
    // default the CPU for a software GL renderer, unless RAMIFLEX_CURVES says otherwise.
    void setCurveDrawing(SoftwareCurveLayer::Choice choice) { m_softwareCurves.setChoice(choice); }
    // Whether the last frame's curves were drawn by the CPU.
    bool curvesDrawnByCpu() const { return m_softwareFrame; }
    bool draftFrames() const { return m_draft; }
    // Shadow passes drawn since the renderer was made.
    uint64_t shadowPasses() const { return m_shadowPasses; }
    // Size of the drawing surface in device pixels: the off-screen buffers (from the start of
    // the next render), viewports, overlay and picking follow it. 1024 x 768 until the surface
    // says otherwise; sizes below 1 count as 1.
    void setSurfaceSize(int width, int height) {
        m_surfaceWidth = width > 0 ? width : 1;
        m_surfaceHeight = height > 0 ? height : 1;
    }
    int surfaceWidth() const { return m_surfaceWidth; }
    int surfaceHeight() const { return m_surfaceHeight; }
    // The box the camera frames, in drawn coordinates (scene rotation and scale applied): the
    // floor and the light's shadow camera are placed under and around it.
    void setSceneBounds(const SceneBounds& bounds) { m_sceneBounds = bounds; }
    const SceneBounds& sceneBounds() const { return m_sceneBounds; }

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
    const CurveControls* curveControls() const { return m_curveControls.get(); }
    int viewType() const { return m_viewType; }
    float sceneScale() const { return m_scale; }
    bool drawVerticesOn() const { return m_drawVertices; }
    bool drawHierarchyEdgesOn() const { return m_drawHierarchyEdges; }
    bool drawRelationEdgesOn() const { return m_drawRelationEdges; }
    bool drawGridOn() const { return m_drawGrid; }
    float beta() const { return m_beta; }
    // The scene rotation and scale of the last frame, as applied under the camera.
    Matrix4 sceneTransform() const;
    FrameBuffer* sceneBuffer() const { return m_sceneBuffer.get(); }
    FrameBuffer* weightingBuffer() const { return m_weightingBuffer.get(); }
    FrameBuffer* sumBuffer() const { return m_sumBuffer.get(); }
    // The floor slab under the framed scene, in world coordinates.
    struct Box {
        float min[3], max[3];
    };
    Box floorBox() const;
    const Camera* lightCamera() const { return m_lightCamera.get(); }
    ShaderProgram* program(int index) const;
    const CurveBuffers& curveBuffers() const { return m_curveBuffers; }
    // The colours of the curve slots, from the render states in force.
    CurveBuffers::Colors curveColors() const;
    const SelectionHighlight& highlight() const { return m_picker.highlight(); }
    // Row 0 .. 3 of the overlay's text.
    std::string overlayLine(int row) const {
        return OverlayText::line(selection(), highlight().incoming, highlight().outgoing, row);
    }

private:
    void syncRenderStates();
    // The colours of the render states, each change handed on as its setter does.
    void syncColors();
    void followSurfaceSize();
    void placeLightCamera();
    void drawBox(const Box& box) const;
    void refreshLight();
    void setUpLight();
    void shadowPass(Matrix4& m);
    void drawFloor(const Matrix4& m);
    // Binds the scene buffer (cleared when asked) and the shading program under the camera.
    void beginScene(bool clear);
    void endScene();
    // Floor, vertices, grid and hierarchy edges.
    void scenePass(const Matrix4& m);
    void drawLightMarker();
    // The shading program's uniforms, in the order of its uniform list, and the values of its
    // "object_type".
    enum ShadingUniform { SHADOW_MAP, ENABLE_SHADOW, OBJECT_TYPE, LIGHT_TYPE, TEXTURE0, U_COLOR };
    enum ObjectType {
        OBJECT_VERTEX = 0,
        OBJECT_EDGE = 1,
        OBJECT_GRID = 3,
        OBJECT_CURVE_MAX = 4,   // the trace of a curve in the maximum pass
        OBJECT_CURVE_TINT = 5,  // the pale tint of method 2's alpha pass
    };
    // What a frame draws after the scene pass, in order: curve passes (resumable from
    // m_curveNext) and the light marker.
    enum CurveStep { TRACE, BLEND, BLEND_MAX, TINT, MARKER, ACCUMULATE };
    std::vector<CurveStep> curveSteps() const;
    using Deadline = std::optional<std::chrono::steady_clock::time_point>;
    Deadline curveDeadline() const;
    void runCurveSteps(const Deadline& deadline);
    // Both true when the step is done, false when the deadline stopped it.
    bool sceneStep(CurveStep step, const Deadline& deadline);
    bool accumulationStep(const Deadline& deadline);
    // The frame's curves on the CPU: plain lines (a draft, or many curves) blended by a method
    // without sums, when the renderer is a software one.
    bool softwareCurvesFit();
    // Trace and blend at once (the second curve step has nothing left to do).
    bool softwareCurveStep(CurveStep step, const Deadline& deadline);
    CurveLook softwareCurveLook() const;
    // Writes the CPU curves' picking code of pixel (x, y) (rows bottom-up) into the picking
    // output, where a curve lies there.
    void pickSoftwareCurve(int x, int y);
    // The scene, or the composition of the accumulated curves over it, on the default framebuffer.
    void present();
    void compositionPass();
    void applySceneTransform() const;
    // Pushes the model-view matrix, applies the scene rotation and scale, draws, pops.
    template <typename Draw>
    void transformed(Draw draw) const;
    // Loads the inverse camera view into texture unit 6's matrix, or resets it (nullptr).
    void setUnit6ViewInverse(const Matrix4* viewInverse);
    void loadCameraMatrices(const Camera& camera) const;
    void drawVerticesPass();
    void drawVerticesWithSelection();
    void drawGridPass();
    void drawHierarchyEdges(bool withTexCoords);
    // The curves from m_curveNext on, until the deadline; true when all are drawn.
    bool drawRelationEdges(const Deadline& deadline);
    void drawScreenQuad(GLuint t0, GLuint t1, GLuint t2);
    SelectionPicker::Scene pickingScene();
    SelectionHighlight::Colors highlightColors() const;
    // Position, colour and texture-coordinate buffers of a view's hierarchy edges, per view.
    using HierarchyBuffers = std::array<std::array<GLuint, 3>, 5>;
    // Uploads a view's hierarchy-edge arrays (codes: the picking codes every view shares) into
    // three buffers named in names; false when the driver refused memory (names made so far are
    // left for the caller to delete).
    static bool createHierarchyBuffers(const HierarchyEdgeArrays& edges,
                                       const std::vector<float>& codes,
                                       std::array<GLuint, 3>& names);
    static void deleteHierarchyBuffers(HierarchyBuffers& buffers);
    void setLightTypeUniform(const ShaderProgram& program, int index) const;
    // Makes a program with the shading program's uniforms current and sets them: shadow map on
    // unit 7, texture 0, the light type in force.
    void useShading(const ShaderProgram& program, bool shadow, int objectType,
                    const std::array<float, 4>& color) const;

    Light* m_light = nullptr;
    SelectionPicker m_picker;
    int m_viewType = 1;
    int m_blendMethod = 0;
    float m_rotationX = 0, m_rotationY = 0, m_rotationZ = 0;
    float m_scale = 1;
    std::array<std::unique_ptr<RenderTree>, 5> m_drawers;
    RenderTreeMap* m_treeMapDrawers[2] = {};  // m_drawers[2] and [3], for their cushion switch
    View** m_views = nullptr;
    float m_vertexColor[4] = {0, 0, 0, 0};
    float m_hierarchyColor[4] = {0, 0, 0, 0};
    float m_relationStartColor[4] = {0, 0, 0, 0};
    float m_relationEndColor[4] = {0, 0, 0, 0};
    float m_selectionColor[4] = {0, 0, 0, 0};
    bool m_blending = true;
    bool m_drawRelationEdges = true, m_drawHierarchyEdges = true, m_drawVertices = true,
         m_drawGrid = false;
    bool m_mirrorRelationEdges = false;
    uint32_t m_hierarchyEdgeCount = 0;
    // Names of the hierarchy-edge buffers made per view type. The views hold them, but the
    // views of a replaced file are deleted by their owner without a GL context, so the names
    // are kept here to be deleted when the next file's objects are made.
    HierarchyBuffers m_hierarchyBuffers{};
    std::unique_ptr<CurveControls> m_curveControls, m_pendingControls;
    // The spheres of the shown graph's views (its edge arrays are dropped once uploaded).
    std::unique_ptr<SceneGeometry> m_geometry, m_pendingGeometry;
    CurveBuffers m_curveBuffers;
    int m_levelCount = 0;
    float m_beta = 0.5f;
    int m_relationEdgeCount = 0;
    Camera* m_camera = nullptr;
    std::unique_ptr<Camera> m_lightCamera;
    // m_floorProgram: the shading program's variant that reads the shadow map.
    std::unique_ptr<ShaderProgram> m_shadowProgram, m_shadingProgram, m_floorProgram,
        m_weightingProgram, m_weightingFinalProgram, m_occlusionProgram, m_sumProgram,
        m_sumFinalProgram;
    std::unique_ptr<FrameBuffer> m_sceneBuffer, m_weightingBuffer, m_sumBuffer, m_shadowBuffer;
    int m_surfaceWidth = 1024;
    int m_surfaceHeight = 768;
    SceneBounds m_sceneBounds;
    bool m_colorsSynced = false;  // the first frame has taken the render states' colours
    bool m_draft = false;
    int m_frameBudget = 0;
    std::vector<CurveStep> m_curveSteps;
    size_t m_curveStep = 0;
    size_t m_curveNext = 0;
    // The shadow map's texture matrix as the last shadow pass made it, reused by draft frames;
    // none until a shadow pass has drawn for the current graph.
    Matrix4 m_shadowMatrix{};
    bool m_shadowMapMade = false;
    uint64_t m_shadowPasses = 0;
    SoftwareCurveLayer m_softwareCurves;
    bool m_softwareFrame = false;
};
