#pragma once

#include "LayoutRecord.h"
#include "Matrix.h"

// Where the scene pass draws a layout record: at (x, 1 - y, z), turned by the scene rotation
// (about x, then y, then z, in degrees, as the fixed-function calls apply them) and scaled.
// Lets the camera be pointed at a vertex without a GL context.
Vector3 drawnPosition(const LayoutRecord& record, float rotationX, float rotationY, float rotationZ,
                      float scale);
