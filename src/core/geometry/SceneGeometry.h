#pragma once

#include "DraftSkeleton.h"
#include "HierarchyEdgeArrays.h"
#include "SphereInstances.h"

#include <array>
#include <memory>

class GraphStore;
class View;

// What the renderer draws of a graph besides its curves, for each of the five layouts in
// view-type order: the hierarchy-edge arrays and the vertex spheres. Made where the curves'
// controls are made, off the window's thread, so that handing a graph to the GL is an upload.
// The edges' picking codes are the same in every layout and kept once, in edges[0].codes.
struct SceneGeometry {
    std::array<HierarchyEdgeArrays, 5> edges;
    std::array<SphereInstances, 5> spheres;
    DraftSkeleton skeleton;  // the same in every layout
    // Whether a layout's sphere ids are vertex ids (the balloon tree's are its balloons).
    std::array<bool, 5> spheresAreVertices{};

    // draftBudget: the most vertices a draft draws (see DraftSkeleton).
    static std::unique_ptr<SceneGeometry> build(const GraphStore& graph, View* const views[5],
                                                size_t draftBudget = DraftSkeleton::kVertexBudget);
    // The spheres a draft of layout t draws: the skeleton's vertices; null for all of them.
    const std::vector<uint32_t>* draftSpheres(int t) const {
        return skeleton.cuts() && spheresAreVertices[t] ? &skeleton.vertices : nullptr;
    }
    // Whether these arrays have the sizes build would give them for graph and views: geometry
    // made for another graph is never drawn.
    bool fits(const GraphStore& graph, View* const views[5]) const;
};
