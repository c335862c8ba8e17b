// Label placement without GL: over seeded random candidates of every style, no two kept boxes
// share a point, every kept box lies inside the picture, labels read left to right, and a
// candidate is dropped only for a box already kept or for the picture's edge.
#include "LabelPlacement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using Box = std::array<float, 8>;

// Whether (x, y) lies strictly inside the convex box, whatever the corners' turning direction.
bool strictlyInside(const Box& box, float x, float y) {
    int sign = 0;
    for (int k = 0; k < 8; k += 2) {
        const int next = (k + 2) % 8;
        const float cross =
            (box[next] - box[k]) * (y - box[k + 1]) - (box[next + 1] - box[k + 1]) * (x - box[k]);
        if (std::fabs(cross) < 1e-3f) return false;
        const int s = cross > 0 ? 1 : -1;
        if (sign != 0 && s != sign) return false;
        sign = s;
    }
    return true;
}

// Points spread over a box: a 9 x 5 grid between its corners, edges left out.
std::vector<std::pair<float, float>> samples(const Box& b) {
    std::vector<std::pair<float, float>> points;
    for (int i = 1; i < 10; ++i) {
        for (int j = 1; j < 6; ++j) {
            const float u = i / 10.0f, v = j / 6.0f;
            const float x0 = b[0] + u * (b[2] - b[0]), y0 = b[1] + u * (b[3] - b[1]);
            const float x1 = b[6] + u * (b[4] - b[6]), y1 = b[7] + u * (b[5] - b[7]);
            points.emplace_back(x0 + v * (x1 - x0), y0 + v * (y1 - y0));
        }
    }
    return points;
}

}  // namespace

TEST(LabelPlacement, KeepsBoxesApartInsideThePictureByPriority) {
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> x(-20, 660), y(-20, 500), angle(0, 6.2831853f);
        std::vector<LabelPlacement::Candidate> candidates;
        for (uint32_t id = 0; id < 400; ++id) {
            // Braced members are drawn in their order, the direction's angle first.
            const float a = angle(random);
            candidates.push_back({id, x(random), y(random), 10 + float(random() % 90), 12,
                                  int(random() % 3),
                                  static_cast<LabelPlacement::Style>(random() % 3), std::cos(a),
                                  std::sin(a), float(random() % 120), float(random() % 30)});
        }
        const LabelPlacement placement(640, 480);
        const std::vector<LabelPlacement::Placed> placed = placement.place(candidates);
        ASSERT_GT(placed.size(), 20u);
        std::vector<bool> kept(candidates.size());
        int lastPriority = 0;
        for (const LabelPlacement::Placed& label : placed) {
            kept[label.id] = true;
            // Kept in priority order, reading left to right (or straight up).
            EXPECT_GE(candidates[label.id].priority, lastPriority);
            lastPriority = candidates[label.id].priority;
            EXPECT_GE(label.directionX, 0.0f);
            if (label.directionX == 0.0f) {
                EXPECT_LT(label.directionY, 0.0f);
            }
            for (int k = 0; k < 8; k += 2) {
                EXPECT_TRUE(label.corners[k] >= 0 && label.corners[k] <= 640) << label.id;
                EXPECT_TRUE(label.corners[k + 1] >= 0 && label.corners[k + 1] <= 480) << label.id;
            }
            const LabelPlacement::Candidate& c = candidates[label.id];
            if (c.style == LabelPlacement::Style::Inside) {
                EXPECT_TRUE(c.width <= c.cellWidth && c.height <= c.cellHeight) << label.id;
            }
        }
        for (size_t i = 0; i < placed.size(); ++i) {
            for (size_t j = i + 1; j < placed.size(); ++j) {
                for (const auto& [px, py] : samples(placed[i].corners)) {
                    ASSERT_FALSE(strictlyInside(placed[j].corners, px, py))
                        << placed[i].id << " and " << placed[j].id;
                }
            }
        }
        // The highest-priority candidate that fits the picture is always kept.
        EXPECT_EQ(candidates[placed.front().id].priority, 0);
    }
}

// Two boxes: apart, touching along an edge (apart), crossing, one inside the other, turned ones.
TEST(LabelPlacement, OverlapOfTwoBoxes) {
    const Box unit = {0, 0, 10, 0, 10, 4, 0, 4};
    const struct {
        Box other;
        bool overlaps;
    } cases[] = {
        {{20, 0, 30, 0, 30, 4, 20, 4}, false},       {{10, 0, 20, 0, 20, 4, 10, 4}, false},
        {{5, -5, 7, -5, 7, 9, 5, 9}, true},          {{2, 1, 3, 1, 3, 2, 2, 2}, true},
        {{11, -1, 14, 2, 11, 5, 8, 2}, true},         // a diamond over the right edge
        {{12, -1, 15, 2, 12, 5, 9.5f, 7.5f}, false},  // its corner short of the edge... rotated
                                                      // away
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LabelPlacement::overlap(unit, c.other), c.overlaps) << c.other[0];
        EXPECT_EQ(LabelPlacement::overlap(c.other, unit), c.overlaps) << c.other[0];
    }
}
