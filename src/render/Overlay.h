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

    // Row 0 .. 3 of the selection's text; the highlight counts a vertex's relation edges.
    static std::string line(const Selection& selection, const SelectionHighlight& highlight,
                            int row);
    // How long the last frame took, "16 ms", or "13.2 s" from ten seconds.
    static std::string frameTimeText(int milliseconds);
    // Numbers in the overlay are cut to five characters.
    static std::string field(long long value);
    // The part of text that printText(set, x, ..., size) puts on the picture: glyphs past the
    // right edge (of a picture width pixels wide) are not seen, and a name of megabytes would
    // cost a display list call per byte in every frame.
    static std::string visibleText(const std::string& text, float x, float size, int width = 1024);

private:
    BitmapFont m_font;
};
