#include "BasisTable.h"

#include <algorithm>

BasisTable::BasisTable(int32_t controlCount, int32_t sampleCount)
    : m_controlCount(std::max<int32_t>(controlCount, 1)),
      m_sampleCount(std::max<int32_t>(sampleCount, 2)) {
    m_weights.assign(size_t(m_controlCount) * m_sampleCount, 0.0);
    if (m_controlCount >= 3) {
        buildSpline();
    } else {
        buildShort();
    }
    buildWindows();
    m_fractions.resize(m_controlCount, 0.0f);
    for (int32_t i = 0; i < m_controlCount && m_controlCount > 1; ++i) {
        m_fractions[i] = float(i) / float(m_controlCount - 1);
    }
}

double BasisTable::basis(int32_t i, int32_t d, double t) const {
    const std::vector<int32_t>& k = m_knots;
    if (d == 1) return (k[i - 1] <= t && t < k[i]) ? 1.0 : 0.0;
    const double leftSpan = double(k[i + d - 2]) - double(k[i - 1]);
    const double rightSpan = double(k[i + d - 1]) - double(k[i]);
    const double a = leftSpan == 0.0 ? 0.0 : (t - k[i - 1]) / leftSpan;
    const double b = rightSpan == 0.0 ? 0.0 : (k[i + d - 1] - t) / rightSpan;
    const double left = a == 0.0 ? 0.0 : a * basis(i, d - 1, t);
    const double right = b == 0.0 ? 0.0 : b * basis(i + 1, d - 1, t);
    return left + right;
}

void BasisTable::buildSpline() {
    const int32_t n = m_controlCount;
    const int32_t m = m_sampleCount;
    m_order = n == 3 ? 3 : 4;
    m_knotCount = n + m_order;
    // Clamped: order-many zeros, the interior integers, order-many copies of the end value.
    m_knots.reserve(m_knotCount);
    for (int32_t i = 0; i < m_order; ++i) m_knots.push_back(0);
    for (int32_t i = 1; i <= n - m_order; ++i) m_knots.push_back(i);
    for (int32_t i = 0; i < m_order; ++i) m_knots.push_back(n - m_order + 1);

    // Parameters by repeated addition, so that interior knots are met exactly where the running
    // sum lands on them.
    const double step = double(m_knots.back() - m_knots.front()) / (m - 1);
    m_parameters.resize(m);
    double t = m_knots.front();
    for (int32_t j = 0; j < m; ++j) {
        m_parameters[j] = t;
        t += step;
    }
    for (int32_t i = 0; i < n; ++i) {
        for (int32_t j = 0; j < m; ++j) {
            m_weights[size_t(i) * m + j] = basis(i + 1, m_order, m_parameters[j]);
        }
    }
    // The half-open intervals leave the last parameter outside every interval; pin the end of the
    // curve to the last control point as its start is pinned to the first.
    m_weights[size_t(n - 1) * m + (m - 1)] = 1.0;
}

void BasisTable::buildShort() {
    const int32_t m = m_sampleCount;
    m_order = m_controlCount;
    m_parameters.resize(m);
    for (int32_t j = 0; j < m; ++j) m_parameters[j] = double(j) / (m - 1);
    if (m_controlCount == 1) {
        std::fill(m_weights.begin(), m_weights.end(), 1.0);
        return;
    }
    // 1 - t and t are exact at both ends, so the segment starts and ends on its points.
    for (int32_t j = 0; j < m; ++j) {
        m_weights[j] = 1.0 - m_parameters[j];
        m_weights[size_t(m) + j] = m_parameters[j];
    }
}

void BasisTable::buildWindows() {
    const int32_t n = m_controlCount;
    const int32_t m = m_sampleCount;
    std::vector<int32_t> first(m, 0), last(m, 0);
    int32_t width = 1;
    for (int32_t j = 0; j < m; ++j) {
        int32_t lo = n, hi = -1;
        for (int32_t i = 0; i < n; ++i) {
            if (weight(i, j) != 0.0) {
                lo = std::min(lo, i);
                hi = i;
            }
        }
        if (hi < 0) lo = hi = 0;
        first[j] = lo;
        last[j] = hi;
        width = std::max(width, hi - lo + 1);
    }
    m_windowWidth = width;
    m_windowStart.resize(m);
    m_windowWeights.resize(size_t(m) * width);
    for (int32_t j = 0; j < m; ++j) {
        m_windowStart[j] = std::min(first[j], n - width);
        for (int32_t r = 0; r < width; ++r) {
            m_windowWeights[size_t(j) * width + r] = weight(m_windowStart[j] + r, j);
        }
    }

    m_blockCount = (m + kLanes - 1) / kLanes;
    m_blockIndex.assign(size_t(m_blockCount) * width * kLanes, 0);
    m_blockWeight.assign(size_t(m_blockCount) * width * kLanes, 0.0);
    for (int32_t j = 0; j < m; ++j) {
        const int32_t b = j / kLanes, lane = j % kLanes;
        for (int32_t r = 0; r < width; ++r) {
            const size_t at = (size_t(b) * width + r) * kLanes + lane;
            m_blockIndex[at] = m_windowStart[j] + r;
            m_blockWeight[at] = m_windowWeights[size_t(j) * width + r];
        }
    }
    // A block's run of sixteen starts at its smallest index, rounded down to a multiple of eight
    // where the run still covers the block: the run's two halves are then read exactly as the
    // widened row was written, which lets the processor forward them without a stall.
    std::vector<int32_t> lowest(m_blockCount, n), highest(m_blockCount, 0);
    for (int32_t j = 0; j < m; ++j) {
        lowest[j / kLanes] = std::min(lowest[j / kLanes], m_windowStart[j]);
        highest[j / kLanes] = std::max(highest[j / kLanes], m_windowStart[j] + width - 1);
    }
    m_blockBase.resize(m_blockCount);
    for (int32_t b = 0; b < m_blockCount; ++b) {
        const int32_t aligned = lowest[b] & ~7;
        m_blockBase[b] = highest[b] - aligned < 16 ? aligned : lowest[b];
    }
    // Lanes past the last sample keep offset 0: they read the block's first point, weight 0.
    m_blockOffset.assign(m_blockIndex.size(), 0);
    m_blocksSpanSixteen = true;
    for (int32_t j = 0; j < m; ++j) {
        const int32_t b = j / kLanes, lane = j % kLanes;
        for (int32_t r = 0; r < width; ++r) {
            const size_t at = (size_t(b) * width + r) * kLanes + lane;
            m_blockOffset[at] = m_blockIndex[at] - m_blockBase[b];
            m_blocksSpanSixteen &= m_blockOffset[at] < 16;
        }
    }
}
