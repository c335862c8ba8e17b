#pragma once

#include <GL/glew.h>

// Geometry every drawer calls, made once per context by buildDisplayLists.
extern GLuint g_sphereList;         // sphere of radius 0.01
extern GLuint g_draftSphereList;    // the same sphere with an eighth of its triangles
extern GLuint g_circleList;         // unit circle in the x-z plane
extern GLuint g_cubeList;           // cube with corners at +-1
extern GLuint g_squareOutlineList;  // outline of the unit square in the x-z plane
extern GLuint g_squareList;         // the filled unit square in the x-z plane

void buildDisplayLists();

// The sphere list of a tessellation level of SphereLevels; a dot's level gives the coarsest
// sphere, for a dot drawn alone as a sphere.
GLuint sphereList(int level);
