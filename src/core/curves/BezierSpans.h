#pragma once

#include "SplineCurve.h"

#include <array>
#include <cstdint>
#include <vector>

// A relation curve as the chain of cubic Bezier spans it is made of, for pictures that keep
// curves as curves (SVG, PDF) instead of as the renderer's samples.
//
// The renderer's curve through n working points is a clamped B-spline on integer knots: cubic
// for four or more points, quadratic for three, the segment for two, the point for one. Inserting
// every interior knot until it is as many-fold as the degree (Boehm) turns the spline's control
// polygon into the Bezier control points of its knot spans, so the chain is the spline itself,
// not an approximation of it. The quadratic is raised to a cubic, which is exact as well.
//
// Points are drawn points: the y flip of the samples is applied. Parameters are the spline's
// own (BasisTable::parameters), so the chain at parameter t is the sample taken at t.
class BezierSpans {
public:
    using Point = std::array<double, 3>;
    struct Span {
        std::array<Point, 4> points;
        double from, to;  // the spline parameters the span covers
    };

    // The curve through n >= 1 working points, as SplineCurve evaluates it (before the flip).
    BezierSpans(const Point3* workPoints, int32_t n);
    // The curve of these control points straightened by beta, as the renderer draws it.
    static BezierSpans ofControlPoints(const std::vector<Point3>& controlPoints, float beta);

    const std::vector<Span>& spans() const { return m_spans; }
    double firstParameter() const { return m_spans.front().from; }
    double lastParameter() const { return m_spans.back().to; }
    // The drawn point at parameter t, clamped to the chain.
    Point at(double t) const;
    // The spans of the part of the chain between parameters from <= to.
    std::vector<Span> part(double from, double to) const;

    // The span's point at u in [0, 1] (de Casteljau).
    static Point pointOf(const Span& span, double u);
    // The two halves of a span at u in (0, 1).
    static std::array<Span, 2> split(const Span& span, double u);

private:
    void addCubicSpans(const std::vector<Point>& points);

    std::vector<Span> m_spans;
};
