#pragma once

#include "CurveRaster.h"
#include "CurveSampler.h"

#include <cstdint>
#include <memory>
#include <vector>

class CurveControls;
class FrameBuffer;

// The relation curves drawn by the CPU over the scene pass's picture, for GL renderers that are
// themselves software rasterisers: there a curve's fragments cost far more in the driver's
// generic pipeline (two float targets, the full scene shader, two passes) than the dedicated
// one-pixel lines of CurveRaster on every processor. On a real GPU the curves stay on the GPU.
//
// A frame's layer: begin reads back the scene's colour and depth, draw adds curves (in parts,
// as the GL path draws them), present writes the scene with the curves so far into the scene
// buffer's colour texture. The picking output is not written; curveAt answers for one pixel
// when the user picks.
class SoftwareCurveLayer {
public:
    enum class Choice { AUTOMATIC, GPU, CPU };
    // AUTOMATIC takes the CPU when the current context's GL_RENDERER names Mesa's llvmpipe or
    // softpipe; RAMIFLEX_CURVES=cpu or =gpu in the environment forces either.
    static Choice choiceFromEnvironment();
    static bool softwareRenderer();

    void setChoice(Choice choice) { m_choice = choice; }
    // Whether frames draw their curves here; decided once per context.
    bool inUse();
    // Drops the samplers of the graph before (the controls they point at go).
    void reset();

    // Starts a frame's curve layer on the scene buffer's picture. False (nothing to draw) when
    // the memory for it could not be had; the message is on standard error.
    bool begin(const FrameBuffer& scene);
    // Draws the curves from draw.first on (draft: the draft frames' samples); the sampler and
    // slots are filled in here. Returns the number of the first curve not drawn.
    size_t draw(const CurveControls& controls, bool draft, CurveRaster::Draw draw,
                const std::vector<uint8_t>& curveSlots);
    void present(const FrameBuffer& scene);
    // The list position of the curve drawn last at pixel (x, y) (rows bottom-up) of the last
    // frame drawn here, or -1.
    int64_t curveAt(int x, int y) const { return m_raster ? m_raster->curveAt(x, y) : -1; }

private:
    const CurveSampler& sampler(const CurveControls& controls, bool draft);

    Choice m_choice = choiceFromEnvironment();
    int m_decided = -1;  // -1 not yet, 0 GPU, 1 CPU
    std::unique_ptr<CurveRaster> m_raster;
    std::unique_ptr<CurveSampler> m_samplers[2];  // full and draft samples
    const CurveControls* m_samplerControls = nullptr;
    std::vector<float> m_scene, m_composed;
};
