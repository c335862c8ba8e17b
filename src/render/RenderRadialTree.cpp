#include "RenderRadialTree.h"

#include "GraphStore.h"

void RenderRadialTree::drawVertices() const {
    drawSpheres(static_cast<uint32_t>(g_graph->vertexCount()), -1);
}

void RenderRadialTree::drawVertex(const Vertex& vertex) const {
    // The picking code also goes to texture unit 7, where it stays for later geometry.
    drawSphere(vertex.getId(), static_cast<uint32_t>(g_graph->vertexCount()), true);
}

void RenderRadialTree::drawVerticesExcept(const Vertex& vertex) const {
    drawSpheres(static_cast<uint32_t>(g_graph->vertexCount()), vertex.getId());
}
