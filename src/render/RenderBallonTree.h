#pragma once

#include "RenderTree.h"

class BallonTree;

// Vertices and, as grid, the circle that encloses each vertex's subtree.
class RenderBallonTree : public RenderTree {
public:
    void drawVertex(const Vertex& vertex) const override;
    void drawGrid() const override;

private:
    const BallonTree* balloonView() const;
};
