#include "FoundVertex.h"

#include "OpenGLWidget.h"
#include "RenderImplementation.h"

bool showFoundVertex(OpenGLWidget& surface, uint32_t id) {
    // The highlight rewrites GL buffers: the surface's context must be current.
    surface.makeCurrent();
    const bool found = surface.renderer()->selectVertexById(id);
    Vector3 drawn{};
    const bool placed = found && surface.renderer()->drawnVertexPosition(id, &drawn);
    surface.doneCurrent();
    surface.requestFrame();
    if (placed) surface.lookAtPoint(drawn);
    return found;
}
