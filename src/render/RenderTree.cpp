#include "RenderTree.h"

#include "DisplayLists.h"
#include "GraphStore.h"
#include "ImageData.h"
#include "View.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

GLuint g_cushionTexture = 0;
GLuint g_lightTexture = 0;

uint32_t RenderTree::sphereCount() const { return static_cast<uint32_t>(m_graph->vertexCount()); }

void RenderTree::drawVertices() const { drawSpheres(sphereCount(), -1); }

void RenderTree::drawVertex(const Vertex& vertex) const {
    drawSphere(vertex.getId(), sphereCount(), false);
}

void RenderTree::drawVerticesExcept(const Vertex& vertex) const {
    drawSpheres(sphereCount(), vertex.getId());
}

void RenderTree::placeVertex(uint32_t id) const { placeAt(m_view->getRecord(id)); }

void RenderTree::placeAt(const LayoutRecord& r) {
    glPushMatrix();
    glTranslatef(r.x, 1.0f - r.y, r.z);
}

class RenderTree::SphereSize {
public:
    // Reads the matrices and the viewport once for a run of spheres.
    SphereSize() {
        glGetFloatv(GL_MODELVIEW_MATRIX, m_modelView);
        glGetFloatv(GL_PROJECTION_MATRIX, m_projection);
        GLint viewport[4] = {0, 0, 1, 1};
        glGetIntegerv(GL_VIEWPORT, viewport);
        // The sphere's radius in eye units: the model-view scales uniformly.
        const float* c = m_modelView;
        const float scale = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
        m_pixelsPerClip = kSphereRadius * scale * m_projection[5] * float(viewport[3]) / 2.0f;
    }

    // The object-space direction towards the eye: the normal of a dot, which shows the sphere's
    // middle.
    void eyeNormal(float* n) const {
        const float* m = m_modelView;
        const float length = std::sqrt(m[2] * m[2] + m[6] * m[6] + m[10] * m[10]);
        for (int i = 0; i < 3; ++i) n[i] = length > 0 ? m[2 + 4 * i] / length : (i == 2);
    }

    float pixelRadius(float x, float y, float z) const {
        const float* m = m_modelView;
        const float eye[4] = {m[0] * x + m[4] * y + m[8] * z + m[12],
                              m[1] * x + m[5] * y + m[9] * z + m[13],
                              m[2] * x + m[6] * y + m[10] * z + m[14], 1.0f};
        const float* p = m_projection;
        const float w = p[3] * eye[0] + p[7] * eye[1] + p[11] * eye[2] + p[15];
        // Behind the eye or on its plane: clipped anyway, the full sphere is never wrong.
        return w > 1e-6f ? m_pixelsPerClip / w : 1e9f;
    }

private:
    float m_modelView[16];
    float m_projection[16];
    float m_pixelsPerClip = 0;
};

void RenderTree::drawSpheres(uint32_t count, int64_t skipId) const {
    const SphereSize size;
    // A sphere of a pixel or two is a dot on the picture: drawn as a point of its width, in
    // three batches by width, instead of as tens of triangles each.
    struct Dot {
        uint32_t id;
        float x, y, z;
    };
    std::vector<Dot> dots[3];
    for (uint32_t k = 0; k < count; ++k) {
        if (k == skipId) continue;
        const LayoutRecord r = m_view->getRecord(k);
        const float radius = size.pixelRadius(r.x, 1.0f - r.y, r.z);
        if (radius < kLargestDot / 2.0f) {
            dots[std::clamp(int(std::lround(2.0f * radius)), 1, 3) - 1].push_back(
                {k, r.x, 1.0f - r.y, r.z});
        } else {
            drawSphere(k, r, count, false, size);
        }
    }
    float normal[3];
    size.eyeNormal(normal);
    for (int width = 1; width <= 3; ++width) {
        if (dots[width - 1].empty()) continue;
        glPointSize(float(width));
        glBegin(GL_POINTS);
        glNormal3fv(normal);
        for (const Dot& dot : dots[width - 1]) {
            // The red channel carries the picking code id / count.
            glColor4f(static_cast<float>(dot.id) / static_cast<float>(count), 0, 0, 1);
            glVertex3f(dot.x, dot.y, dot.z);
        }
        glEnd();
    }
    glPointSize(1.0f);
}

void RenderTree::drawSphere(uint32_t id, uint32_t count, bool markTexCoord) const {
    drawSphere(id, m_view->getRecord(id), count, markTexCoord, SphereSize());
}

void RenderTree::drawSphere(uint32_t id, const LayoutRecord& r, uint32_t count, bool markTexCoord,
                            const SphereSize& size) const {
    // The red channel carries the picking code id / count.
    const float code = static_cast<float>(id) / static_cast<float>(count);
    placeAt(r);
    glColor4f(code, 0, 0, 1);
    if (markTexCoord) glMultiTexCoord3f(GL_TEXTURE7, code, 0, 0);
    glCallList(m_sphereList ? m_sphereList : sphereListFor(size.pixelRadius(r.x, 1.0f - r.y, r.z)));
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
