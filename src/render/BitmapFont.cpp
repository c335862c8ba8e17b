#include "BitmapFont.h"

#include "ImageData.h"

#include <cstdlib>
#include <cstring>

void BitmapFont::buildFont() {
    auto* image = new ImageData();
    // Without the image the glyphs are drawn as plain quads rather than not at all.
    if (loadImage("imgs/Font.png", image)) {
        glGenTextures(1, &m_fontTexture);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, m_fontTexture);
        glEnable(GL_TEXTURE_2D);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image->m_width, image->m_height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, image->m_pixels);
        glFinish();
        glFlush();
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);
        ilDeleteImages(1, &image->m_imageName);
    }
    std::free(image->m_pixels);
    delete image;

    m_fontListBase = glGenLists(256);
    const float cell = 1.0f / 16.0f;
    for (int g = 0; g < 256; ++g) {
        const float cx = static_cast<float>(g % 16) / 16.0f;
        const float cy = static_cast<float>(g / 16) / 16.0f;
        glNewList(m_fontListBase + g, GL_COMPILE);
        glBegin(GL_QUADS);
        glMultiTexCoord2f(GL_TEXTURE0, cx, 1 - cy - cell);
        glVertex2i(0, 0);
        glMultiTexCoord2f(GL_TEXTURE0, cx + cell, 1 - cy - cell);
        glVertex2i(16, 0);
        glMultiTexCoord2f(GL_TEXTURE0, cx + cell, 1 - cy);
        glVertex2i(16, 16);
        glMultiTexCoord2f(GL_TEXTURE0, cx, 1 - cy);
        glVertex2i(0, 16);
        glEnd();
        glTranslated(7.4, 0, 0);
        glEndList();
    }
}

void BitmapFont::printText(int set, float x, float y, const char* text, float size) const {
    if (set > 1) set = 1;
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, m_overlayWidth, 0, m_overlayHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(x, y, 0);
    glListBase(m_fontListBase + 128 * set - 32);
    glScalef(size, size + 0.5f, size + 0.5f);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_BYTE, text);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
}
