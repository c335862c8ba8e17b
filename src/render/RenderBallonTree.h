#pragma once

#include "RenderTree.h"

class BallonTree;

// Vertices and, as grid, the circle that encloses each vertex's subtree.
class RenderBallonTree : public RenderTree {
public:
    void drawVertex(const Vertex& vertex) const override;
    void drawGrid() const override;

protected:
    // This drawer counts the balloons of its layout rather than the graph's vertices.
    uint32_t sphereCount() const override;

private:
    const BallonTree* balloonView() const;
};
