#pragma once

// Every off-screen buffer, every pass's viewport, the overlay projection and the picking
// read-back use this one size, whatever the window's size.
constexpr int FBO_WIDTH = 1024;
constexpr int FBO_HEIGHT = 768;
