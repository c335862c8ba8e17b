#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// B-spline weights of every control point at every sample, for one control-point count. Built
// once per count and shared by all curves with that count.
//
// For three or more control points the curve is a clamped B-spline (quadratic for three, cubic
// otherwise) on integer knots. One or two points have no such spline: one point gives the constant
// weight 1, two points the straight segment with weights (1 - t, t), t = j / (m - 1).
//
// Besides the dense table the basis keeps, per sample, the window of consecutive control points
// that holds every non-zero weight (at most the order). Evaluation reads only that window; see
// SplineCurve::evaluate for why the result is still exactly the dense sum.
class BasisTable {
public:
    // Lanes of one block of samples in the vectorised evaluation.
    static constexpr int kLanes = 8;

    BasisTable(int32_t controlCount, int32_t sampleCount);

    int32_t controlCount() const { return m_controlCount; }
    int32_t sampleCount() const { return m_sampleCount; }
    int32_t order() const { return m_order; }
    int32_t knotCount() const { return m_knotCount; }
    const std::vector<int32_t>& knots() const { return m_knots; }
    // Sample parameters t_j; for n <= 2 the segment parameter j / (m - 1).
    const std::vector<double>& parameters() const { return m_parameters; }
    double weight(int32_t i, int32_t j) const { return m_weights[size_t(i) * m_sampleCount + j]; }
    // Row i: the weights of control point i at samples 0 .. m-1.
    const double* row(int32_t i) const { return &m_weights[size_t(i) * m_sampleCount]; }

    // i / (n - 1) in single precision for i = 0 .. n-1 (0 for a single point): where working
    // point i sits on the segment between the two ends.
    const float* fractions() const { return m_fractions.data(); }

    // Number of consecutive control points that covers every non-zero weight of any sample.
    int32_t windowWidth() const { return m_windowWidth; }
    // First control point of sample j's window; the window never runs past the last point.
    int32_t windowStart(int32_t j) const { return m_windowStart[j]; }
    // Window weights of sample j: weight(windowStart(j) + r, j) for r = 0 .. windowWidth()-1.
    const double* windowWeights(int32_t j) const {
        return &m_windowWeights[size_t(j) * m_windowWidth];
    }

    // The same window data arranged for blocks of kLanes samples: for block b and window term r,
    // kLanes control indices and kLanes weights. Lanes past the last sample read point 0 with
    // weight 0.
    int32_t blockCount() const { return m_blockCount; }
    const int32_t* blockIndices(int32_t b, int32_t r) const {
        return &m_blockIndex[(size_t(b) * m_windowWidth + r) * kLanes];
    }
    // True when the indices of every block lie within 16 of the block's smallest (true for all
    // paths of up to 64 points with 50 samples): a block then reads one run of 16 points.
    bool blocksSpanSixteen() const { return m_blocksSpanSixteen; }
    // Per block, the smallest control index it reads.
    const int32_t* blockBases() const { return m_blockBase.data(); }
    // blockIndices minus blockBase, widened to 64 bits, for permutes of sixteen doubles.
    const int64_t* blockOffsets(int32_t b, int32_t r) const {
        return &m_blockOffset[(size_t(b) * m_windowWidth + r) * kLanes];
    }
    const double* blockWeights(int32_t b, int32_t r) const {
        return &m_blockWeight[(size_t(b) * m_windowWidth + r) * kLanes];
    }

private:
    // Cox-de Boor recursion with 1-based basis index i and order d on the integer knots.
    double basis(int32_t i, int32_t d, double t) const;
    void buildSpline();
    void buildShort();
    void buildWindows();

    int32_t m_controlCount;
    int32_t m_sampleCount;
    int32_t m_order = 0;
    int32_t m_knotCount = 0;
    std::vector<int32_t> m_knots;
    std::vector<double> m_parameters;
    std::vector<double> m_weights;  // n rows of m
    std::vector<float> m_fractions;

    int32_t m_windowWidth = 0;
    std::vector<int32_t> m_windowStart;
    std::vector<double> m_windowWeights;
    int32_t m_blockCount = 0;
    std::vector<int32_t> m_blockIndex;
    bool m_blocksSpanSixteen = false;
    std::vector<int32_t> m_blockBase;
    std::vector<int64_t> m_blockOffset;
    std::vector<double> m_blockWeight;
};
