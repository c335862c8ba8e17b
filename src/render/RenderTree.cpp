#include "RenderTree.h"

#include "DisplayLists.h"
#include "ImageData.h"
#include "View.h"

#include <GL/glu.h>

#include <cstdlib>

GLuint g_cushionTexture = 0;
GLuint g_lightTexture = 0;

void RenderTree::placeVertex(uint32_t id) const {
    const LayoutRecord r = m_view->getRecord(id);
    glPushMatrix();
    glTranslatef(r.x, 1.0f - r.y, r.z);
}

void RenderTree::drawSpheres(uint32_t count, int64_t skipId) const {
    for (uint32_t k = 0; k < count; ++k) {
        if (k == skipId) continue;
        drawSphere(k, count, false);
    }
}

void RenderTree::drawSphere(uint32_t id, uint32_t count, bool markTexCoord) const {
    // The red channel carries the picking code id / count.
    const float code = static_cast<float>(id) / static_cast<float>(count);
    placeVertex(id);
    glColor4f(code, 0, 0, 1);
    if (markTexCoord) glMultiTexCoord3f(GL_TEXTURE7, code, 0, 0);
    glCallList(m_sphereList ? m_sphereList : g_sphereList);
    glPopMatrix();
}

namespace {

GLuint makeTexture(const char* path) {
    auto* image = new ImageData();
    GLuint texture = 0;
    if (loadImage(path, image)) {
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        if (GLEW_EXT_texture_filter_anisotropic) {
            glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 16.0f);
        } else {
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, image->m_width, image->m_height, GL_RGBA,
                          GL_UNSIGNED_BYTE, image->m_pixels);
        glBindTexture(GL_TEXTURE_2D, 0);
        ilDeleteImages(1, &image->m_imageName);
    }
    std::free(image->m_pixels);
    delete image;
    return texture;
}

}  // namespace

void loadTextures() {
    g_cushionTexture = makeTexture("imgs/cushion_tex.png");
    g_lightTexture = makeTexture("imgs/lighttex.png");
}
