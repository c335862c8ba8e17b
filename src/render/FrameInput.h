#pragma once

#include "RenderStates.h"

struct Camera;
struct Light;

// What one frame draws, handed to the renderer by the drawing surface: the settings as they
// stand (a copy, so that a frame drawn in parts keeps the values it began with), the camera and
// the light. The graph and its views come with the objects made for them (CreateObjects).
struct FrameInput {
    RenderStates settings;
    Camera* camera = nullptr;
    Light* light = nullptr;
};
