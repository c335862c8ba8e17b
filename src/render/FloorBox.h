#pragma once

#include "SceneBounds.h"

struct Camera;

// The slab the floor is drawn as, under the framed scene, in world coordinates.
struct FloorBox {
    float min[3], max[3];

    // A slab a little under the lowest point of bounds, a quarter of the scene's size wider on
    // every side; a fixed slab for empty bounds. Under a flat camera looking straight down it
    // reaches the picture's edges too.
    static FloorBox under(const SceneBounds& bounds, const Camera* camera);
    // The cube display list scaled and moved onto the box.
    void draw() const;
};
