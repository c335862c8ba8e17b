#pragma once

#include "RenderTree.h"

class BallonTree;
class Vertex;

// Vertices and, as grid, the circle that encloses each vertex's subtree.
class RenderBallonTree : public RenderTree {
public:
    void drawVertices() const;
    void drawVertex(const Vertex& vertex) const;
    void drawVerticesExcept(const Vertex& vertex) const;
    void drawGrid() const;

private:
    const BallonTree* balloonView() const;
    uint32_t balloonCount() const;
};
