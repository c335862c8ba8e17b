#pragma once

#include "FrameContext.h"

class GpuResources;

// The frame's picture on the surface's default framebuffer (bound by the caller): the scene
// buffer's picture, or for blending methods 3 and 4 the curves' sums composed over it.
// GL state it leaves: program 0, active texture unit 0, 2D texturing off on units 0 to 7, the
// model-view matrix mode and stack as found, the depth buffer cleared, the viewport of the
// surface.
class CompositionPass {
public:
    static void run(const FrameContext& frame, const GpuResources& gpu);
};
