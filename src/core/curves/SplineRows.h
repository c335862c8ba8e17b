#pragma once

#include "BasisTable.h"

#include <cstddef>
#include <cstdint>

// The arithmetic of one coordinate row of a curve (its n x, y or z values): working points from
// control points, and samples from working points. Rows are independent of each other.
//
// Every operation has a scalar definition and, where the processor has AVX-512, a vectorised
// path that gives the same bits.
namespace splinerows {

// What evaluation may rely on about a row of working points, one bit each. (A plain mask: the
// kernels return it in a register.)
using Facts = unsigned;
constexpr Facts kFinite = 1;  // no Inf or NaN
constexpr Facts kZero = 2;    // every value is +0 or -0

Facts examine(const float* row, int32_t n);

// Working point i of a row of n >= 2 control points p: p[i] moved towards its place on the
// segment between the ends, in single precision and in this order.
inline float workingPoint(const float* p, const float* fractions, int32_t n, float beta,
                          int32_t i) {
    return beta * p[i] + (1.0f - beta) * (p[0] + fractions[i] * (p[n - 1] - p[0]));
}

// Floats straighten may write for a row of n points: n rounded up to whole runs of sixteen.
constexpr size_t paddedRowSize(int32_t n) { return (size_t(n) + 15) / 16 * 16; }

// work[i] = workingPoint(control, fractions, n, beta, i) for every i; n >= 2. work must hold
// paddedRowSize(n) floats; those past n may be overwritten. Returns the facts of the working
// points.
Facts straighten(const float* control, float* work, const float* fractions, int32_t n, float beta);

// Sample j: the float accumulation over control points in order,
//     float x = 0; for i in 0..n-1: x += weight(i, j) * work[i];
// (a double product, each step rounded once), stored as 1 - x when flip is set.
void evaluate(const BasisTable& basis, const float* work, Facts facts, float* out, bool flip);

// evaluate for rows that recur across curves: each thread remembers the samples of recent rows
// and copies them when the same bits come again.
void evaluateRecurring(const BasisTable& basis, const float* work, Facts facts, float* out,
                       bool flip);

// Turns the vector units off (false) or back on where the processor has them.
void useVectorUnits(bool enabled);
bool vectorUnitsInUse();

}  // namespace splinerows
