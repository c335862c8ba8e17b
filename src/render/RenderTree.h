#pragma once

#include <GL/glew.h>

#include "SphereInstances.h"
#include "SphereLevels.h"

#include <cstdint>
#include <vector>

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
    static constexpr float kSphereRadius = SphereInstances::kRadius;

    const GraphStore* m_graph = nullptr;  // not owned; the graph of m_view
    View* m_view = nullptr;               // not owned; set whenever a new table of views arrives
    // The layout's spheres, made with the view; not owned.
    const SphereInstances* m_spheres = nullptr;
    // The display list drawn for each vertex in draft frames (a coarse sphere); 0 in full
    // frames, where each sphere gets the tessellation its size on the picture needs.
    GLuint m_sphereList = 0;
    // The spheres drawn in draft frames of a very large tree (ascending ids); null: all.
    const std::vector<uint32_t>* m_draftSpheres = nullptr;

protected:
    // How many spheres the layout has.
    uint32_t sphereCount() const { return m_spheres ? m_spheres->count() : 0; }
    // Pushes the model-view matrix and moves to the vertex; depth 0 of a layout is drawn on top.
    void placeVertex(uint32_t id) const;
    // Every sphere coloured with its picking code, skipping skipId (-1: none).
    void drawSpheres(int64_t skipId) const;
    // Sphere id alone; markTexCoord also puts its code in texture unit 7.
    void drawSphere(uint32_t id, bool markTexCoord) const;

private:
    // The spheres above dot size: all of a level in one instanced call, or, where the program in
    // force does not draw instances, one display list each.
    bool drawInstanced(const SphereLevels::Buckets& buckets) const;
    // Where the program in force draws sphere sprites: the spheres up to SLICES16 as one sprite
    // each, taken out of the buckets.
    void drawSprites(const SphereLevels& levels, SphereLevels::Buckets& buckets) const;
    // Uploads the centre and picking code of every sphere of the levels from SLICES6 to
    // lastLevel into the instance buffer, level after level; first[level] is where each level
    // starts (the count from lastLevel + 1 on). Returns the count.
    size_t uploadInstances(const SphereLevels::Buckets& buckets, int lastLevel,
                           size_t* first) const;
    void drawOneByOne(const SphereLevels::Buckets& buckets) const;
    // The sphere's centre; an id without one sits where an all-zero layout record puts it.
    void centreOf(uint32_t id, float* centre) const;
    void drawSphereAt(const float* centre, float code, bool markTexCoord, GLuint list) const;
};

extern GLuint g_cushionTexture;
extern GLuint g_lightTexture;

// Makes the cushion and light textures from imgs/; an image that cannot be loaded is skipped.
void loadTextures();
