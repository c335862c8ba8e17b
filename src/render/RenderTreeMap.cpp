#include "RenderTreeMap.h"

#include "DisplayLists.h"
#include "GraphStore.h"
#include "TreeMap.h"

void RenderTreeMap::drawGrid() const {
    auto* treeMap = dynamic_cast<TreeMap*>(m_view);
    if (!treeMap) return;
    const uint32_t count = sphereCount();
    for (uint32_t k = 0; k < count; ++k) {
        auto it = treeMap->mapVertices().find(k);
        if (it == treeMap->mapVertices().end()) continue;
        const MapVertex& cell = *it->second;
        const LayoutRecord r = treeMap->getRecord(k);
        glPushMatrix();
        // Slightly nearer the orthographic camera than the vertices' plane.
        glTranslated(0, -0.001, 0);
        glTranslated(r.x, 1.0 - r.y, r.z);
        glTranslated(-cell.getWidth() / 2, 0, -cell.getHeight() / 2);
        glScaled(cell.getWidth(), 0, cell.getHeight());
        glColor4f(1, 1, 1, 1);
        const VertexPtr vertex = m_graph->getVertex(k);
        if (m_drawCushion && vertex && vertex->getChildCount() == 0) {
            glActiveTexture(GL_TEXTURE0);
            glBindTexture(GL_TEXTURE_2D, g_cushionTexture);
            glEnable(GL_TEXTURE_2D);
            glCallList(g_squareList);
            glActiveTexture(GL_TEXTURE0);
            glDisable(GL_TEXTURE_2D);
        } else {
            glCallList(g_squareOutlineList);
        }
        glPopMatrix();
    }
}
