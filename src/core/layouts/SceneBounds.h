#pragma once

#include <algorithm>
#include <array>
#include <limits>

// An axis-aligned box in drawn (scene) coordinates, where a layout record (x, y, z) is drawn at
// (x, 1 - y, z). Empty until a point is added.
struct SceneBounds {
    std::array<float, 3> min{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                             std::numeric_limits<float>::max()};
    std::array<float, 3> max{-std::numeric_limits<float>::max(),
                             -std::numeric_limits<float>::max(),
                             -std::numeric_limits<float>::max()};

    bool empty() const { return min[0] > max[0]; }
    void add(float x, float y, float z) {
        const float p[3] = {x, y, z};
        for (int i = 0; i < 3; ++i) {
            min[i] = std::min(min[i], p[i]);
            max[i] = std::max(max[i], p[i]);
        }
    }
    float centre(int axis) const { return 0.5f * (min[axis] + max[axis]); }
    float extent(int axis) const { return max[axis] - min[axis]; }
};
