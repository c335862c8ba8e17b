#pragma once

#include <GL/glew.h>

// The overlay's bitmap font: imgs/Font.png as a 16 x 16 grid of glyph cells, one display list
// per cell. Character c of set s is cell c - 32 + 128 * s.
class BitmapFont {
public:
    void buildFont();
    // Writes text at (x, y) of the overlay, whose units are the pixels of the drawing surface
    // with the origin at the bottom left; set 0 or 1, larger sets count as 1.
    void printText(int set, float x, float y, const char* text, float size) const;
    // The overlay's extent: the surface size in device pixels, 1024 x 768 unless told otherwise.
    void setOverlaySize(int width, int height) {
        m_overlayWidth = width;
        m_overlayHeight = height;
    }

    GLuint m_fontTexture = 0;
    GLuint m_fontListBase = 0;

private:
    int m_overlayWidth = 1024;
    int m_overlayHeight = 768;
};
