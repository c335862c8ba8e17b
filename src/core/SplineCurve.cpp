#include "SplineCurve.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
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
//   - the terms after the window meet x != 0 or x = +0, which +-0 leaves unchanged. Only x = -0
//     can turn into +0 there, so such samples finish the sum over the remaining points. (A plain
//     zero is common: the balloon and radial views put every control point at y = 0.)
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

// True when every value is +0 or -0: each step then adds +-0 to +0 and the sum stays +0.
bool allZero(const float* values, int32_t count) {
    bool zero = true;
    for (int32_t i = 0; i < count; ++i) zero &= values[i] == 0.0f;
    return zero;
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

// Completes sample j whose window sum came out as -0 (see above).
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
        if (x == 0 && std::signbit(x)) x = finishTail(basis, src, j, x);
        out[j] = flip ? 1.0f - x : x;
    }
}

#ifdef RAMIFLEX_HAVE_AVX512_PATH
}  // namespace

// The vector kernels are compiled for AVX-512 whatever the rest of the program targets; they are
// only called after the processor has been asked. Clang takes the target per function only.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
// GCC 12's AVX-512 intrinsics start from deliberately undefined registers, which its own
// uninitialised-use analysis then reports.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace {

// Where the eight control values of one window term come from, widened to double.
// Up to 16 points: held as doubles in two registers and picked by one permute.
struct DoublesInRegisters {
    __m512d low, high;
    DoublesInRegisters(const float* src, int32_t n) {
        const uint32_t lowCount = n < 8 ? n : 8;
        low = _mm512_cvtps_pd(
            _mm512_castps512_ps256(_mm512_maskz_loadu_ps(__mmask16((1u << lowCount) - 1u), src)));
        high = _mm512_setzero_pd();
        if (n > 8) {
            high = _mm512_cvtps_pd(_mm512_castps512_ps256(
                _mm512_maskz_loadu_ps(__mmask16((1u << (n - 8)) - 1u), src + 8)));
        }
    }
    __m512d operator()(const BasisTable& basis, int32_t b, int32_t r) const {
        const __m512i index = _mm512_loadu_si512(basis.blockIndices64(b, r));
        return _mm512_permutex2var_pd(low, index, high);
    }
};

// Up to 32 points: held as floats in two registers.
struct FloatsInRegisters {
    __m512 low, high;
    FloatsInRegisters(const float* src, int32_t n) {
        const uint32_t lowCount = n < 16 ? n : 16;
        low = _mm512_maskz_loadu_ps(__mmask16((1u << lowCount) - 1u), src);
        high = _mm512_setzero_ps();
        if (n > 16) high = _mm512_maskz_loadu_ps(__mmask16((1u << (n - 16)) - 1u), src + 16);
    }
    __m512d operator()(const BasisTable& basis, int32_t b, int32_t r) const {
        const __m256i index =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(basis.blockIndices(b, r)));
        return _mm512_cvtps_pd(_mm512_castps512_ps256(
            _mm512_permutex2var_ps(low, _mm512_zextsi256_si512(index), high)));
    }
};

// Longer paths: gathered from memory.
struct Gathered {
    const float* src;
    __m512d operator()(const BasisTable& basis, int32_t b, int32_t r) const {
        const __m256i index =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(basis.blockIndices(b, r)));
        return _mm512_cvtps_pd(_mm256_i32gather_ps(src, index, 4));
    }
};

// G blocks of eight samples from block `first` on. Each step is the scalar step lane by lane:
// widen the float accumulator, add the double product (no fused multiply-add), round back to
// float. The G accumulators are independent, which hides the latency of those conversions.
template <int G, class Fetch>
inline void evaluateGroup(const BasisTable& basis, const Fetch& fetch, int32_t first,
                          const float* src, float* out, bool flip) {
    const int32_t m = basis.sampleCount(), width = basis.windowWidth();
    __m256 acc[G];
#pragma GCC unroll 8
    for (int g = 0; g < G; ++g) {
        // First step: the accumulator is +0, so there is nothing to widen.
        const __m512d product = _mm512_mul_pd(_mm512_loadu_pd(basis.blockWeights(first + g, 0)),
                                              fetch(basis, first + g, 0));
        acc[g] = _mm512_cvtpd_ps(_mm512_add_pd(_mm512_setzero_pd(), product));
    }
    for (int32_t r = 1; r < width; ++r) {
#pragma GCC unroll 8
        for (int g = 0; g < G; ++g) {
            const __m512d product = _mm512_mul_pd(_mm512_loadu_pd(basis.blockWeights(first + g, r)),
                                                  fetch(basis, first + g, r));
            acc[g] = _mm512_cvtpd_ps(_mm512_add_pd(_mm512_cvtps_pd(acc[g]), product));
        }
    }
    const __m256 one = _mm256_set1_ps(1.0f);
#pragma GCC unroll 8
    for (int g = 0; g < G; ++g) {
        const int32_t start = (first + g) * BasisTable::kLanes;
        const int32_t lanes = m - start < BasisTable::kLanes ? m - start : BasisTable::kLanes;
        const __mmask16 valid = __mmask16((1u << lanes) - 1u);
        const __m512 wide = _mm512_zextps256_ps512(acc[g]);
        const __mmask16 negativeZero =
            _mm512_mask_cmp_ps_mask(valid, wide, _mm512_setzero_ps(), _CMP_EQ_OQ) &
            _mm512_test_epi32_mask(_mm512_castps_si512(wide), _mm512_set1_epi32(INT32_MIN));
        __m256 result = acc[g];
        if (negativeZero) {
            alignas(32) float lane[BasisTable::kLanes];
            _mm256_store_ps(lane, result);
            for (int32_t k = 0; k < lanes; ++k) {
                if (negativeZero & (1u << k)) lane[k] = finishTail(basis, src, start + k, lane[k]);
            }
            result = _mm256_load_ps(lane);
        }
        if (flip) result = _mm256_sub_ps(one, result);
        _mm512_mask_storeu_ps(out + start, valid, _mm512_zextps256_ps512(result));
    }
}

template <class Fetch>
void evaluateBlocks(const BasisTable& basis, const Fetch& fetch, const float* src, float* out,
                    bool flip) {
    const int32_t blocks = basis.blockCount();
    int32_t b = 0;
    for (; b + 4 <= blocks; b += 4) evaluateGroup<4>(basis, fetch, b, src, out, flip);
    switch (blocks - b) {
        case 3:
            evaluateGroup<3>(basis, fetch, b, src, out, flip);
            break;
        case 2:
            evaluateGroup<2>(basis, fetch, b, src, out, flip);
            break;
        case 1:
            evaluateGroup<1>(basis, fetch, b, src, out, flip);
            break;
        default:
            break;
    }
}

void evaluateWindowAvx512(const BasisTable& basis, const float* src, float* out, bool flip) {
    const int32_t n = basis.controlCount();
    if (n <= 16) {
        evaluateBlocks(basis, DoublesInRegisters(src, n), src, out, flip);
    } else if (n <= 32) {
        evaluateBlocks(basis, FloatsInRegisters(src, n), src, out, flip);
    } else {
        evaluateBlocks(basis, Gathered{src}, src, out, flip);
    }
}

// allFinite and allZero, sixteen values at a time.
bool allFiniteAvx512(const float* values, int32_t count) {
    const __m512i exponent = _mm512_set1_epi32(0x7f800000);
    __mmask16 bad = 0;
    for (int32_t i = 0; i < count; i += 16) {
        const __mmask16 lanes =
            count - i >= 16 ? __mmask16(0xFFFF) : __mmask16((1u << (count - i)) - 1u);
        const __m512i bits = _mm512_castps_si512(_mm512_maskz_loadu_ps(lanes, values + i));
        bad |= _mm512_mask_cmpeq_epi32_mask(lanes, _mm512_and_si512(bits, exponent), exponent);
    }
    return bad == 0;
}

bool allZeroAvx512(const float* values, int32_t count) {
    for (int32_t i = 0; i < count; i += 16) {
        const __mmask16 lanes =
            count - i >= 16 ? __mmask16(0xFFFF) : __mmask16((1u << (count - i)) - 1u);
        const __m512 v = _mm512_maskz_loadu_ps(lanes, values + i);
        if (_mm512_mask_cmp_ps_mask(lanes, v, _mm512_setzero_ps(), _CMP_EQ_OQ) != lanes) {
            return false;
        }
    }
    return true;
}

// Working points for beta, sixteen at a time; the same single-precision operations in the same
// order as the scalar loop in SplineCurve::applyBeta.
void straightenAvx512(const float* control, float* work, const float* fractions, int32_t n,
                      float beta) {
    const __m512 b = _mm512_set1_ps(beta), keep = _mm512_set1_ps(1.0f - beta);
    const __m512 start = _mm512_set1_ps(control[0]);
    const __m512 span = _mm512_set1_ps(control[n - 1] - control[0]);
    for (int32_t i = 0; i < n; i += 16) {
        const __mmask16 lanes = n - i >= 16 ? __mmask16(0xFFFF) : __mmask16((1u << (n - i)) - 1u);
        const __m512 p = _mm512_maskz_loadu_ps(lanes, control + i);
        const __m512 along = _mm512_maskz_loadu_ps(lanes, fractions + i);
        const __m512 line = _mm512_add_ps(start, _mm512_mul_ps(along, span));
        const __m512 w = _mm512_add_ps(_mm512_mul_ps(b, p), _mm512_mul_ps(keep, line));
        _mm512_mask_storeu_ps(work + i, lanes, w);
    }
}
}  // namespace

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC diagnostic pop
#pragma GCC pop_options
#endif

namespace {
#endif

}  // namespace

void SplineCurve::useVectorUnits(bool enabled) { g_vectorUnitsWanted = enabled; }

bool SplineCurve::vectorUnitsInUse() { return g_vectorUnitsWanted && cpuHasAvx512(); }

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
    for (int c = 0; c < 3; ++c) {
        float* control = const_cast<float*>(controlCoords(c));
        float* copy = work(c);
        for (int32_t i = 0; i < count; ++i) control[i] = copy[i] = points[i][c];
    }
    evaluate();
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
    return {workCoords(0)[i], workCoords(1)[i], workCoords(2)[i]};
}

Point3 SplineCurve::point(int32_t j) const {
    return {pointCoords(0)[j], pointCoords(1)[j], pointCoords(2)[j]};
}

void SplineCurve::evaluate() {
    const BasisTable& basis = *m_basis;
    const bool vector = vectorUnitsInUse();
#ifdef RAMIFLEX_HAVE_AVX512_PATH
    const bool finite = vector ? allFiniteAvx512(workCoords(0), 3 * m_controlCount)
                               : allFinite(workCoords(0), 3 * m_controlCount);
#else
    const bool finite = allFinite(workCoords(0), 3 * m_controlCount);
#endif
    if (!finite) {
        for (int c = 0; c < 3; ++c) evaluateDense(basis, workCoords(c), points(c), c == 1);
        return;
    }
    for (int c = 0; c < 3; ++c) {
        const float* src = workCoords(c);
        float* out = points(c);
#ifdef RAMIFLEX_HAVE_AVX512_PATH
        const bool zero =
            vector ? allZeroAvx512(src, m_controlCount) : allZero(src, m_controlCount);
#else
        const bool zero = allZero(src, m_controlCount);
#endif
        if (zero) {
            // Layouts in a plane leave a coordinate at zero for every point; every sum is then +0.
            std::fill(out, out + m_sampleCount, c == 1 ? 1.0f : 0.0f);
            continue;
        }
#ifdef RAMIFLEX_HAVE_AVX512_PATH
        if (vector) {
            evaluateWindowAvx512(basis, src, out, c == 1);
            continue;
        }
#endif
        evaluateWindow(basis, src, out, c == 1);
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
    const int32_t n = m_controlCount;
    const float* fractions = m_basis->fractions();
    if (n > 1) {
#ifdef RAMIFLEX_HAVE_AVX512_PATH
        if (vectorUnitsInUse()) {
            for (int c = 0; c < 3; ++c)
                straightenAvx512(controlCoords(c), work(c), fractions, n, beta);
            evaluate();
            return;
        }
#endif
        const float keep = 1.0f - beta;
        for (int c = 0; c < 3; ++c) {
            const float* p = controlCoords(c);
            float* w = work(c);
            const float start = p[0], span = p[n - 1] - p[0];
            for (int32_t i = 0; i < n; ++i) {
                w[i] = beta * p[i] + keep * (start + fractions[i] * span);
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
