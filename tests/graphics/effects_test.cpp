// Mosaic and wave effects on surfaces, checked pixel by pixel.
#include <gtest/gtest.h>

#include "support/graphicsfixture.h"

namespace {

class EffectsTest : public GraphicsFixture {
protected:
    void SetUp() override {
        GraphicsFixture::SetUp();
        ASSERT_TRUE(WritePixels(surface, picture));
    }
    // Every pixel different and none black: x and y in the green and blue bytes.
    static std::vector<uint32_t> Picture() {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                pixels.push_back(0x800000u | static_cast<uint32_t>((x & 0xFF) << 8) |
                                 static_cast<uint32_t>(y) | (x >= 256 ? 0x400000u : 0u));
        return pixels;
    }
    const std::vector<uint32_t> picture = Picture();
};

TEST_F(EffectsTest, MosaicWithoutABlockSizeOrBlocksLargerThanTheAreaChangesNothing) {
    for (int blockSize : {0, -3, 1, 161, 1000}) {
        graphics->Mosaic(surface, 19, 40, 179, 200, blockSize);
        EXPECT_EQ(picture, ReadPixels(surface)) << blockSize;
    }
}

TEST_F(EffectsTest, MosaicOfEightMakesEachBlockItsTopLeftPixel) {
    graphics->Mosaic(surface, 19, 40, 179, 200, 8);
    std::vector<uint32_t> after = ReadPixels(surface);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            bool inside = x >= 19 && x < 179 && y >= 40 && y < 200;
            uint32_t expected = inside ? At(picture, 19 + (x - 19) / 8 * 8, 40 + (y - 40) / 8 * 8)
                                       : At(picture, x, y);
            ASSERT_EQ(expected, At(after, x, y)) << x << "," << y;
        }
}

TEST_F(EffectsTest, WholeSurfaceWavesShiftRowsOrColumnsAndFillOrKeepTheUncoveredStrip) {
    // Phase 0, amplitude 10: off = trunc(sin(2 i x pi / n) x 10), one period over the surface;
    // 9 at a quarter, -9 at three quarters, 0 at the first row or column.
    struct Line {
        int index, off;
    };
    const Line lines[] = {{0, 0}, {60, 9}, {180, -9}}; // rows; columns 0, 80 and 240 alike
    for (bool columns : {false, true})
        for (bool fillGaps : {false, true}) {
            ASSERT_TRUE(WritePixels(surface, picture));
            if (columns)
                graphics->WaveColumnsSurface(surface, 0, 10, fillGaps, 0x0000FF);
            else
                graphics->WaveRowsSurface(surface, 0, 10, fillGaps, 0x0000FF);
            std::vector<uint32_t> after = ReadPixels(surface);
            int length = columns ? 240 : 320;
            for (const Line& line : lines)
                for (int i = 0; i < length; ++i) {
                    int index = columns ? line.index * 4 / 3 : line.index;
                    auto at = [&](const std::vector<uint32_t>& pixels, int along) {
                        return columns ? At(pixels, index, along) : At(pixels, along, index);
                    };
                    int from = i - line.off;
                    uint32_t uncovered = fillGaps ? 0x0000FFu : at(picture, i);
                    uint32_t expected = from >= 0 && from < length ? at(picture, from) : uncovered;
                    ASSERT_EQ(expected, at(after, i)) << (columns ? "column " : "row ") << index
                                                      << " at " << i << " fill " << fillGaps;
                }
        }
    ASSERT_TRUE(WritePixels(surface, picture));
    graphics->WaveRowsSurface(surface, 17, 0, true, 0xFFFFFF); // zero amplitude: nothing
    graphics->WaveColumnsSurface(surface, 3, 0, true, 0xFFFFFF);
    EXPECT_EQ(picture, ReadPixels(surface));
}

TEST_F(EffectsTest, WaveColumnsFillOnlyInsideTheRectangle) {
    // Column 10 of (10, 20)-(30, 60) with phase 5 and amplitude 5 moves down by 4.
    graphics->WaveColumns(surface, 10, 20, 30, 60, 5, 5, true, 0x00FF00);
    std::vector<uint32_t> after = ReadPixels(surface);
    // Rows 19 to 24 and 63 of column 10 (the column reaches below the area), then column 9.
    EXPECT_EQ((std::vector<uint32_t>{At(picture, 10, 19), 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00,
                                     At(picture, 10, 20), At(picture, 10, 59), At(picture, 9, 25)}),
              (std::vector<uint32_t>{At(after, 10, 19), At(after, 10, 20), At(after, 10, 21),
                                     At(after, 10, 22), At(after, 10, 23), At(after, 10, 24),
                                     At(after, 10, 63), At(after, 9, 25)}));
}

TEST_F(EffectsTest, KeyedWaveTouchesOnlyWhereTheLogoHasPixels) {
    IDirectDrawSurface* logo = dd.NewSurface(40, 20);
    graphics->FillRect(logo, 5, 5, 35, 15, 0xFF00FF);
    graphics->SetColorKey(logo, 0, 0);
    graphics->BltWave(surface, 100, 100, logo, 0, 0, 40, 20, 7, 6, true);
    std::vector<uint32_t> after = ReadPixels(surface);
    int changed = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            if (At(after, x, y) != At(picture, x, y)) {
                ASSERT_EQ(0xFF00FFu, At(after, x, y)) << x << "," << y;
                ++changed;
            }
    EXPECT_GT(changed, 200);
}

TEST_F(EffectsTest, UnkeyedWaveCopiesAndBlackensTheUncoveredStrips) {
    IDirectDrawSurface* logo = dd.NewSurface(20, 10);
    graphics->FillSurface(logo, 0xFFFF00);
    graphics->BltWave(surface, 50, 50, logo, 0, 0, 20, 10, 5, 3, false);
    std::vector<uint32_t> after = ReadPixels(surface);
    // Column 50: k = 10, off = trunc(sin(10 x 3.14159 / 20) x 3) = 2.
    EXPECT_EQ((std::vector<uint32_t>{0, 0, 0xFFFF00, 0xFFFF00}),
              (std::vector<uint32_t>{At(after, 50, 50), At(after, 50, 51), At(after, 50, 52),
                                     At(after, 50, 61)}));
}

} // namespace
