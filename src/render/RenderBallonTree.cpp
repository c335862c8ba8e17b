#include "RenderBallonTree.h"

#include "BallonTree.h"
#include "DisplayLists.h"

const BallonTree* RenderBallonTree::balloonView() const {
    return dynamic_cast<const BallonTree*>(m_view);
}

void RenderBallonTree::drawVertex(const Vertex& vertex) const {
    if (balloonView()) RenderTree::drawVertex(vertex);
}

void RenderBallonTree::drawGrid() const {
    const BallonTree* view = balloonView();
    if (!view) return;
    const uint32_t count = sphereCount();
    // White like the treemap's rectangles; otherwise the circles would take the colour of the
    // sphere drawn last, whose red is a picking code: they would change with the selection and
    // turn black when vertex 0 is selected.
    glColor4f(1, 1, 1, 1);
    for (uint32_t k = 0; k < count; ++k) {
        auto it = view->balloons().find(k);
        if (it == view->balloons().end()) continue;
        const float r = static_cast<float>(it->second->m_radius);
        placeVertex(k);
        glScalef(r, r, r);
        glCallList(g_circleList);
        glPopMatrix();
    }
}
