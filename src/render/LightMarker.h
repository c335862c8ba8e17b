#pragma once

#include "FrameContext.h"

class ShaderProgram;

// Where the light stands: a small unlit yellow sphere, drawn into the scene buffer with the
// shading program current under the camera (between SceneDrawing's beginScene and endScene).
// GL state it leaves: the shading program's object type, light type and colour uniforms set for
// the marker (the next draw sets its own); everything else as found.
class LightMarker {
public:
    static void draw(const FrameContext& frame, const ShaderProgram& shading);
};
