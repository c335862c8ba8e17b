#include "ControlPolygon.h"

#include "ViewType.h"

float controlpolygon::controlY(float y, int32_t k, int32_t n, int32_t viewType) {
    if (k == 0 || k == n - 1) return y;
    switch (viewType) {
        case VIEW_ROOTED_TREE:
            // Mirror the hierarchy below the leaves so that bundles run under the tree.
            return 1.325f - y;
        case VIEW_BALLON_TREE:
            return -y;
        case VIEW_SLICE_AND_DICE:
        case VIEW_STRIP_TREEMAP:
            return 0.5f;
        case VIEW_RADIAL_TREE:
            return 0.0f;
        default:
            return y;
    }
}
