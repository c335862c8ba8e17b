// The overlay's figures and the picking codes, worked out without GL.
#include "OverlayText.h"
#include "Selection.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(OverlayText, FieldsFrameTimesAndPickingCodes) {
    const std::pair<int, const char*> frameTimes[] = {
        {16, "16 ms"}, {0, "0 ms"}, {-5, "0 ms"}, {9999, "9999 ms"}, {13249, "13.2 s"}};
    for (const auto& [milliseconds, text] : frameTimes)
        EXPECT_EQ(OverlayText::frameTimeText(milliseconds), text) << milliseconds;
    const std::pair<long long, const char*> fields[] = {
        {12345, "12345"}, {123456, "12345"}, {-12345, "-1234"}};
    for (const auto& [value, text] : fields) EXPECT_EQ(OverlayText::field(value), text);
    // k / n stored as a float comes back as k; what names nothing gives -1.
    for (int n : {3, 7, 49, 1000, 999983}) {
        for (int k : {0, 1, n / 2, n - 1})
            EXPECT_EQ(Selection::codeToIndex(static_cast<float>(k) / n, n), k);
    }
    const std::pair<float, size_t> refused[] = {{1.0f, 5}, {0.5f, 0}, {-0.1f, 5}, {NAN, 5}};
    for (auto [code, count] : refused)
        EXPECT_EQ(Selection::codeToIndex(code, count), -1) << code << " " << count;
}
