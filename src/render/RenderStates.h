#pragma once

#include <cstdint>

// Every user setting that affects drawing. The main window's slots write it; the renderer copies
// it at the start of every frame.
struct RenderStates {
    bool mode3D = true;
    bool blending = true;
    bool lighting = true;
    int32_t drawMask = 7;  // 1 vertices, 2 hierarchy edges, 4 relation edges, 8 grid
    int32_t viewType = 1;  // the balloon tree is the first view shown
    int32_t stripTreemap = 0;
    int32_t lightType = 0;  // 0 point, 1 conic, 2 spot
    int32_t lightRadius = 1;
    int32_t lightAttenuation = 0;
    float lightDirection[3] = {0, -1, 0};
    int32_t scale = 50;
    int32_t rotationX = 0, rotationY = 0, rotationZ = 0;
    float vertexColor[4] = {1, 1, 1, 1};
    // Named colours "dimgray", "deepskyblue" and "gold": the tree stays quiet behind the bundles.
    float hierarchyColor[4] = {105 / 255.0f, 105 / 255.0f, 105 / 255.0f, 1};
    float relationStartColor[4] = {0, 191 / 255.0f, 1, 1};
    float relationEndColor[4] = {1, 215 / 255.0f, 0, 1};
    float selectionColor[4] = {1, 0, 1, 1};  // "magenta": the picked object stands out
    // The relation edges of a selected vertex: those starting there (orange, unlike the red
    // hierarchy edges) and those ending there (cyan).
    float outgoingEdgeColor[4] = {1, 165 / 255.0f, 0, 1};
    float incomingEdgeColor[4] = {0, 1, 1, 1};
    float beta = 0.5f;
    bool shadow = true;
    int32_t shadowMask = 0;  // same bits as drawMask
    bool cushion = false;
    bool mirrorRelationEdges = false;
    int32_t blendMethod = 0;
    bool overlay = true;  // the selection text and frame figure over the picture
};

// The one record of the process.
extern RenderStates g_renderStates;
