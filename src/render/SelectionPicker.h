#pragma once

#include <GL/glew.h>

#include "CurveBuffers.h"
#include "CurveControls.h"
#include "RelationAdjacency.h"
#include "Selection.h"
#include "SelectionHighlight.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class FrameBuffer;
class GraphStore;
class Vertex;
class View;

// The selection and its highlight: an object is selected by reading back the code the scene
// pass left under the pointer in the picking output, or a vertex by its id; what the selection
// recolours (the picked hierarchy edge in every view, the picked curve or a picked vertex's
// relation curves in the shown view's list) is put back exactly when the selection, the view or
// the colours change.
class SelectionPicker {
public:
    // What the picker works on, as the renderer holds it at the time of the call.
    struct Scene {
        const GraphStore* graph = nullptr;  // the graph of the views; none before the first objects
        View* const* views = nullptr;       // the five views; none before the first objects
        int viewType = 0;
        const CurveControls* controls = nullptr;
        CurveBuffers* buffers = nullptr;
        uint32_t hierarchyEdgeCount = 0;
        SelectionHighlight::Colors colors{};
        // The buffer of each view's hierarchy-edge colours; 0 before the first objects.
        std::array<uint32_t, 5> hierarchyColorBuffers{};
    };

    const Selection& selection() const { return m_selection; }
    const SelectionHighlight& highlight() const { return m_highlight; }

    // Selects what the picking output of sceneBuffer names at pixel (x, y), rows bottom-up.
    void pick(const Scene& scene, const FrameBuffer& sceneBuffer, int x, int y);
    // Draws the selection's highlight, unless it is drawn already as it stands.
    void update(const Scene& scene);
    // Selects vertex id as a pick on it does; false (selection unchanged) for an unknown id.
    bool selectVertexById(const Scene& scene, uint32_t id);
    // Draws the highlight again after a view switch or a colour change.
    void refresh(const Scene& scene);
    // New objects: nothing selected, nothing highlighted, no rows or positions of old edges.
    void reset();

    // Every hierarchy edge of every view in the colour others, edge id in color.
    static void recolorHierarchyEdges(const Scene& scene, uint32_t id, const float* color,
                                      const float* others);

private:
    void select(const Scene& scene, const float* code);
    // Undone where it was drawn, drawn again in the current view.
    void undo(const Scene& scene);
    void apply(const Scene& scene);
    void highlightVertexEdges(const Scene& scene, const Vertex& vertex);
    void highlightCurve(const Scene& scene);
    // Position of each relation edge's curve in a view's list (-1 for none), by edge id.
    const std::vector<int32_t>& curvePositions(const Scene& scene);
    // The selected object as the highlight records it.
    const void* selectedObject() const;

    Selection m_selection;
    SelectionHighlight m_highlight;
    // Made for the graph when first needed; both dropped by reset.
    std::unique_ptr<RelationAdjacency> m_adjacency;
    std::vector<int32_t> m_curvePositions;
    int m_curvePositionsView = -1;
};
