#include "SplineCurve.h"

#include "SplineRows.h"

#include <algorithm>
#include <cstring>

namespace {

// Working points of one coordinate kept on the stack.
constexpr size_t kStackWorkFloats = 256;
static_assert(kStackWorkFloats == splinerows::paddedRowSize(kStackWorkFloats));

}  // namespace

void SplineCurve::useVectorUnits(bool enabled) { splinerows::useVectorUnits(enabled); }

bool SplineCurve::vectorUnitsInUse() { return splinerows::vectorUnitsInUse(); }

SplineCurve::SplineCurve(const BasisTable* basis, const Point3* points, int32_t count, float edgeId,
                         float* storage)
    : m_basis(basis),
      m_controlCount(count),
      m_sampleCount(basis->sampleCount()),
      m_edgeId(edgeId),
      // The creation ramp (0, 1 - s, s, 1 / n) is the general gradient from green to blue.
      m_startColor{0, 1, 0, 1},
      m_endColor{0, 0, 1, 1},
      m_data(storage) {
    if (!m_data) {
        m_owned.reset(new float[storageSize(count, m_sampleCount)]);
        m_data = m_owned.get();
    }
    // Until a beta is applied the working points are the control points themselves.
    for (int c = 0; c < 3; ++c) {
        float* control = const_cast<float*>(controlCoords(c));
        for (int32_t i = 0; i < count; ++i) control[i] = points[i][c];
        evaluateRow(c, control, splinerows::examine(control, count));
    }
    computeLength();
}

void SplineCurve::relocate(float* storage) {
    std::memcpy(storage, m_data, storageSize(m_controlCount, m_sampleCount) * sizeof(float));
    m_data = storage;
    m_owned.reset();
}

Point3 SplineCurve::controlPoint(int32_t i) const {
    return {controlCoords(0)[i], controlCoords(1)[i], controlCoords(2)[i]};
}

Point3 SplineCurve::workPoint(int32_t i) const {
    const int32_t n = m_controlCount;
    if (!m_straightened || n < 2) return controlPoint(i);
    Point3 point;
    for (int c = 0; c < 3; ++c) {
        point[c] = splinerows::workingPoint(controlCoords(c), m_basis->fractions(), n, m_beta, i);
    }
    return point;
}

Point3 SplineCurve::point(int32_t j) const {
    return {pointCoords(0)[j], pointCoords(1)[j], pointCoords(2)[j]};
}

void SplineCurve::evaluateRow(int c, const float* work, splinerows::Facts facts) {
    // The y axis points down in the picture.
    const bool flip = c == 1;
    if (c == 1) {
        // Every view derives a point's height from its depth alone, so paths with the same
        // depths along them have the same y row: few distinct rows among many curves.
        splinerows::evaluateRecurring(*m_basis, work, facts, points(c), flip);
    } else {
        splinerows::evaluate(*m_basis, work, facts, points(c), flip);
    }
}

void SplineCurve::computeLength() {
    const float *x = pointCoords(0), *y = pointCoords(1), *z = pointCoords(2);
    float length = 0;
    for (int32_t j = 1; j < m_sampleCount; ++j) {
        const float dx = x[j] - x[j - 1], dy = y[j] - y[j - 1], dz = z[j] - z[j - 1];
        length += dx * dx + dy * dy + dz * dz;
    }
    m_length = length;
}

void SplineCurve::applyBeta(float beta) {
    m_beta = beta;
    m_straightened = true;
    const int32_t n = m_controlCount;
    // A single point has no segment to move towards: its samples stay as they were made.
    if (n < 2) return;
    // Tree paths are short; only a very deep hierarchy needs the heap.
    float onStack[kStackWorkFloats];
    std::unique_ptr<float[]> onHeap;
    float* work = onStack;
    if (size_t(n) > kStackWorkFloats) {
        onHeap.reset(new float[splinerows::paddedRowSize(n)]);
        work = onHeap.get();
    }
    for (int c = 0; c < 3; ++c) {
        evaluateRow(c, work,
                    splinerows::straighten(controlCoords(c), work, m_basis->fractions(), n, beta));
    }
}

void SplineCurve::prefetch() const {
    const char* block = reinterpret_cast<const char*>(m_data);
    // The sample lines are about to be written, the control lines read.
    const size_t samples = (size_t(3) * m_sampleCount * sizeof(float)) & ~size_t(63);
    const size_t total = storageSize(m_controlCount, m_sampleCount) * sizeof(float);
    for (size_t at = 0; at < samples; at += 64) __builtin_prefetch(block + at, 1);
    for (size_t at = samples; at < total; at += 64) __builtin_prefetch(block + at, 0);
}

void SplineCurve::setColors(const Color4& start, const Color4& end) {
    m_startColor = start;
    m_endColor = end;
}

void SplineCurve::writePositions(float* dst) const {
    const float *x = pointCoords(0), *y = pointCoords(1), *z = pointCoords(2);
    for (int32_t j = 0; j < m_sampleCount; ++j) {
        dst[3 * j] = x[j];
        dst[3 * j + 1] = y[j];
        dst[3 * j + 2] = z[j];
    }
}

void SplineCurve::writeColors(float* dst) const {
    const float m = float(m_sampleCount);
    const float alpha = m_startColor[3] / float(m_controlCount);
    for (int32_t j = 0; j < m_sampleCount; ++j) {
        const float s = float(j) / m;
        const float t = 1.0f - s;
        for (int c = 0; c < 3; ++c) dst[4 * j + c] = t * m_startColor[c] + s * m_endColor[c];
        dst[4 * j + 3] = alpha;
    }
}

void SplineCurve::writeTexCoords(float* dst) const {
    for (int32_t j = 0; j < m_sampleCount; ++j) {
        dst[4 * j] = 0;
        dst[4 * j + 1] = 0;
        dst[4 * j + 2] = m_texValue;
        dst[4 * j + 3] = 0;
    }
}
