#pragma once

#include <string>

// Makes a real OpenGL 3.2 compatibility context current on an off-screen surface, once per
// process (Qt's xcb platform, so it needs an X display such as Xvfb). Returns false with a reason
// when no context can be made. Kept free of GL headers so that Qt's and GLEW's headers never meet.
bool makeGlContextCurrent(std::string* error);
