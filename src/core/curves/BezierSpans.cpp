#include "BezierSpans.h"

#include "SplineRows.h"

#include <algorithm>

namespace {

using Point = BezierSpans::Point;

Point mix(const Point& a, const Point& b, double u) {
    return {a[0] + u * (b[0] - a[0]), a[1] + u * (b[1] - a[1]), a[2] + u * (b[2] - a[2])};
}

// The clamped cubic knots of n points: four zeros, 1 .. n-4, four times n-3.
std::vector<double> clampedCubicKnots(int32_t n) {
    std::vector<double> knots(4, 0.0);
    for (int32_t i = 1; i <= n - 4; ++i) knots.push_back(i);
    knots.insert(knots.end(), 4, double(n - 3));
    return knots;
}

// Boehm's insertion of knot u, which lies in [knots[k], knots[k + 1]), into a cubic B-spline.
void insertKnot(std::vector<double>& knots, std::vector<Point>& points, size_t k, double u) {
    std::vector<Point> inserted;
    inserted.reserve(points.size() + 1);
    for (size_t i = 0; i <= k - 3; ++i) inserted.push_back(points[i]);
    for (size_t i = k - 2; i <= k; ++i) {
        const double a = (u - knots[i]) / (knots[i + 3] - knots[i]);
        inserted.push_back(mix(points[i - 1], points[i], a));
    }
    for (size_t i = k; i < points.size(); ++i) inserted.push_back(points[i]);
    points.swap(inserted);
    knots.insert(knots.begin() + k + 1, u);
}

}  // namespace

BezierSpans::BezierSpans(const Point3* work, int32_t n) {
    n = std::max<int32_t>(n, 1);
    std::vector<Point> points;
    for (int32_t i = 0; i < n; ++i) {
        // The y axis points down in the picture; the flip is affine, so the flipped control
        // points are the control points of the flipped curve.
        points.push_back({work[i][0], 1.0 - double(work[i][1]), work[i][2]});
    }
    if (n == 1) {
        m_spans.push_back({{points[0], points[0], points[0], points[0]}, 0.0, 1.0});
    } else if (n == 2) {
        m_spans.push_back({{points[0], mix(points[0], points[1], 1.0 / 3.0),
                            mix(points[0], points[1], 2.0 / 3.0), points[1]},
                           0.0,
                           1.0});
    } else if (n == 3) {
        // A clamped quadratic on three points is one quadratic Bezier; raised to a cubic.
        m_spans.push_back({{points[0], mix(points[0], points[1], 2.0 / 3.0),
                            mix(points[2], points[1], 2.0 / 3.0), points[2]},
                           0.0,
                           1.0});
    } else {
        addCubicSpans(points);
    }
}

void BezierSpans::addCubicSpans(const std::vector<Point>& control) {
    const int32_t n = int32_t(control.size());
    std::vector<double> knots = clampedCubicKnots(n);
    std::vector<Point> points = control;
    // Every interior knot made threefold. Knot t sits at index 3 + t, moved on by the two copies
    // each knot before it gained: 3t + 1.
    for (int32_t t = 1; t <= n - 4; ++t) {
        const size_t k = size_t(3 * t + 1);
        for (int copy = 0; copy < 2; ++copy) insertKnot(knots, points, k + copy, double(t));
    }
    for (int32_t s = 0; s < n - 3; ++s) {
        const size_t first = size_t(3 * s);
        m_spans.push_back({{points[first], points[first + 1], points[first + 2], points[first + 3]},
                           double(s),
                           double(s + 1)});
    }
}

BezierSpans BezierSpans::ofControlPoints(const std::vector<Point3>& controls, float beta) {
    const int32_t n = int32_t(controls.size());
    if (n < 2) return BezierSpans(controls.empty() ? nullptr : controls.data(), n);
    // The working points in single precision and in the order the renderer computes them.
    std::vector<float> fractions(n), row(n);
    for (int32_t i = 0; i < n; ++i) fractions[i] = float(i) / float(n - 1);
    std::vector<Point3> work(n);
    for (int c = 0; c < 3; ++c) {
        for (int32_t i = 0; i < n; ++i) row[i] = controls[i][c];
        for (int32_t i = 0; i < n; ++i) {
            work[i][c] = splinerows::workingPoint(row.data(), fractions.data(), n, beta, i);
        }
    }
    return BezierSpans(work.data(), n);
}

BezierSpans::Point BezierSpans::pointOf(const Span& span, double u) {
    const auto& p = span.points;
    const Point a = mix(p[0], p[1], u), b = mix(p[1], p[2], u), c = mix(p[2], p[3], u);
    return mix(mix(a, b, u), mix(b, c, u), u);
}

std::array<BezierSpans::Span, 2> BezierSpans::split(const Span& span, double u) {
    const auto& p = span.points;
    const Point a = mix(p[0], p[1], u), b = mix(p[1], p[2], u), c = mix(p[2], p[3], u);
    const Point d = mix(a, b, u), e = mix(b, c, u), f = mix(d, e, u);
    const double middle = span.from + u * (span.to - span.from);
    return {Span{{p[0], a, d, f}, span.from, middle}, Span{{f, e, c, p[3]}, middle, span.to}};
}

BezierSpans::Point BezierSpans::at(double t) const {
    t = std::clamp(t, firstParameter(), lastParameter());
    // Spans are unit intervals from 0 on; the last one also holds its end.
    const size_t s = std::min(size_t(t - firstParameter()), m_spans.size() - 1);
    const Span& span = m_spans[s];
    return pointOf(span, (t - span.from) / (span.to - span.from));
}

std::vector<BezierSpans::Span> BezierSpans::part(double from, double to) const {
    std::vector<Span> result;
    for (const Span& span : m_spans) {
        if (span.to <= from || span.from >= to) continue;
        Span piece = span;
        if (from > piece.from)
            piece = split(piece, (from - piece.from) / (piece.to - piece.from))[1];
        if (to < piece.to) piece = split(piece, (to - piece.from) / (piece.to - piece.from))[0];
        result.push_back(piece);
    }
    return result;
}
