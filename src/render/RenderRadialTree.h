#pragma once

#include "RenderTree.h"

class Vertex;

// Vertices only; this layout has no grid.
class RenderRadialTree : public RenderTree {
public:
    void drawVertices() const;
    void drawVertex(const Vertex& vertex) const;
    void drawVerticesExcept(const Vertex& vertex) const;
    void drawGrid() const {}
};
