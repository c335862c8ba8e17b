#pragma once

// Whether the graphics driver gave the memory the viewer asked for. GL reports a refused
// allocation only through its error queue, and a buffer mapping only by handing back no pointer;
// both are collected here so that the surface can tell the user instead of showing a picture
// without its graph.
namespace GraphicsMemory {

// A buffer mapping came back without a pointer, or an allocation was refused (an error the
// caller has already taken from GL's queue).
void noteFailure();
// Empties GL's error queue; true when it held GL_OUT_OF_MEMORY or a mapping failed since the
// last call. Needs a current context.
bool takeFailure();
// Whether the next buffer allocation is to be left out, as a driver out of memory would. Armed
// by failNextAllocation or, for whole-program tests, by the environment variable
// RAMIFLEX_FAIL_GRAPHICS_ALLOCATION; answers true once per arming.
bool refuseAllocation();
void failNextAllocation();

}  // namespace GraphicsMemory
