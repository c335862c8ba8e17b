// The overlay: the selection's text in the top-left corner, the last frame's time in the
// top-right corner.
#include "Overlay.h"

#include "OverlayText.h"

void Overlay::build() { m_font.buildFont(); }

void Overlay::draw(const Selection& selection, const SelectionHighlight& highlight,
                   int milliseconds, int width, int height) {
    glColor4f(1, 1, 1, 1);
    const std::string frameTime = OverlayText::frameTimeText(milliseconds);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, m_font.m_fontTexture);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Placed from the top edge, and the frame time right-aligned at the right edge, of the actual
    // surface; on the default 1024 x 768 the lines sit at y = 730, 710, 690, 670 and the frame
    // time's baseline at y = 713.
    m_font.setOverlaySize(width, height);
    glViewport(0, 0, width, height);
    for (int row = 0; row < 4; ++row) {
        const float y = static_cast<float>(height - 38 - 20 * row);
        const std::string text = OverlayText::visibleText(
            OverlayText::line(selection, highlight.incoming, highlight.outgoing, row), 5, 0.75f,
            width);
        if (!text.empty()) m_font.printText(1, 5, y, text.c_str(), 0.75f);
    }
    glColor4f(1, 1, 1, 1);
    // Glyphs of size 1.8 advance 13.32 units; the text ends 8 units short of the edge.
    const float frameTimeX = static_cast<float>(width - 8 - 13.32 * frameTime.size());
    m_font.printText(0, frameTimeX, static_cast<float>(height - 55), frameTime.c_str(), 1.8f);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}
