#pragma once

#include <GL/glew.h>

#include "CurveBuffers.h"
#include "SceneBounds.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

class CurveControls;
class GraphStore;
class RenderTree;
class Vertex;
class View;
struct Camera;
struct Light;

// One frame as its passes see it: the settings decoded once from the frame input, the camera
// and light, and the objects of the graph shown. The renderer fills it at the start of a frame;
// the passes only read it.
struct FrameContext {
    // Position, colour and texture-coordinate buffers of a view's hierarchy edges, per view.
    using HierarchyBuffers = std::array<std::array<GLuint, 3>, 5>;

    const GraphStore* graph = nullptr;
    View* const* views = nullptr;        // the five views; none before the first objects
    const RenderTree* drawer = nullptr;  // the shown view's drawer
    const CurveBuffers* curves = nullptr;
    const CurveControls* controls = nullptr;  // what the curve buffers were made from
    const HierarchyBuffers* hierarchyBuffers = nullptr;
    uint32_t hierarchyEdgeCount = 0;
    // The hierarchy edges a draft of a very large tree draws: an element buffer of their ends
    // in the hierarchy buffers; 0 where drafts draw all.
    GLuint draftEdgeIndices = 0;
    uint32_t draftEdgeCount = 0;
    Camera* camera = nullptr;
    Light* light = nullptr;
    int viewType = 1;
    int blendMethod = 0;
    float rotation[3] = {0, 0, 0};
    float scale = 1;
    bool drawVertices = true, drawHierarchyEdges = true, drawRelationEdges = true, drawGrid = false;
    float beta = 0.5f;
    // Drafts: coarse spheres, no new shadow map, plain lines, fewer and shorter curves.
    bool draft = false;
    // The curves of plain-line frames go to the CPU: the GL is a software rasteriser.
    bool softwareCurves = false;
    // Vertex spheres are sprites, not meshes: the GL is a software rasteriser.
    bool sphereSprites = false;
    std::array<float, 4> vertexColor{}, selectionColor{};
    const Vertex* selectedVertex = nullptr;  // drawn in the selection colour
    CurveBuffers::Colors curveColors;
    int surfaceWidth = 1024, surfaceHeight = 768;
    SceneBounds sceneBounds;  // the box the camera frames, in drawn coordinates

    bool showsGraph() const { return graph && views; }
    // The stride of the curves drawn: every one in full frames, a sample of them in drafts.
    int curveStride() const { return draft && curves ? curves->draftStride() : 1; }
};

// When a part of a frame is to stop; none for a frame drawn whole.
using Deadline = std::optional<std::chrono::steady_clock::time_point>;
