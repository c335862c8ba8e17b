#pragma once

#include <cstdint>

class OpenGLWidget;

// Shows a vertex found by name on the drawing surface: selected as a pick on it would select
// it, with its relation edges highlighted. False when the graph has no such vertex.
bool showFoundVertex(OpenGLWidget& surface, uint32_t id);
