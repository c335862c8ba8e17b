#pragma once

// The default size of the drawing surface, in device pixels: the off-screen buffers, viewports,
// overlay and picking follow the surface's actual size once it is known. The shadow map keeps
// this size whatever the surface's.
constexpr int FBO_WIDTH = 1024;
constexpr int FBO_HEIGHT = 768;
