#pragma once

#include "RenderTree.h"

// Vertices only; this layout has no grid. The selected vertex also leaves its picking code in
// texture unit 7.
class RenderRootedTree : public RenderTree {
public:
    void drawVertex(const Vertex& vertex) const override;
};

// The radial layout is drawn as the rooted one: the two differ only in the layout they are bound
// to.
using RenderRadialTree = RenderRootedTree;
