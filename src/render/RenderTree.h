#pragma once

#include <GL/glew.h>

#include "LayoutRecord.h"

#include <cstdint>

class GraphStore;
class Vertex;
class View;

// Base of the per-layout drawers: each places the vertices of its layout as small spheres and
// draws the layout's grid. The renderer has already applied the scene rotation and scale.
class RenderTree {
public:
    virtual ~RenderTree() = default;

    // One sphere per vertex of the layout, each coloured with its picking code.
    void drawVertices() const;
    // The selected vertex's sphere alone, and all the others.
    virtual void drawVertex(const Vertex& vertex) const;
    void drawVerticesExcept(const Vertex& vertex) const;
    // The layout's grid; a layout without one draws nothing.
    virtual void drawGrid() const {}

    // A vertex's sphere radius in layout units, before the scene scale.
    static constexpr float kSphereRadius = 0.01f;

    const GraphStore* m_graph = nullptr;  // not owned; the graph of m_view
    View* m_view = nullptr;               // not owned; set whenever a new table of views arrives
    // The display list drawn for each vertex in draft frames (a coarse sphere); 0 in full
    // frames, where each sphere gets the tessellation its size on the picture needs.
    GLuint m_sphereList = 0;

protected:
    // How many spheres the layout has: the graph's vertices unless the layout counts otherwise.
    virtual uint32_t sphereCount() const;
    // Pushes the model-view matrix and moves to the vertex; depth 0 of a layout is drawn on top.
    void placeVertex(uint32_t id) const;
    static void placeAt(const LayoutRecord& record);
    // One sphere per id in 0..count-1, coloured with its picking code, skipping skipId.
    void drawSpheres(uint32_t count, int64_t skipId) const;
    void drawSphere(uint32_t id, uint32_t count, bool markTexCoord) const;

private:
    // Width in pixels of the widest sphere drawn as a point.
    static constexpr float kLargestDot = 3.0f;
    // Radius in pixels of a vertex's sphere drawn at the current matrices and viewport.
    class SphereSize;
    void drawSphere(uint32_t id, const LayoutRecord& record, uint32_t count, bool markTexCoord,
                    const SphereSize& size) const;
};

extern GLuint g_cushionTexture;
extern GLuint g_lightTexture;

// Makes the cushion and light textures from imgs/; an image that cannot be loaded is skipped.
void loadTextures();
