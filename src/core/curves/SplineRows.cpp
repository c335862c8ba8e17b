#include "SplineRows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define RAMIFLEX_HAVE_AVX512_PATH 1
#endif

// Why a window of the sum is enough
// ---------------------------------
// Only a window of at most `order` consecutive points has non-zero weights; the other terms add
// w * p with w = +-0. Skipping them gives the same bits when
//   - every p of the row is finite (0 * p is then +-0), and
//   - the terms before the window meet x = +0, and +0 + (+-0) = +0;
//   - the terms after the window meet x != 0 or x = +0, which +-0 leaves unchanged. Only x = -0
//     can turn into +0 there, so such samples finish the sum over the remaining points.
// A row with a non-finite working point is summed over all points.

namespace splinerows {
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

uint32_t bitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The bits of two consecutive floats as one word.
uint64_t pairAt(const float* values) {
    uint64_t bits;
    std::memcpy(&bits, values, sizeof bits);
    return bits;
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
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

namespace {

__mmask16 firstLanes(int32_t count) {
    return count >= 16 ? __mmask16(0xFFFF) : __mmask16((1u << count) - 1u);
}

// The block tables of a basis through plain pointers, so that with the window width known at
// compile time every term of a block is found at a constant offset. Term s = block * width + r.
struct Blocks {
    const double* weights;
    const int64_t* offsets;
    const int32_t* indices;
    const int32_t* bases;
    explicit Blocks(const BasisTable& basis)
        : weights(basis.blockWeights(0, 0)),
          offsets(basis.blockOffsets(0, 0)),
          indices(basis.blockIndices(0, 0)),
          bases(basis.blockBases()) {}
};

// The row widened to double once, so that each term of a block is a single permute of the
// sixteen points the block reads. Padded with zeros: a block's run may reach past the last point.
struct WindowOfDoubles {
    const double* points;
    __m512d operator()(const Blocks& blocks, int32_t b, size_t s) const {
        const double* run = points + blocks.bases[b];
        const __m512i offsets = _mm512_loadu_si512(blocks.offsets + s * BasisTable::kLanes);
        return _mm512_permutex2var_pd(_mm512_loadu_pd(run), offsets, _mm512_loadu_pd(run + 8));
    }
};

// Rows too long for that: each term gathered from memory.
struct Gathered {
    const float* src;
    __m512d operator()(const Blocks& blocks, int32_t, size_t s) const {
        const __m256i index = _mm256_loadu_si256(
            reinterpret_cast<const __m256i*>(blocks.indices + s * BasisTable::kLanes));
        return _mm512_cvtps_pd(_mm256_i32gather_ps(src, index, 4));
    }
};

// G blocks of eight samples from block `first` on, with window width W. Each step is the scalar
// step lane by lane: widen the float accumulator, add the double product (no fused
// multiply-add), round back to float. The G accumulators are independent, which hides the
// latency of those conversions.
template <int G, int W, class Fetch>
inline void evaluateGroup(const BasisTable& basis, const Blocks& blocks, const Fetch& fetch,
                          int32_t first, const float* src, float* out, bool flip) {
    __m256 acc[G];
#pragma GCC unroll 8
    for (int g = 0; g < G; ++g) {
        // First step: the accumulator is +0, so there is nothing to widen.
        const size_t s = size_t(first + g) * W;
        const __m512d product = _mm512_mul_pd(
            _mm512_loadu_pd(blocks.weights + s * BasisTable::kLanes), fetch(blocks, first + g, s));
        acc[g] = _mm512_cvtpd_ps(_mm512_add_pd(_mm512_setzero_pd(), product));
    }
#pragma GCC unroll 4
    for (int r = 1; r < W; ++r) {
#pragma GCC unroll 8
        for (int g = 0; g < G; ++g) {
            const size_t s = size_t(first + g) * W + r;
            const __m512d product =
                _mm512_mul_pd(_mm512_loadu_pd(blocks.weights + s * BasisTable::kLanes),
                              fetch(blocks, first + g, s));
            acc[g] = _mm512_cvtpd_ps(_mm512_add_pd(_mm512_cvtps_pd(acc[g]), product));
        }
    }
    const int32_t m = basis.sampleCount();
    const __m256 one = _mm256_set1_ps(1.0f);
#pragma GCC unroll 8
    for (int g = 0; g < G; ++g) {
        const int32_t start = (first + g) * BasisTable::kLanes;
        const int32_t lanes = std::min<int32_t>(m - start, BasisTable::kLanes);
        const __mmask16 valid = firstLanes(lanes);
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

// The last `remaining` blocks from block `first` (0 <= remaining <= G), as one group.
template <int G, int W, class Fetch>
void evaluateLastGroup(int32_t remaining, const BasisTable& basis, const Blocks& blocks,
                       const Fetch& fetch, int32_t first, const float* src, float* out, bool flip) {
    if constexpr (G > 0) {
        if (remaining == G) {
            evaluateGroup<G, W>(basis, blocks, fetch, first, src, out, flip);
        } else {
            evaluateLastGroup<G - 1, W>(remaining, basis, blocks, fetch, first, src, out, flip);
        }
    }
}

// Groups of eight blocks; 50 samples make one group of seven.
template <int W, class Fetch>
void evaluateBlocks(const BasisTable& basis, const Fetch& fetch, const float* src, float* out,
                    bool flip) {
    const Blocks blocks(basis);
    const int32_t count = basis.blockCount();
    int32_t b = 0;
    for (; b + 8 <= count; b += 8) evaluateGroup<8, W>(basis, blocks, fetch, b, src, out, flip);
    evaluateLastGroup<7, W>(count - b, basis, blocks, fetch, b, src, out, flip);
}

// The window is as wide as the spline's order: 1 to 4.
template <class Fetch>
void evaluateBlocks(const BasisTable& basis, const Fetch& fetch, const float* src, float* out,
                    bool flip) {
    switch (basis.windowWidth()) {
        case 1:
            return evaluateBlocks<1>(basis, fetch, src, out, flip);
        case 2:
            return evaluateBlocks<2>(basis, fetch, src, out, flip);
        case 3:
            return evaluateBlocks<3>(basis, fetch, src, out, flip);
        default:
            return evaluateBlocks<4>(basis, fetch, src, out, flip);
    }
}

// Rows of up to this many points are widened on the stack.
constexpr int32_t kWidenedPoints = 64;

void evaluateWindowAvx512(const BasisTable& basis, const float* src, float* out, bool flip) {
    const int32_t n = basis.controlCount();
    if (n > kWidenedPoints || !basis.blocksSpanSixteen()) {
        evaluateBlocks(basis, Gathered{src}, src, out, flip);
        return;
    }
    alignas(64) double points[kWidenedPoints + 16];
    // Whole loads where the row allows: the straightened row was just stored, and a masked load
    // waits for that store to reach the cache instead of taking its value on the way.
    int32_t i = 0;
    for (; i + 8 <= n; i += 8)
        _mm512_store_pd(points + i, _mm512_cvtps_pd(_mm256_loadu_ps(src + i)));
    for (; i < n + 16; i += 8) {
        const __mmask16 lanes = firstLanes(std::max(0, std::min(8, n - i)));
        _mm512_store_pd(
            points + i,
            _mm512_cvtps_pd(_mm512_castps512_ps256(_mm512_maskz_loadu_ps(lanes, src + i))));
    }
    evaluateBlocks(basis, WindowOfDoubles{points}, src, out, flip);
}

Facts factsOf(__mmask16 nonFinite, __mmask16 nonZero) {
    return (nonFinite ? 0 : kFinite) | (nonZero ? 0 : kZero);
}

// Facts of sixteen values under a mask, added to those gathered so far.
void noteFacts(__m512 values, __mmask16 lanes, __mmask16& nonFinite, __mmask16& nonZero) {
    const __m512i bits = _mm512_castps_si512(values);
    const __m512i exponent = _mm512_set1_epi32(0x7f800000);
    nonFinite |= _mm512_mask_cmpeq_epi32_mask(lanes, _mm512_and_si512(bits, exponent), exponent);
    nonZero |= _mm512_mask_cmp_ps_mask(lanes, values, _mm512_setzero_ps(), _CMP_NEQ_UQ);
}

Facts examineAvx512(const float* row, int32_t n) {
    __mmask16 nonFinite = 0, nonZero = 0;
    for (int32_t i = 0; i < n; i += 16) {
        const __mmask16 lanes = firstLanes(n - i);
        noteFacts(_mm512_maskz_loadu_ps(lanes, row + i), lanes, nonFinite, nonZero);
    }
    return factsOf(nonFinite, nonZero);
}

// The same single-precision operations in the same order as the scalar straighten.
Facts straightenAvx512(const float* control, float* work, const float* fractions, int32_t n,
                       float beta) {
    const __m512 b = _mm512_set1_ps(beta), keep = _mm512_set1_ps(1.0f - beta);
    const __m512 start = _mm512_set1_ps(control[0]);
    const __m512 span = _mm512_set1_ps(control[n - 1] - control[0]);
    __mmask16 nonFinite = 0, nonZero = 0;
    for (int32_t i = 0; i < n; i += 16) {
        const __mmask16 lanes = firstLanes(n - i);
        const __m512 p = _mm512_maskz_loadu_ps(lanes, control + i);
        const __m512 along = _mm512_maskz_loadu_ps(lanes, fractions + i);
        const __m512 line = _mm512_add_ps(start, _mm512_mul_ps(along, span));
        const __m512 w = _mm512_add_ps(_mm512_mul_ps(b, p), _mm512_mul_ps(keep, line));
        // A whole store, zeros past the row, for the same reason as the loads that follow it.
        _mm512_storeu_ps(work + i, _mm512_maskz_mov_ps(lanes, w));
        noteFacts(w, lanes, nonFinite, nonZero);
    }
    return factsOf(nonFinite, nonZero);
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

Facts examineScalar(const float* row, int32_t n) {
    bool finite = true, zero = true;
    for (int32_t i = 0; i < n; ++i) {
        finite &= (bitsOf(row[i]) & 0x7f800000u) != 0x7f800000u;
        zero &= row[i] == 0.0f;
    }
    return (finite ? kFinite : 0) | (zero ? kZero : 0);
}

// The samples of recently seen rows, by the rows' bits. Direct-mapped: a row that lands on an
// occupied slot replaces its occupant.
class RowMemo {
public:
    const float* find(const BasisTable& basis, const float* row, bool flip, size_t hash) const {
        const Slot& slot = m_slots[hash % kSlots];
        const size_t n = size_t(basis.controlCount());
        const bool same = slot.flip == flip && slot.row.size() == n &&
                          slot.samples.size() == size_t(basis.sampleCount()) &&
                          std::memcmp(slot.row.data(), row, n * sizeof(float)) == 0;
        return same ? slot.samples.data() : nullptr;
    }
    void keep(const BasisTable& basis, const float* row, bool flip, size_t hash,
              const float* samples) {
        Slot& slot = m_slots[hash % kSlots];
        slot.flip = flip;
        slot.row.assign(row, row + basis.controlCount());
        slot.samples.assign(samples, samples + basis.sampleCount());
    }
    // Two words per multiplication, on two independent chains.
    static size_t hashOf(const float* row, int32_t n) {
        constexpr uint64_t kPrime = 0x100000001b3ull;
        uint64_t even = uint64_t(n), odd = ~uint64_t(n);
        int32_t i = 0;
        for (; i + 4 <= n; i += 4) {
            even = (even ^ pairAt(row + i)) * kPrime;
            odd = (odd ^ pairAt(row + i + 2)) * kPrime;
        }
        for (; i < n; ++i) even = (even ^ bitsOf(row[i])) * kPrime;
        const uint64_t hash = even ^ (odd * 0x9e3779b97f4a7c15ull);
        return size_t(hash ^ (hash >> 29));
    }

private:
    static constexpr size_t kSlots = 1024;
    struct Slot {
        bool flip = false;
        std::vector<float> row;
        std::vector<float> samples;
    };
    std::vector<Slot> m_slots = std::vector<Slot>(kSlots);
};

thread_local RowMemo t_rowMemo;

// Longer rows are too rare to be worth remembering.
constexpr int32_t kLongestRemembered = 64;

void evaluateWindowed(const BasisTable& basis, const float* work, float* out, bool flip) {
#ifdef RAMIFLEX_HAVE_AVX512_PATH
    if (vectorUnitsInUse()) {
        evaluateWindowAvx512(basis, work, out, flip);
        return;
    }
#endif
    evaluateWindow(basis, work, out, flip);
}

}  // namespace

Facts examine(const float* row, int32_t n) {
#ifdef RAMIFLEX_HAVE_AVX512_PATH
    if (vectorUnitsInUse()) return examineAvx512(row, n);
#endif
    return examineScalar(row, n);
}

Facts straighten(const float* control, float* work, const float* fractions, int32_t n, float beta) {
#ifdef RAMIFLEX_HAVE_AVX512_PATH
    if (vectorUnitsInUse()) return straightenAvx512(control, work, fractions, n, beta);
#endif
    for (int32_t i = 0; i < n; ++i) work[i] = workingPoint(control, fractions, n, beta, i);
    return examineScalar(work, n);
}

void evaluate(const BasisTable& basis, const float* work, Facts facts, float* out, bool flip) {
    const int32_t m = basis.sampleCount();
    if (!(facts & kFinite)) {
        evaluateDense(basis, work, out, flip);
    } else if (facts & kZero) {
        // Layouts in a plane leave a coordinate at zero for every point; every sum is then +0.
        std::fill(out, out + m, flip ? 1.0f : 0.0f);
    } else {
        evaluateWindowed(basis, work, out, flip);
    }
}

void evaluateRecurring(const BasisTable& basis, const float* work, Facts facts, float* out,
                       bool flip) {
    if ((facts & (kFinite | kZero)) != kFinite || basis.controlCount() > kLongestRemembered) {
        evaluate(basis, work, facts, out, flip);
        return;
    }
    const size_t hash = RowMemo::hashOf(work, basis.controlCount());
    if (const float* known = t_rowMemo.find(basis, work, flip, hash)) {
        std::copy(known, known + basis.sampleCount(), out);
        return;
    }
    evaluateWindowed(basis, work, out, flip);
    t_rowMemo.keep(basis, work, flip, hash, out);
}

void useVectorUnits(bool enabled) { g_vectorUnitsWanted = enabled; }

bool vectorUnitsInUse() { return g_vectorUnitsWanted && cpuHasAvx512(); }

}  // namespace splinerows
