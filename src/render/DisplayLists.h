#pragma once

#include <GL/glew.h>

#include <vector>

// Geometry every drawer calls, made once per context by buildDisplayLists.
extern GLuint g_sphereList;           // sphere of radius 0.01
extern GLuint g_draftSphereList;      // the same sphere with an eighth of its triangles
extern GLuint g_smallSphereLists[4];  // coarser spheres for small pictures, by slices 6 to 16
extern GLuint g_circleList;           // unit circle in the x-z plane
extern GLuint g_cubeList;             // cube with corners at +-1
extern GLuint g_squareOutlineList;    // outline of the unit square in the x-z plane
extern GLuint g_squareList;           // the filled unit square in the x-z plane

// The sphere of each tessellation level above the dots (SphereLevels::SLICES6 .. FULL) as
// buffers for instanced drawing, made with the display lists.
struct SphereMeshBuffers {
    GLuint positions = 0, normals = 0, indices = 0;
    GLsizei indexCount = 0;
};
const SphereMeshBuffers& sphereMesh(int level);
// A buffer for the instances of the spheres drawn in a frame, refilled by each draw.
extern GLuint g_sphereInstanceBuffer;
// Every buffer of the sphere meshes and the instance buffer, for their owner to free.
std::vector<GLuint> sphereBufferNames();

void buildDisplayLists();

// The sphere list of a tessellation level of SphereLevels; a dot's level gives the coarsest
// sphere, for a dot drawn alone as a sphere.
GLuint sphereList(int level);
