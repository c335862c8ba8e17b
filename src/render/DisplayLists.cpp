#include "DisplayLists.h"

#include "SphereLevels.h"
#include "SphereMesh.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>

GLuint g_sphereList = 0;
GLuint g_draftSphereList = 0;
GLuint g_circleList = 0;
// Coarser spheres for small pictures of them, by slices: 6, 8, 12 and 16.
GLuint g_smallSphereLists[4] = {0, 0, 0, 0};
GLuint g_cubeList = 0;
GLuint g_squareOutlineList = 0;
GLuint g_squareList = 0;
GLuint g_sphereInstanceBuffer = 0;

namespace {

SphereMeshBuffers g_sphereMeshes[SphereLevels::LEVEL_COUNT - SphereLevels::SLICES6];

GLuint arrayBuffer(GLenum target, const void* data, size_t bytes) {
    GLuint name = 0;
    glGenBuffers(1, &name);
    glBindBuffer(target, name);
    glBufferData(target, GLsizeiptr(bytes), data, GL_STATIC_DRAW);
    glBindBuffer(target, 0);
    return name;
}

void buildSphereMeshes() {
    for (int level = SphereLevels::SLICES6; level < SphereLevels::LEVEL_COUNT; ++level) {
        const SphereMesh mesh = SphereMesh::forLevel(level);
        SphereMeshBuffers& buffers = g_sphereMeshes[level - SphereLevels::SLICES6];
        buffers.positions = arrayBuffer(GL_ARRAY_BUFFER, mesh.positions.data(),
                                        mesh.positions.size() * sizeof(float));
        buffers.normals =
            arrayBuffer(GL_ARRAY_BUFFER, mesh.normals.data(), mesh.normals.size() * sizeof(float));
        buffers.indices = arrayBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indices.data(),
                                      mesh.indices.size() * sizeof(uint32_t));
        buffers.indexCount = GLsizei(mesh.indices.size());
    }
    glGenBuffers(1, &g_sphereInstanceBuffer);
}

}  // namespace

std::vector<GLuint> sphereBufferNames() {
    std::vector<GLuint> names{g_sphereInstanceBuffer};
    for (const SphereMeshBuffers& mesh : g_sphereMeshes) {
        names.insert(names.end(), {mesh.positions, mesh.normals, mesh.indices});
    }
    return names;
}

const SphereMeshBuffers& sphereMesh(int level) {
    const int top = SphereLevels::FULL - SphereLevels::SLICES6;
    return g_sphereMeshes[std::clamp(level - int(SphereLevels::SLICES6), 0, top)];
}

namespace {

struct CubeFace {
    float normal[3];
    float corners[4][3];
    float texCoords[4][2];
};

const CubeFace kCubeFaces[6] = {
    {{0, 1, 0}, {{1, 1, -1}, {-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}}, {{1, 0}, {0, 0}, {0, 1}, {1, 1}}},
    {{0, -1, 0},
     {{1, -1, 1}, {-1, -1, 1}, {-1, -1, -1}, {1, -1, -1}},
     {{1, 1}, {0, 1}, {0, 0}, {1, 0}}},
    {{0, 0, 1}, {{1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}}, {{1, 1}, {0, 1}, {0, 0}, {1, 0}}},
    {{0, 0, -1},
     {{1, -1, -1}, {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}},
     {{1, 0}, {0, 0}, {0, 1}, {1, 1}}},
    {{-1, 0, 0},
     {{-1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}, {-1, -1, 1}},
     {{1, 1}, {1, 0}, {0, 0}, {0, 1}}},
    {{1, 0, 0}, {{1, 1, -1}, {1, 1, 1}, {1, -1, 1}, {1, -1, -1}}, {{1, 0}, {1, 1}, {0, 1}, {0, 0}}},
};

const float kSquareCorners[5][3] = {{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 0, 0}, {0, 0, 0}};

// filled: the third texture coordinate is 1 on the filled square, 0 on its outline, which tells
// the shading program where the cushion texture belongs.
void squareVertices(int count, bool filled) {
    for (int i = 0; i < count; ++i) {
        const float* c = kSquareCorners[i];
        glNormal3f(0, 1, 0);
        glTexCoord3f(c[0], c[2], filled ? 1.0f : 0.0f);
        glVertex3fv(c);
    }
}

}  // namespace

GLuint sphereList(int level) {
    if (level >= SphereLevels::FULL) return g_sphereList;
    return g_smallSphereLists[std::max(level - SphereLevels::SLICES6, 0)];
}

void buildDisplayLists() {
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricTexture(quadric, GL_TRUE);
    g_sphereList = glGenLists(1);
    glNewList(g_sphereList, GL_COMPILE);
    gluSphere(quadric, 0.01, 20, 20);
    glEndList();
    const int slices[4] = {6, 8, 12, 16};
    for (int k = 0; k < 4; ++k) {
        g_smallSphereLists[k] = glGenLists(1);
        glNewList(g_smallSphereLists[k], GL_COMPILE);
        gluSphere(quadric, 0.01, slices[k], slices[k] * 3 / 4);
        glEndList();
    }
    // 96 triangles instead of 800: a few pixels across, as spheres mostly are, it looks alike.
    g_draftSphereList = g_smallSphereLists[1];
    gluDeleteQuadric(quadric);
    buildSphereMeshes();

    g_circleList = glGenLists(1);
    glNewList(g_circleList, GL_COMPILE);
    glBegin(GL_LINE_STRIP);
    for (int degrees = 0; degrees <= 360; degrees += 5) {
        const double radians = degrees * 0.017453277777777776;
        glNormal3f(0, 1, 0);
        glTexCoord2f(static_cast<float>(std::sin(radians)), static_cast<float>(std::cos(radians)));
        glVertex3f(static_cast<float>(std::sin(radians)), 0, static_cast<float>(std::cos(radians)));
    }
    glEnd();
    glEndList();

    g_cubeList = glGenLists(1);
    glNewList(g_cubeList, GL_COMPILE);
    glBegin(GL_QUADS);
    for (const CubeFace& face : kCubeFaces) {
        glNormal3fv(face.normal);
        for (int i = 0; i < 4; ++i) {
            glTexCoord2fv(face.texCoords[i]);
            glVertex3fv(face.corners[i]);
        }
    }
    glEnd();
    glEndList();

    g_squareOutlineList = glGenLists(1);
    glNewList(g_squareOutlineList, GL_COMPILE);
    glBegin(GL_LINE_STRIP);
    squareVertices(5, false);
    glEnd();
    glEndList();

    g_squareList = glGenLists(1);
    glNewList(g_squareList, GL_COMPILE);
    glBegin(GL_QUADS);
    squareVertices(4, true);
    glEnd();
    glEndList();
}
