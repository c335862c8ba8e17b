#pragma once

#include "RenderTree.h"

// Vertices and, as grid, one rectangle per vertex; leaves optionally filled with the cushion.
class RenderTreeMap : public RenderTree {
public:
    void drawGrid() const override;

    bool m_drawCushion = false;
};
