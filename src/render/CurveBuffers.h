#pragma once

#include <GL/glew.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class SplineCurve;

// The GL buffers of one view's relation curves: one set of three buffers (positions, colours,
// texture coordinates) in which every curve owns a range of samples, drawn in list order with a
// single multi-draw call. Updates rewrite the ranges in place through write-only mappings.
class CurveBuffers {
public:
    CurveBuffers() = default;
    CurveBuffers(const CurveBuffers&) = delete;
    CurveBuffers& operator=(const CurveBuffers&) = delete;
    ~CurveBuffers();

    // Allocates the buffers for these curves (in list order) and fills all three.
    void create(const std::vector<SplineCurve*>& curves);
    void updatePositions(const std::vector<SplineCurve*>& curves);
    void updateColors(const std::vector<SplineCurve*>& curves);
    void updateTexCoords(const std::vector<SplineCurve*>& curves);
    // Rewrites the colours of the curve at list position index only.
    void updateCurveColors(size_t index, const SplineCurve& curve);
    // Rewrites the colours of the curves at these list positions (any order, repeats allowed)
    // through one mapping, leaving the curves between them as they are.
    void updateCurveColors(const std::vector<int32_t>& positions,
                           const std::vector<SplineCurve>& curves);
    // Every curve as a line strip; positions, colours and texture coordinate set 0.
    void draw() const;

    size_t curveCount() const { return m_first.size(); }
    // The colours the buffer holds for the curve at list position index, four floats per
    // sample; empty for a position these buffers do not have. Reads back from the GL.
    std::vector<float> readColors(size_t index) const;

private:
    enum Kind { POSITIONS = 0, COLORS = 1, TEX_COORDS = 2 };
    template <typename Write>
    void rewrite(Kind kind, size_t firstCurve, size_t curveCount, Write write);
    void release();

    GLuint m_buffers[3] = {0, 0, 0};
    std::vector<GLint> m_first;
    std::vector<GLsizei> m_count;
    size_t m_totalSamples = 0;
};
