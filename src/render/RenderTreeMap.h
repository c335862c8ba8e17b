#pragma once

#include "RenderTree.h"

class TreeMap;
class Vertex;

// Vertices and, as grid, one rectangle per vertex; leaves optionally filled with the cushion.
class RenderTreeMap : public RenderTree {
public:
    void drawVertices() const;
    void drawVertex(const Vertex& vertex) const;
    void drawVerticesExcept(const Vertex& vertex) const;
    void drawGrid() const;

    bool m_drawCushion = false;
};
