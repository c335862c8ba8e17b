#include "RenderTree.h"

#include "DisplayLists.h"
#include "GraphStore.h"
#include "ImageData.h"
#include "SphereLevels.h"
#include "View.h"

#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

GLuint g_cushionTexture = 0;
GLuint g_lightTexture = 0;

void RenderTree::drawVertices() const { drawSpheres(-1); }

void RenderTree::drawVertex(const Vertex& vertex) const { drawSphere(vertex.getId(), false); }

void RenderTree::drawVerticesExcept(const Vertex& vertex) const { drawSpheres(vertex.getId()); }

void RenderTree::placeVertex(uint32_t id) const {
    float centre[3];
    centreOf(id, centre);
    glPushMatrix();
    glTranslatef(centre[0], centre[1], centre[2]);
}

void RenderTree::centreOf(uint32_t id, float* centre) const {
    const bool placed = m_spheres && id < m_spheres->count();
    for (int i = 0; i < 3; ++i) {
        centre[i] = placed ? m_spheres->centres[3 * size_t(id) + i] : float(i == 1);
    }
}

namespace {

// The tessellation levels of the spheres at the matrices and viewport in force.
SphereLevels currentLevels() {
    float modelView[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    GLint viewport[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, viewport);
    return SphereLevels(modelView, projection, viewport[3]);
}

}  // namespace

void RenderTree::drawSpheres(int64_t skipId) const {
    if (!m_spheres) return;
    const SphereLevels levels = currentLevels();
    SphereLevels::Buckets buckets = levels.sort(*m_spheres, skipId, m_draftSpheres);
    drawSprites(levels, buckets);
    if (!drawInstanced(buckets)) drawOneByOne(buckets);
    // A sphere of a pixel or two is a dot on the picture: drawn as a point of its width, in
    // three batches by width, instead of as tens of triangles each.
    const std::array<float, 3> normal = levels.eyeNormal();
    for (int width = 1; width <= 3; ++width) {
        const std::vector<uint32_t>& dots = buckets[SphereLevels::DOT1 + width - 1];
        if (dots.empty()) continue;
        glPointSize(float(width));
        glBegin(GL_POINTS);
        glNormal3fv(normal.data());
        for (uint32_t id : dots) {
            // The red channel carries the picking code id / count.
            glColor4f(m_spheres->codes[id], 0, 0, 1);
            glVertex3fv(&m_spheres->centres[3 * size_t(id)]);
        }
        glEnd();
    }
    glPointSize(1.0f);
}

void RenderTree::drawOneByOne(const SphereLevels::Buckets& buckets) const {
    // In id order, each with the tessellation its size needs.
    std::vector<std::pair<uint32_t, GLuint>> spheres;
    for (int level = SphereLevels::SLICES6; level < SphereLevels::LEVEL_COUNT; ++level) {
        for (uint32_t id : buckets[level]) spheres.emplace_back(id, sphereList(level));
    }
    std::sort(spheres.begin(), spheres.end());
    for (const auto& [id, list] : spheres) {
        drawSphereAt(&m_spheres->centres[3 * size_t(id)], m_spheres->codes[id], false,
                     m_sphereList ? m_sphereList : list);
    }
}

void RenderTree::drawSprites(const SphereLevels& levels, SphereLevels::Buckets& buckets) const {
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    if (program == 0 || !g_sphereInstanceBuffer) return;
    const GLint sprite = glGetUniformLocation(GLuint(program), "sphere_sprite");
    const GLint pixels = glGetUniformLocation(GLuint(program), "sphere_pixels");
    const GLint eyeRadius = glGetUniformLocation(GLuint(program), "sphere_eye_radius");
    if (sprite < 0 || pixels < 0 || eyeRadius < 0) return;
    // The largest sprite is that of a SLICES16 sphere, with a pixel of margin around it.
    GLfloat sizes[2] = {1, 1};
    glGetFloatv(GL_ALIASED_POINT_SIZE_RANGE, sizes);
    if (sizes[1] < 2 * SphereLevels::largestRadius(SphereLevels::SLICES16) + 2) return;
    size_t first[SphereLevels::LEVEL_COUNT + 1] = {};
    const size_t count = uploadInstances(buckets, SphereLevels::SLICES16, first);
    for (int level = SphereLevels::SLICES6; level <= SphereLevels::SLICES16; ++level) {
        buckets[level].clear();
    }
    if (count == 0) return;
    glBindBuffer(GL_ARRAY_BUFFER, g_sphereInstanceBuffer);
    glVertexPointer(4, GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnable(GL_VERTEX_PROGRAM_POINT_SIZE);
    glEnable(GL_POINT_SPRITE);
    glUniform1i(sprite, 1);
    glUniform1f(pixels, levels.pixelsPerClip());
    glUniform1f(eyeRadius, levels.eyeRadius());
    glDrawArrays(GL_POINTS, 0, GLsizei(count));
    glUniform1i(sprite, 0);
    glDisable(GL_POINT_SPRITE);
    glDisable(GL_VERTEX_PROGRAM_POINT_SIZE);
    glDisableClientState(GL_VERTEX_ARRAY);
}

size_t RenderTree::uploadInstances(const SphereLevels::Buckets& buckets, int lastLevel,
                                   size_t* first) const {
    std::vector<float> data;
    for (int level = SphereLevels::SLICES6; level <= lastLevel; ++level) {
        first[level] = data.size() / 4;
        for (uint32_t id : buckets[level]) {
            const float* c = &m_spheres->centres[3 * size_t(id)];
            data.insert(data.end(), {c[0], c[1], c[2], m_spheres->codes[id]});
        }
    }
    const size_t count = data.size() / 4;
    for (int level = lastLevel + 1; level <= SphereLevels::LEVEL_COUNT; ++level)
        first[level] = count;
    if (count == 0) return 0;
    glBindBuffer(GL_ARRAY_BUFFER, g_sphereInstanceBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(data.size() * sizeof(float)), data.data(),
                 GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return count;
}

bool RenderTree::drawInstanced(const SphereLevels::Buckets& buckets) const {
    // The program in force draws spheres by instance when its vertex stage reads them.
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    if (program == 0 || !GLEW_ARB_instanced_arrays || !g_sphereInstanceBuffer) return false;
    const GLint instance = glGetAttribLocation(GLuint(program), "sphere_instance");
    const GLint mode = glGetUniformLocation(GLuint(program), "sphere_mode");
    if (instance < 0 || mode < 0) return false;
    // A draft gives all levels one coarse mesh.
    size_t first[SphereLevels::LEVEL_COUNT + 1] = {};
    if (uploadInstances(buckets, SphereLevels::FULL, first) == 0) return true;
    glEnableVertexAttribArray(GLuint(instance));
    glVertexAttribDivisorARB(GLuint(instance), 1);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glUniform1i(mode, 1);
    const int draftLevel = m_sphereList ? int(SphereLevels::SLICES8) : -1;
    for (int level = SphereLevels::SLICES6; level < SphereLevels::LEVEL_COUNT; ++level) {
        const size_t count = first[level + 1] - first[level];
        if (count == 0) continue;
        const SphereMeshBuffers& mesh = sphereMesh(draftLevel >= 0 ? draftLevel : level);
        glBindBuffer(GL_ARRAY_BUFFER, g_sphereInstanceBuffer);
        glVertexAttribPointer(GLuint(instance), 4, GL_FLOAT, GL_FALSE, 0,
                              reinterpret_cast<const void*>(first[level] * 4 * sizeof(float)));
        glBindBuffer(GL_ARRAY_BUFFER, mesh.positions);
        glVertexPointer(3, GL_FLOAT, 0, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, mesh.normals);
        glNormalPointer(GL_FLOAT, 0, nullptr);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indices);
        glDrawElementsInstancedARB(GL_TRIANGLES, mesh.indexCount, GL_UNSIGNED_INT, nullptr,
                                   GLsizei(count));
    }
    glUniform1i(mode, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glVertexAttribDivisorARB(GLuint(instance), 0);
    glDisableVertexAttribArray(GLuint(instance));
    return true;
}

void RenderTree::drawSphere(uint32_t id, bool markTexCoord) const {
    float centre[3];
    centreOf(id, centre);
    const uint32_t count = sphereCount();
    const float code = static_cast<float>(id) / static_cast<float>(count);
    const SphereLevels levels = currentLevels();
    const GLuint list =
        sphereList(SphereLevels::levelFor(levels.pixelRadius(centre[0], centre[1], centre[2])));
    drawSphereAt(centre, code, markTexCoord, m_sphereList ? m_sphereList : list);
}

void RenderTree::drawSphereAt(const float* centre, float code, bool markTexCoord,
                              GLuint list) const {
    glPushMatrix();
    glTranslatef(centre[0], centre[1], centre[2]);
    // The red channel carries the picking code id / count.
    glColor4f(code, 0, 0, 1);
    if (markTexCoord) glMultiTexCoord3f(GL_TEXTURE7, code, 0, 0);
    glCallList(list);
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
