#include "BasisTable.h"
#include "BezierSpans.h"
#include "SplineCurve.h"

#include <gtest/gtest.h>

#include <random>

// Over generated curves of 1 to 40 control points and bundling strengths from 0 to 1: every
// sample the renderer's spline takes lies on the Bezier chain at its own parameter, and the
// parts a picture cuts the chain into start and end where the chain is at their parameters.
TEST(BezierSpans, EverySampleOfTheSplineLiesOnTheChain) {
    std::mt19937 random(24);
    std::uniform_real_distribution<float> coordinate(-3.0f, 3.0f), unit(0.0f, 1.0f);
    for (int32_t n = 1; n <= 40; ++n) {
        const BasisTable basis(n, 50);
        for (int round = 0; round < 6; ++round) {
            std::vector<Point3> points(n);
            for (Point3& p : points)
                p = {coordinate(random), coordinate(random), coordinate(random)};
            const float beta = round == 0 ? 1.0f : round == 1 ? 0.0f : unit(random);
            SplineCurve curve(&basis, points.data(), n, 0);
            curve.applyBeta(beta);
            const BezierSpans chain = BezierSpans::ofControlPoints(points, beta);
            ASSERT_EQ(chain.spans().size(), size_t(std::max(1, n - 3))) << n;
            for (int32_t j = 0; j < basis.sampleCount(); ++j) {
                const BezierSpans::Point on = chain.at(basis.parameters()[j]);
                for (int c = 0; c < 3; ++c)
                    ASSERT_NEAR(on[c], curve.point(j)[c], 1e-5) << n << " " << j << " " << c;
            }
            // Consecutive spans meet, and parts begin and end on the chain.
            const auto& spans = chain.spans();
            for (size_t s = 1; s < spans.size(); ++s) {
                EXPECT_EQ(spans[s - 1].points[3], spans[s].points[0]) << n;
                EXPECT_EQ(spans[s - 1].to, spans[s].from) << n;
            }
            const double first = chain.firstParameter(), last = chain.lastParameter();
            double from = first + unit(random) * (last - first);
            double to = from + unit(random) * (last - from);
            if (round == 2) from = first, to = last;
            const std::vector<BezierSpans::Span> part = chain.part(from, to);
            if (to <= from) continue;
            ASSERT_FALSE(part.empty()) << n;
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(part.front().points[0][c], chain.at(from)[c], 1e-9) << n;
                EXPECT_NEAR(part.back().points[3][c], chain.at(to)[c], 1e-9) << n;
                for (const BezierSpans::Span& span : part) {
                    const double middle = (span.from + span.to) / 2;
                    EXPECT_NEAR(BezierSpans::pointOf(span, 0.5)[c], chain.at(middle)[c], 1e-9);
                }
            }
        }
    }
}
