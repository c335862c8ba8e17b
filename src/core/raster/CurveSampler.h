#pragma once

#include "BasisTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class CurveControls;

// How the curves of one frame look and where they land: the colours per highlight slot, the
// light as GL holds it in eye coordinates, and the camera's matrices (column-major, the scene's
// rotation and scale already in the model-view matrix).
struct CurveLook {
    std::array<std::array<float, 4>, 4> start{}, end{};
    // 0 point, 1 conic, 2 spot, 4 lighting off.
    int lightType = 4;
    float lightPosition[3] = {0, 0, 0};
    float spotDirection[3] = {0, -1, 0};
    float spotCutoff = 0;
    float attenuation[3] = {1, 0, 0};  // constant, linear, quadratic
    float modelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    int width = 1, height = 1;
    int viewType = 0;
    float beta = 0.5f;
};

// One sample of a curve on the picture: window coordinates (pixels from the bottom-left corner,
// depth 0 .. 1), and its lit colour. visible is false behind the camera.
struct CurvePoint {
    float x, y, z;
    float r, g, b;
    bool visible;
};

// Evaluates the relation curves on the CPU as the curve vertex stage does on the GPU: control
// points from the view's layout, straightened by beta, summed with the basis weights of each
// sample, then transformed and lit as the scene pass lights lines. Built once per graph and
// sample set; sample() may be called from several threads at once.
class CurveSampler {
public:
    // samples: the sample numbers drawn of every curve of sampleCount samples, in order.
    CurveSampler(const CurveControls& controls, std::vector<int32_t> samples);

    const CurveControls& controls() const { return m_controls; }
    size_t pointsPerCurve() const { return m_samples.size(); }
    // The samples of the curve at a list position into out (pointsPerCurve() of them); returns
    // its alpha as the colour buffer carries it (the slot's start alpha, divided by the control
    // count for plain and selected curves).
    float sample(size_t position, uint8_t slot, const CurveLook& look, CurvePoint* out) const;

private:
    // Window start and four weights per drawn sample, for one control count.
    using Windows = std::vector<std::array<float, 5>>;
    const Windows& windows(int32_t controlCount) const;

    const CurveControls& m_controls;
    std::vector<int32_t> m_samples;
    std::vector<std::unique_ptr<Windows>> m_windows;  // by control count - 1; null where none
};
