#pragma once

#include <string>

// Makes a real OpenGL 3.2 compatibility context current on a small pbuffer of the X display (run
// under xvfb-run), once per process; returns what is missing, or nothing. Free of GLEW, so that
// GLX's and GLEW's headers never meet.
std::string makeGlContextCurrent();
