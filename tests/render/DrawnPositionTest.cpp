// Where a layout record is drawn once the scene is flipped, turned and scaled: the point a
// camera is centred on and a pick finds the vertex at.
#include "DrawnPosition.h"

#include <gtest/gtest.h>

TEST(DrawnPositionTest, RecordsAreFlippedTurnedAndScaledAsTheScenePassDrawsThem) {
    struct Case {
        float rx, ry, rz, scale;
        Vector3 expected;
    };
    // The record (0.25, 0.75, 0.5) is drawn at (0.25, 0.25, 0.5) before turning.
    const Case cases[] = {
        {0, 0, 0, 1, {0.25f, 0.25f, 0.5f}},
        {0, 0, 0, 2, {0.5f, 0.5f, 1.0f}},
        {0, 0, 90, 1, {-0.25f, 0.25f, 0.5f}},
        {90, 0, 0, 1, {0.25f, -0.5f, 0.25f}},
        {0, 90, 0, 1, {0.5f, 0.25f, -0.25f}},
        // Turned about z first, then about x, as the calls' order applies them.
        {90, 0, 90, 1, {-0.25f, -0.5f, 0.25f}},
    };
    LayoutRecord record;
    record.x = 0.25f;
    record.y = 0.75f;
    record.z = 0.5f;
    for (const Case& c : cases) {
        const Vector3 p = drawnPosition(record, c.rx, c.ry, c.rz, c.scale);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(p[i], c.expected[i], 1e-6f)
                << c.rx << " " << c.ry << " " << c.rz << " " << c.scale << " axis " << i;
        }
    }
}
