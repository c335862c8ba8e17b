#pragma once

#include <GL/glew.h>

// Geometry every drawer calls, made once per context by buildDisplayLists.
extern GLuint g_sphereList;           // sphere of radius 0.01
extern GLuint g_draftSphereList;      // the same sphere with an eighth of its triangles
extern GLuint g_smallSphereLists[4];  // coarser spheres for small pictures, by slices 6 to 16
extern GLuint g_circleList;           // unit circle in the x-z plane
extern GLuint g_cubeList;             // cube with corners at +-1
extern GLuint g_squareOutlineList;    // outline of the unit square in the x-z plane
extern GLuint g_squareList;           // the filled unit square in the x-z plane

void buildDisplayLists();

// The sphere list with as many triangles as a sphere of this radius in pixels needs: its outline
// lies within half a pixel of the true circle, up to the full sphere from 26 pixels on.
GLuint sphereListFor(float pixelRadius);
