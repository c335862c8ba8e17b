// The CPU's curve lines: which pixels a line covers (the major axis's pixel centres from its
// start up to its end, each once, joints of a strip once), the scene's depth hiding curves, and
// the bands of the threads leaving the picture as one thread draws it.
#include "CurveControls.h"
#include "CurveRaster.h"
#include "FiveViews.h"
#include "GraphGenerator.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 64, kHeight = 48;

// The laid-out generated graph with its curves; the curves' positions come straight from the
// layouts, so the camera below frames them.
struct Curves {
    std::unique_ptr<FiveViews> views;
    std::unique_ptr<CurveControls> controls;
};

Curves generatedCurves(uint32_t vertices, uint64_t relations) {
    // Vertices, fan-out, depth, relation edges, seed, shuffled ids.
    GeneratorParams params{vertices, 4, 8, relations, 7, false};
    Curves curves;
    curves.views = layOutFiveViews("generated", GraphGenerator(params).records());
    curves.controls =
        std::make_unique<CurveControls>(*curves.views->graph, curves.views->table, 50);
    return curves;
}

// An orthographic look from above (x to the right, z down the picture) at the unit square, the
// layouts' home (the balloon's square of side 2 around the origin), or from the front for the
// rooted tree.
CurveLook lookAt(int viewType) {
    CurveLook look;
    look.viewType = viewType;
    look.width = kWidth;
    look.height = kHeight;
    for (int slot = 0; slot < 4; ++slot) {
        look.start[slot] = {0.2f, 0.6f, 1.0f, 0.9f};
        look.end[slot] = {1.0f, 0.8f, 0.1f, 0.9f};
    }
    // x' = 2x - 1, y' from the layout's z (above) or y (front), depth from the other.
    const float s = viewType == 1 ? 1.0f : 2.0f, o = viewType == 1 ? 0.0f : 1.0f;
    const float above[16] = {s, 0, 0, 0, 0, 0, -0.1f, 0, 0, -s, 0, 0, -o, o, 0.5f, 1};
    const float front[16] = {2, 0, 0, 0, 0, 1.2f, 0, 0, 0, 0, -0.1f, 0, -1, -0.6f, 0.5f, 1};
    std::copy(viewType == 0 ? front : above, (viewType == 0 ? front : above) + 16, look.modelView);
    return look;
}

std::vector<float> drawnPicture(const Curves& curves, int viewType, unsigned threads,
                                std::vector<float> depth = {}) {
    const CurveSampler sampler(*curves.controls, {0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 49});
    CurveRaster raster(threads);
    raster.begin(kWidth, kHeight, std::move(depth));
    CurveRaster::Draw draw;
    draw.sampler = &sampler;
    draw.look = lookAt(viewType);
    EXPECT_EQ(raster.draw(draw), curves.controls->curveCount());
    std::vector<float> picture(size_t(4) * kWidth * kHeight, 0.1f);
    raster.compose(picture.data());
    return picture;
}

TEST(CurveRasterTest, ALineCoversTheCentresOfItsMajorAxisFromItsStartOnOnce) {
    // One curve of two control points from (ax, ay) to (bx, by) in pixels; each row: its ends
    // and the pixels it must cover, the end's own pixel excluded.
    struct Row {
        float ax, ay, bx, by;
        int count;
    };
    const Row rows[] = {
        {2.5f, 3.5f, 12.5f, 3.5f, 10},     // across, centre to centre
        {12.5f, 3.5f, 2.5f, 3.5f, 10},     // back the other way
        {4.5f, 1.5f, 4.5f, 20.5f, 19},     // up
        {1.0f, 1.0f, 30.0f, 16.0f, 29},    // shallow, between centres
        {10.2f, 40.7f, 3.9f, 2.2f, 39},    // steep, down and left
        {-20.0f, 5.0f, 200.0f, 9.0f, 64},  // beyond both sides: clipped to the picture
        {1e30f, 5.5f, 10.0f, 5.5f, 54},    // from far beyond the edge: clipped, not lost
        {5.0f, 5.0f, 5.2f, 5.1f, 0},       // shorter than a pixel, no centre crossed
    };
    for (const Row& row : rows) {
        // A strip of two segments meeting in the middle: the joint must be drawn once.
        const CurvePoint mid{(row.ax + row.bx) / 2, (row.ay + row.by) / 2, 0.5f, 1, 1, 1, true};
        const CurvePoint strip[3] = {
            {row.ax, row.ay, 0.5f, 1, 1, 1, true}, mid, {row.bx, row.by, 0.5f, 1, 1, 1, true}};
        for (unsigned threads : {1u, 3u}) {
            CurveRaster raster(threads);
            raster.begin(kWidth, kHeight, {});
            raster.drawStrip(strip, 3, 0.5f, 0, CurveRaster::Mix{});
            std::vector<float> picture(size_t(4) * kWidth * kHeight, 0.0f);
            raster.compose(picture.data());
            int covered = 0;
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < kWidth; ++x) {
                    const float alpha = picture[(size_t(y) * kWidth + x) * 4 + 3];
                    if (raster.curveAt(x, y) < 0) continue;
                    ++covered;
                    // Once: a = 0.5 blended over the trace's 0.5 gives 0.5 * 0.5 + 0.25.
                    EXPECT_FLOAT_EQ(alpha, 0.5f)
                        << row.ax << "," << row.ay << " at " << x << "," << y;
                }
            }
            EXPECT_EQ(covered, row.count) << row.ax << "," << row.ay << " " << threads;
        }
    }
}

TEST(CurveRasterTest, BandsOfThreadsDrawThePictureOfOneThread) {
    const Curves curves = generatedCurves(300, 900);
    for (int view = 0; view < 5; ++view) {
        const std::vector<float> one = drawnPicture(curves, view, 1);
        EXPECT_EQ(drawnPicture(curves, view, 2), one) << view;
        EXPECT_EQ(drawnPicture(curves, view, 5), one) << view;
        EXPECT_EQ(drawnPicture(curves, view, 20), one) << view;
        size_t lit = 0;
        for (size_t i = 0; i < one.size(); i += 4) lit += one[i] != 0.1f ? 1 : 0;
        EXPECT_GT(lit, size_t(kWidth * kHeight / 20)) << "view " << view << " shows few curves";
    }
}

TEST(CurveRasterTest, TheScenesDepthHidesCurvesBehindIt) {
    const Curves curves = generatedCurves(100, 200);
    const std::vector<float> hidden =
        drawnPicture(curves, 4, 2, std::vector<float>(size_t(kWidth) * kHeight, 0.0f));
    EXPECT_EQ(hidden, std::vector<float>(hidden.size(), 0.1f));
    const std::vector<float> shown =
        drawnPicture(curves, 4, 2, std::vector<float>(size_t(kWidth) * kHeight, 1.0f));
    EXPECT_NE(shown, hidden);
}

}  // namespace
