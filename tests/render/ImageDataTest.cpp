#include "GlFixture.h"
#include "ImageData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Pixel (x, y) of a loaded image, y counted from the bottom row.
const unsigned char* pixel(const ImageData& image, int x, int y) {
    return image.m_pixels + (static_cast<std::size_t>(y) * image.m_width + x) * 4;
}

void release(ImageData& image) {
    ilDeleteImages(1, &image.m_imageName);
    std::free(image.m_pixels);
    image.m_pixels = nullptr;
}

// Largest alpha inside glyph cell g of the font, cells counted row by row from the top.
int maxAlphaInCell(const ImageData& font, int cell) {
    const int size = font.m_width / 16;
    const int left = (cell % 16) * size;
    const int bottom = (15 - cell / 16) * size;  // rows of the loaded image run bottom-up
    int best = 0;
    for (int y = bottom; y < bottom + size; ++y) {
        for (int x = left; x < left + size; ++x) best = std::max<int>(best, pixel(font, x, y)[3]);
    }
    return best;
}

}  // namespace

class ImageDataTest : public ::testing::Test {
protected:
    void SetUp() override { ensureImageLibrary(); }
};

TEST_F(ImageDataTest, TexturesLoadAsRgbaOfTheirSize) {
    // From elsewhere: the images are found beside the executable, and the trace line still names
    // them as the renderer does.
    const EmptyWorkingDirectory elsewhere;
    const std::pair<const char*, int> files[] = {
        {"imgs/Font.png", 512}, {"imgs/cushion_tex.png", 256}, {"imgs/lighttex.png", 256}};
    for (const auto& [path, size] : files) {
        SCOPED_TRACE(path);
        ImageData image;
        bool loaded = false;
        const std::string output = captureStdout([&] { loaded = loadImage(path, &image); });
        EXPECT_EQ(output, "LOAD IMG: " + std::string(path) + "\n");
        ASSERT_TRUE(loaded);
        EXPECT_TRUE(image.m_loaded);
        EXPECT_NE(image.m_imageName, 0u);
        EXPECT_EQ(image.m_width, size);
        EXPECT_EQ(image.m_height, size);
        ASSERT_NE(image.m_pixels, nullptr);
        release(image);
    }
}

TEST_F(ImageDataTest, PixelContentsMatchTheirPurpose) {
    ImageData cushion;
    ASSERT_TRUE(loadImage("imgs/cushion_tex.png", &cushion));
    EXPECT_GT(pixel(cushion, 128, 128)[0], pixel(cushion, 0, 0)[0] + 100);  // bright centre
    EXPECT_EQ(pixel(cushion, 0, 0)[3], 255);                                // opaque
    release(cushion);

    ImageData light;
    ASSERT_TRUE(loadImage("imgs/lighttex.png", &light));
    EXPECT_GT(pixel(light, 128, 128)[3], 250);
    EXPECT_EQ(pixel(light, 0, 0)[3], 0);
    release(light);

    // The font's rows arrive bottom-up: "A" (code 65, set 0) is cell 33, third row from the top;
    // the same letter of set 1 is cell 161; the space and the cells past the sets are empty.
    ImageData font;
    ASSERT_TRUE(loadImage("imgs/Font.png", &font));
    EXPECT_GT(maxAlphaInCell(font, 65 - 32), 200);
    EXPECT_GT(maxAlphaInCell(font, 65 - 32 + 128), 200);
    EXPECT_GT(maxAlphaInCell(font, 126 - 32 + 128), 200);  // "~", the last printable character
    EXPECT_EQ(maxAlphaInCell(font, 0), 0);
    // Rows 6 and 15 are empty; read top-down they would hold rows 9 and 0, which are full.
    EXPECT_EQ(maxAlphaInCell(font, 6 * 16 + 4), 0);
    EXPECT_EQ(maxAlphaInCell(font, 15 * 16 + 15), 0);
    release(font);
}

TEST_F(ImageDataTest, MissingFileReturnsFalseAndLeavesNothingToRelease) {
    ImageData image;
    bool loaded = true;
    const std::string output =
        captureStdout([&] { loaded = loadImage("imgs/no_such_image.png", &image); });
    EXPECT_EQ(output, "LOAD IMG: imgs/no_such_image.png\n");
    EXPECT_FALSE(loaded);
    EXPECT_FALSE(image.m_loaded);
    EXPECT_EQ(image.m_pixels, nullptr);
    EXPECT_EQ(image.m_imageName, 0u);
    EXPECT_EQ(image.m_width, 0);
}
