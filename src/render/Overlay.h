#pragma once

#include <GL/glew.h>

#include "BitmapFont.h"
#include "Selection.h"
#include "SelectionHighlight.h"

#include <string>

// The text drawn over the picture in the bitmap font: what the selection is, in the top-left
// corner, and how long the last frame took, in the top-right corner.
class Overlay {
public:
    // The font; needs a current GL context.
    void build();
    // Onto the bound framebuffer of a drawing surface of width x height device pixels.
    void draw(const Selection& selection, const SelectionHighlight& highlight, int milliseconds,
              int width, int height);

private:
    BitmapFont m_font;
};
