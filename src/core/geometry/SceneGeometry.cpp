#include "SceneGeometry.h"

#include "BallonTree.h"
#include "GraphStore.h"

std::unique_ptr<SceneGeometry> SceneGeometry::build(const GraphStore& graph, View* const views[5],
                                                    size_t draftBudget) {
    auto geometry = std::make_unique<SceneGeometry>();
    for (int t = 0; t < 5; ++t) {
        geometry->edges[t] = HierarchyEdgeArrays::build(graph, *views[t], t == 0);
        geometry->spheres[t] =
            SphereInstances::build(*views[t], SphereInstances::sphereCount(graph, *views[t]));
        geometry->spheresAreVertices[t] = dynamic_cast<const BallonTree*>(views[t]) == nullptr;
    }
    geometry->skeleton = DraftSkeleton::build(graph, draftBudget);
    return geometry;
}

bool SceneGeometry::fits(const GraphStore& graph, View* const views[5]) const {
    const size_t edgeValues = 2 * 4 * graph.hierarchyEdgeCount();
    if (edges[0].codes.size() != edgeValues) return false;
    for (int t = 0; t < 5; ++t) {
        if (edges[t].colors.size() != edgeValues) return false;
        if (spheres[t].count() != SphereInstances::sphereCount(graph, *views[t])) return false;
    }
    return true;
}
