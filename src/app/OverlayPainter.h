#pragma once

#include "Selection.h"

#include <cstdint>

class QPainter;

// The text over the picture, drawn with the toolkit's fonts so that any UTF-8 name shows as it
// is: what the selection is, in the top-left corner, and how long the last frame took, in the
// top-right corner of a surface width x height pixels.
class OverlayPainter {
public:
    static void paint(QPainter& painter, const Selection& selection, uint32_t incoming,
                      uint32_t outgoing, int milliseconds, int width, int height);
};
