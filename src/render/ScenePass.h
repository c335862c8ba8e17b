#pragma once

#include "FrameContext.h"
#include "Matrix.h"

class GpuResources;

// The scene of a frame into the scene buffer, cleared first: the floor with the shadows on it,
// the vertices (the selected one in the selection colour), the grid and the hierarchy edges,
// each in the picture and, coded, in the picking output.
// GL state it leaves: the surface's default framebuffer bound, program 0, active texture unit 0,
// units 6 and 7 with identity matrices and 2D texturing off, the model-view matrix mode and
// stack as found.
class ScenePass {
public:
    // shadowMatrix: from the camera's eye coordinates to the shadow map (ShadowPass::run).
    static void run(const FrameContext& frame, const GpuResources& gpu,
                    const Matrix4& shadowMatrix);

private:
    static void drawFloor(const FrameContext& frame, const GpuResources& gpu,
                          const Matrix4& shadowMatrix);
};
