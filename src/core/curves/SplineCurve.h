#pragma once

#include "BasisTable.h"
#include "SplineRows.h"

#include <array>
#include <cstdint>
#include <memory>

using Point3 = std::array<float, 3>;
using Color4 = std::array<float, 4>;

// One relation edge drawn in one view: a B-spline on the tree path's control points, pulled
// towards the straight line between its ends by the bundling strength.
//
// A store holds a million of these, so a curve keeps only what cannot be recomputed cheaply: the
// control points and the evaluated samples, in one block. The working points follow from the
// control points and beta and are rebuilt on the stack whenever the curve is evaluated. Colours
// and texture coordinates are a few parameters; the write* operations expand them (and the
// samples) into the interleaved arrays that the GL buffers hold.
class SplineCurve {
public:
    // points: count control points; count >= 1, and basis must be the table for count points.
    // storage: storageSize(count, m) floats that outlive the curve (a store's arena), or nullptr
    // for a block of the curve's own.
    SplineCurve(const BasisTable* basis, const Point3* points, int32_t count, float edgeId,
                float* storage = nullptr);

    // Floats of the one block holding the samples and then the control points. Rounded up to
    // whole 64-byte lines, so that blocks laid end to end in an aligned arena all start on a
    // line and no line is shared by two curves (or two threads).
    static size_t storageSize(int32_t controlCount, int32_t sampleCount) {
        return (size_t(3) * sampleCount + size_t(3) * controlCount + 15) & ~size_t(15);
    }
    // Copies the block to storage (storageSize floats, kept alive by the caller) and uses it
    // from now on; a block of the curve's own is freed.
    void relocate(float* storage);

    SplineCurve(SplineCurve&&) noexcept = default;
    SplineCurve& operator=(SplineCurve&&) noexcept = default;

    const BasisTable* getBasis() const { return m_basis; }
    int32_t getControlCount() const { return m_controlCount; }
    int32_t getSampleCount() const { return m_sampleCount; }
    float getEdgeId() const { return m_edgeId; }
    // Sum of squared distances between consecutive samples at creation; orders curves only.
    float getLength() const { return m_length; }
    // Third texture coordinate of every sample: list position / list size after ordering.
    float getTexValue() const { return m_texValue; }
    void setTexValue(float value) { m_texValue = value; }
    const Color4& getStartColor() const { return m_startColor; }
    const Color4& getEndColor() const { return m_endColor; }

    Point3 controlPoint(int32_t i) const;
    // Working point i: the control point moved by the last beta applied (the control point
    // itself before any).
    Point3 workPoint(int32_t i) const;
    // Sample j as drawn: (x, 1 - y, z) of the evaluated spline.
    Point3 point(int32_t j) const;
    // Coordinate c (0 x, 1 y, 2 z) of all control or sample points.
    const float* controlCoords(int c) const {
        return m_data + size_t(3) * m_sampleCount + size_t(c) * m_controlCount;
    }
    const float* pointCoords(int c) const { return m_data + size_t(c) * m_sampleCount; }

    // Moves every working point towards its evenly spaced place on the segment between the two
    // end control points (beta 0: on the segment, 1: on the control point) and re-evaluates.
    void applyBeta(float beta);
    // Asks for the block's lines ahead of an applyBeta in a long pass, so that walking a store
    // does not wait on memory curve by curve.
    void prefetch() const;
    // Per sample j, s = j / m: colour (1 - s) * start + s * end, alpha start alpha / n.
    void setColors(const Color4& start, const Color4& end);

    // m x 3 floats: the samples, interleaved.
    void writePositions(float* dst) const;
    // m x 4 floats: the colour gradient.
    void writeColors(float* dst) const;
    // m x 4 floats: (0, 0, texture value, 0) at every sample.
    void writeTexCoords(float* dst) const;

    // Turns the vector units off (false) or back on where the processor has them; for checking
    // that both evaluation paths agree bit for bit.
    static void useVectorUnits(bool enabled);
    static bool vectorUnitsInUse();

private:
    float* points(int c) { return m_data + size_t(c) * m_sampleCount; }
    // Evaluates the samples of coordinate c from its working points.
    void evaluateRow(int c, const float* work, splinerows::Facts facts);
    void computeLength();

    const BasisTable* m_basis;
    int32_t m_controlCount;
    int32_t m_sampleCount;
    float m_length = 0;
    float m_edgeId;
    float m_texValue = 0;
    // The last beta applied; until the first, the working points are the control points.
    float m_beta = 1;
    bool m_straightened = false;
    Color4 m_startColor;
    Color4 m_endColor;
    // pointsX, pointsY, pointsZ (m each; y already flipped), then controlX, controlY, controlZ
    // (n each).
    float* m_data;
    // The block, when the curve owns it.
    std::unique_ptr<float[]> m_owned;
};
