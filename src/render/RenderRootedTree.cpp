#include "RenderRootedTree.h"

#include "GraphStore.h"

void RenderRootedTree::drawVertices() const {
    drawSpheres(static_cast<uint32_t>(g_graph->vertexCount()), -1);
}

void RenderRootedTree::drawVertex(const Vertex& vertex) const {
    // The picking code also goes to texture unit 7, where it stays for later geometry.
    drawSphere(vertex.getId(), static_cast<uint32_t>(g_graph->vertexCount()), true);
}

void RenderRootedTree::drawVerticesExcept(const Vertex& vertex) const {
    drawSpheres(static_cast<uint32_t>(g_graph->vertexCount()), vertex.getId());
}
