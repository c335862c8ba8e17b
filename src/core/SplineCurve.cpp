#include "SplineCurve.h"

#include <cstring>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define RAMIFLEX_HAVE_AVX512_PATH 1
#endif

// How the samples are evaluated
// -----------------------------
// Sample j of one coordinate is the float accumulation, in control-point order,
//     float x = 0; for i in 0..n-1: x += w[i][j] * p[i];   (w double, so each step rounds once)
// Only a window of at most `order` consecutive points has non-zero weights; the other terms add
// w * p with w = +-0. Skipping them gives the same bits when
//   - every p is finite (0 * p is then +-0), and
//   - the terms before the window meet x = +0, and +0 + (+-0) = +0;
//   - the terms after the window meet x != 0, which +-0 leaves unchanged. When x is +-0 there
//     the sign of the zero could change, so such samples finish the sum over the remaining points.
// A curve with a non-finite working point is evaluated over all points.

namespace {

bool g_vectorUnitsWanted = true;

bool cpuHasAvx512() {
#ifdef RAMIFLEX_HAVE_AVX512_PATH
    static const bool has = __builtin_cpu_supports("avx512f");
    return has;
#else
    return false;
#endif
}

bool allFinite(const float* values, int32_t count) {
    bool finite = true;
    for (int32_t i = 0; i < count; ++i) {
        uint32_t bits;
        std::memcpy(&bits, &values[i], sizeof bits);
        finite &= (bits & 0x7f800000u) != 0x7f800000u;
    }
    return finite;
}

// The full sum over all control points: the definition itself.
void evaluateDense(const BasisTable& basis, const float* src, float* out, bool flip) {
    const int32_t n = basis.controlCount(), m = basis.sampleCount();
    for (int32_t j = 0; j < m; ++j) {
        float x = 0;
        for (int32_t i = 0; i < n; ++i) x += basis.weight(i, j) * src[i];
        out[j] = flip ? 1.0f - x : x;
    }
}

// Completes sample j whose window sum came out as +-0 (see above).
float finishTail(const BasisTable& basis, const float* src, int32_t j, float x) {
    const int32_t n = basis.controlCount();
    for (int32_t i = basis.windowStart(j) + basis.windowWidth(); i < n; ++i) {
        x += basis.weight(i, j) * src[i];
    }
    return x;
}

void evaluateWindow(const BasisTable& basis, const float* src, float* out, bool flip) {
    const int32_t m = basis.sampleCount(), width = basis.windowWidth();
    for (int32_t j = 0; j < m; ++j) {
        const float* p = src + basis.windowStart(j);
        const double* w = basis.windowWeights(j);
        float x = 0;
        for (int32_t r = 0; r < width; ++r) x += w[r] * p[r];
        if (x == 0) x = finishTail(basis, src, j, x);
        out[j] = flip ? 1.0f - x : x;
    }
}

#ifdef RAMIFLEX_HAVE_AVX512_PATH
// GCC 12's AVX-512 intrinsics start from deliberately undefined registers, which its own
// uninitialised-use analysis then reports.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
// The window sum for eight samples at a time. Each step is the scalar step lane by lane: widen the
// float accumulator, add the double product (no fused multiply-add), round back to float.
__attribute__((target("avx512f"))) void evaluateWindowAvx512(const BasisTable& basis,
                                                             const float* src, float* out,
                                                             bool flip) {
    const int32_t n = basis.controlCount(), m = basis.sampleCount();
    const int32_t width = basis.windowWidth(), blocks = basis.blockCount();
    // Up to 32 control points stay in two registers and are picked by permutes; longer paths are
    // gathered from memory.
    __m512 low = _mm512_setzero_ps(), high = _mm512_setzero_ps();
    const bool inRegisters = n <= 32;
    if (inRegisters) {
        const uint32_t lowCount = n < 16 ? n : 16;
        low = _mm512_maskz_loadu_ps(__mmask16((1u << lowCount) - 1u), src);
        if (n > 16) high = _mm512_maskz_loadu_ps(__mmask16((1u << (n - 16)) - 1u), src + 16);
    }
    const __m256 one = _mm256_set1_ps(1.0f);
    for (int32_t b = 0; b < blocks; ++b) {
        __m256 acc = _mm256_setzero_ps();
        for (int32_t r = 0; r < width; ++r) {
            const __m256i index =
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(basis.blockIndices(b, r)));
            __m256 p;
            if (inRegisters) {
                p = _mm512_castps512_ps256(
                    _mm512_permutex2var_ps(low, _mm512_zextsi256_si512(index), high));
            } else {
                p = _mm256_i32gather_ps(src, index, 4);
            }
            const __m512d product =
                _mm512_mul_pd(_mm512_loadu_pd(basis.blockWeights(b, r)), _mm512_cvtps_pd(p));
            acc = _mm512_cvtpd_ps(_mm512_add_pd(_mm512_cvtps_pd(acc), product));
        }
        const int32_t first = b * BasisTable::kLanes;
        const int32_t lanes = m - first < BasisTable::kLanes ? m - first : BasisTable::kLanes;
        const __mmask16 valid = __mmask16((1u << lanes) - 1u);
        const __mmask16 zero = _mm512_mask_cmp_ps_mask(valid, _mm512_zextps256_ps512(acc),
                                                       _mm512_setzero_ps(), _CMP_EQ_OQ);
        if (zero) {
            alignas(32) float lane[BasisTable::kLanes];
            _mm256_store_ps(lane, acc);
            for (int32_t k = 0; k < lanes; ++k) {
                if (zero & (1u << k)) lane[k] = finishTail(basis, src, first + k, lane[k]);
            }
            acc = _mm256_load_ps(lane);
        }
        if (flip) acc = _mm256_sub_ps(one, acc);
        _mm512_mask_storeu_ps(out + first, valid, _mm512_zextps256_ps512(acc));
    }
}
#pragma GCC diagnostic pop
#endif

}  // namespace

void SplineCurve::useVectorUnits(bool enabled) { g_vectorUnitsWanted = enabled; }

bool SplineCurve::vectorUnitsInUse() { return g_vectorUnitsWanted && cpuHasAvx512(); }

SplineCurve::SplineCurve(const BasisTable* basis, const Point3* points, int32_t count, float edgeId)
    : m_basis(basis),
      m_controlCount(count),
      m_sampleCount(basis->sampleCount()),
      m_edgeId(edgeId),
      // The creation ramp (0, 1 - s, s, 1 / n) is the general gradient from green to blue.
      m_startColor{0, 1, 0, 1},
      m_endColor{0, 0, 1, 1},
      m_data(new float[size_t(6) * count + size_t(3) * basis->sampleCount()]) {
    float* data = m_data.get();
    for (int32_t i = 0; i < count; ++i) {
        for (int c = 0; c < 3; ++c) {
            data[size_t(c) * count + i] = points[i][c];
            data[size_t(3 + c) * count + i] = points[i][c];
        }
    }
    evaluate();
    computeLength();
}

Point3 SplineCurve::controlPoint(int32_t i) const {
    return {controlCoords(0)[i], controlCoords(1)[i], controlCoords(2)[i]};
}

Point3 SplineCurve::workPoint(int32_t i) const {
    return {workCoords(0)[i], workCoords(1)[i], workCoords(2)[i]};
}

Point3 SplineCurve::point(int32_t j) const {
    return {pointCoords(0)[j], pointCoords(1)[j], pointCoords(2)[j]};
}

void SplineCurve::evaluate() {
    const BasisTable& basis = *m_basis;
    if (!allFinite(workCoords(0), 3 * m_controlCount)) {
        for (int c = 0; c < 3; ++c) evaluateDense(basis, workCoords(c), points(c), c == 1);
        return;
    }
#ifdef RAMIFLEX_HAVE_AVX512_PATH
    if (vectorUnitsInUse()) {
        for (int c = 0; c < 3; ++c) evaluateWindowAvx512(basis, workCoords(c), points(c), c == 1);
        return;
    }
#endif
    for (int c = 0; c < 3; ++c) evaluateWindow(basis, workCoords(c), points(c), c == 1);
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
    const int32_t n = m_controlCount;
    if (n > 1) {
        const float keep = 1.0f - beta;
        const float last = float(n - 1);
        for (int c = 0; c < 3; ++c) {
            const float* p = controlCoords(c);
            float* w = work(c);
            const float start = p[0], span = p[n - 1] - p[0];
            for (int32_t i = 0; i < n; ++i) {
                const float along = float(i) / last;
                w[i] = beta * p[i] + keep * (start + along * span);
            }
        }
    }
    evaluate();
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
