#include "RenderRootedTree.h"

#include "Vertex.h"

void RenderRootedTree::drawVertex(const Vertex& vertex) const {
    // The picking code also goes to texture unit 7, where it stays for later geometry.
    drawSphere(vertex.getId(), true);
}
