#pragma once

#include <string>

// Makes a real OpenGL 3.2 compatibility context current on a small pbuffer of the X display
// named by DISPLAY (Xvfb under xvfb-run), once per process. Returns false with a reason when no
// context can be made. Kept free of GLEW so that GLX's and GLEW's headers never meet.
bool makeGlContextCurrent(std::string* error);
