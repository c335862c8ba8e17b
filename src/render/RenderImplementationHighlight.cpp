// The renderer's side of picking and the selection's highlight: what it hands the picker, and
// where a vertex is drawn.
#include "RenderImplementation.h"

#include "DrawnPosition.h"
#include "FrameBuffer.h"
#include "GraphStore.h"
#include "RenderStates.h"
#include "View.h"

#include <algorithm>
#include <iostream>

namespace {

std::array<float, 4> color4(const float* c) { return {c[0], c[1], c[2], c[3]}; }

}  // namespace

SelectionHighlight::Colors RenderImplementation::highlightColors() const {
    return {color4(m_hierarchyColor),
            color4(m_relationStartColor),
            color4(m_relationEndColor),
            color4(m_selectionColor),
            color4(g_renderStates.outgoingEdgeColor),
            color4(g_renderStates.incomingEdgeColor)};
}

SelectionPicker::Scene RenderImplementation::pickingScene() {
    SelectionPicker::Scene scene{m_views,         m_viewType,           m_curveControls.get(),
                                 &m_curveBuffers, m_hierarchyEdgeCount, highlightColors()};
    for (int t = 0; t < 5; ++t) scene.hierarchyColorBuffers[t] = m_hierarchyBuffers[t][1];
    return scene;
}

void RenderImplementation::pick(int x, int y) {
    if (!g_graph || !m_sceneBuffer) return;
    glFinish();
    std::cout << "Mouse X: " << x << " y: " << y << '\n';
    if (m_camera) std::cout << "MAX X: " << m_camera->width << " y: " << m_camera->height << '\n';
    // The buffer has the size of the frame that filled it, which a resize since may not match.
    const int width = m_sceneBuffer->width(), height = m_sceneBuffer->height();
    const int px = std::clamp(x, 0, width - 1);
    const int py = height - 1 - std::clamp(y, 0, height - 1);
    if (m_softwareFrame) pickSoftwareCurve(px, py);
    m_picker.pick(pickingScene(), *m_sceneBuffer, px, py);
}

void RenderImplementation::UpdateSelection() { m_picker.update(pickingScene()); }

bool RenderImplementation::selectVertexById(uint32_t id) {
    return m_picker.selectVertexById(pickingScene(), id);
}

bool RenderImplementation::drawnVertexPosition(uint32_t id, Vector3* position) const {
    if (!g_graph || !m_views || m_viewType < 0 || m_viewType > 4 || !m_views[m_viewType]) {
        return false;
    }
    const View& view = *m_views[m_viewType];
    if (!view.records().contains(id)) return false;
    *position = drawnPosition(view.getRecord(id), m_rotationX, m_rotationY, m_rotationZ, m_scale);
    return true;
}
