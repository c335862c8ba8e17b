#pragma once

#include "CurveRaster.h"
#include "FrameContext.h"
#include "SoftwareCurveLayer.h"

#include <cstddef>
#include <vector>

class FrameBuffer;
class GpuResources;

// The relation curves of a frame, blended by the chosen method, and the light marker after them,
// as steps that a frame drawn in parts resumes: passes over the scene buffer (trace, blend,
// maximum, tint), the sums of methods 3 and 4 in buffers of their own, or for frames of plain
// lines on a software GL the curves drawn by the CPU (SoftwareCurveLayer).
// GL state it leaves after every step: the surface's default framebuffer bound, program 0,
// active texture unit 0, blending off with GL_FUNC_ADD, the depth test and depth writes on, the
// model-view matrix stack as found, line smoothing and the clear colour as found.
class CurvePass {
public:
    // Starts a frame's steps for its blending method, from the first curve.
    void begin(const FrameContext& frame);
    // Runs the steps until all are done or the deadline has passed.
    void run(const FrameContext& frame, const GpuResources& gpu, const Deadline& deadline);
    bool complete() const { return m_step >= m_steps.size(); }
    // Whether this frame's curves are drawn by the CPU.
    bool drawnByCpu() const { return m_softwareFrame; }

    void setCurveDrawing(SoftwareCurveLayer::Choice choice) { m_softwareCurves.setChoice(choice); }
    // A new graph: the CPU's samplers read the controls that are about to go.
    void forgetGraph() { m_softwareCurves.reset(); }
    // Writes the CPU curves' picking code of pixel (x, y) (rows bottom-up) into the scene
    // buffer's picking output, where such a curve lies there.
    void pickSoftwareCurve(const FrameContext& frame, const FrameBuffer& scene, int x, int y) const;

private:
    enum Step { TRACE, BLEND, BLEND_MAX, TINT, MARKER, ACCUMULATE };
    static std::vector<Step> stepsFor(int blendMethod);
    // Each true when the step is done, false when the deadline stopped it.
    bool sceneStep(const FrameContext& frame, const GpuResources& gpu, Step step,
                   const Deadline& deadline);
    bool accumulationStep(const FrameContext& frame, const GpuResources& gpu,
                          const Deadline& deadline);
    // Plain lines (a draft, or many curves) blended by a method without sums, on a software GL.
    bool softwareCurvesFit(const FrameContext& frame);
    // Trace and blend at once (the second curve step has nothing left to do).
    bool softwareStep(const FrameContext& frame, const GpuResources& gpu, Step step,
                      const Deadline& deadline);
    static CurveLook softwareLook(const FrameContext& frame, const FrameBuffer& scene);

    std::vector<Step> m_steps;
    size_t m_step = 0;
    size_t m_next = 0;  // the first curve of the current step not drawn yet
    SoftwareCurveLayer m_softwareCurves;
    bool m_softwareFrame = false;
};
