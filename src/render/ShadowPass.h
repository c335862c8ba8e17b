#pragma once

#include "Camera.h"
#include "FrameContext.h"

#include <cstdint>

class GpuResources;

// The light: GL_LIGHT0 set where the light stands, the light's camera over the floor, and the
// shadow map seen from it, which the scene pass's floor reads.
// GL state it leaves: the surface's default framebuffer bound with the surface's viewport,
// program 0, the model-view matrix mode holding the camera's view (setUpLight loads it), active
// texture unit 0; everything else as found.
class ShadowPass {
public:
    // Every frame and every part of one: GL keeps the light in the eye coordinates of the camera
    // in force, so this loads the camera's view first.
    void setUpLight(const FrameContext& frame);
    // The matrix from the camera's eye coordinates to the shadow map's texture coordinates. A
    // full frame draws a new shadow map when the light casts shadows; a draft reuses the last
    // one of the graph, as seen from the light a camera move changes nothing.
    Matrix4 run(const FrameContext& frame, const GpuResources& gpu);
    // A new graph: the last shadow map shows the one before.
    void forget() { m_made = false; }

    uint64_t passes() const { return m_passes; }
    const Camera& lightCamera() const { return m_lightCamera; }

private:
    void placeLightCamera(const FrameContext& frame);
    void draw(const FrameContext& frame, const GpuResources& gpu, Matrix4& m);

    Camera m_lightCamera{-2.0f, 2.0f, -1.5f, 1.5f, -50.0f, 50.0f};
    Matrix4 m_shadowMatrix{};
    bool m_made = false;
    uint64_t m_passes = 0;
};
