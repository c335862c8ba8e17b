#pragma once

// Placement of one vertex in one layout: position and colour.
struct LayoutRecord {
    float x = 0, y = 0, z = 0;
    float r = 0, g = 0, b = 0, a = 0;
};
