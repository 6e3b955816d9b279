// Mosaic and wave effects on surfaces, checked pixel by pixel.
#include <gtest/gtest.h>

#include <memory>

#include "graphics/graphics.h"
#include "support/ddsupport.h"

namespace {

class EffectsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dd.Ready());
        graphics = std::make_unique<Graphics>();
        graphics->directDraw = dd.directDraw;
        graphics->clipper = dd.NewClipper(RECT{0, 0, 320, 240});
        ASSERT_TRUE(graphics->CreateOffscreenSurface(screen, 320, 240));
        picture = Picture();
        ASSERT_TRUE(WritePixels(screen, picture));
    }
    void TearDown() override {
        if (screen != nullptr)
            screen->Release();
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
    uint32_t At(const std::vector<uint32_t>& pixels, int x, int y) const {
        return pixels[static_cast<size_t>(y) * 320 + x];
    }
    DirectDrawFixture dd;
    std::unique_ptr<Graphics> graphics;
    IDirectDrawSurface* screen = nullptr;
    std::vector<uint32_t> picture;
};

TEST_F(EffectsTest, MosaicWithoutABlockSizeOrBlocksLargerThanTheAreaChangesNothing) {
    for (int blockSize : {0, -3, 1, 161, 1000}) {
        graphics->Mosaic(screen, 19, 40, 179, 200, blockSize);
        EXPECT_EQ(picture, ReadPixels(screen)) << blockSize;
    }
}

TEST_F(EffectsTest, MosaicOfEightMakesEachBlockItsTopLeftPixel) {
    graphics->Mosaic(screen, 19, 40, 179, 200, 8);
    std::vector<uint32_t> after = ReadPixels(screen);
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
            ASSERT_TRUE(WritePixels(screen, picture));
            if (columns)
                graphics->WaveColumnsSurface(screen, 0, 10, fillGaps, 0x0000FF);
            else
                graphics->WaveRowsSurface(screen, 0, 10, fillGaps, 0x0000FF);
            std::vector<uint32_t> after = ReadPixels(screen);
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
    ASSERT_TRUE(WritePixels(screen, picture));
    graphics->WaveRowsSurface(screen, 17, 0, true, 0xFFFFFF); // zero amplitude: nothing
    graphics->WaveColumnsSurface(screen, 3, 0, true, 0xFFFFFF);
    EXPECT_EQ(picture, ReadPixels(screen));
}

TEST_F(EffectsTest, WaveColumnsFillOnlyInsideTheRectangle) {
    // Column 10 of (10, 20)-(30, 60) with phase 5 and amplitude 5 moves down by 4.
    graphics->WaveColumns(screen, 10, 20, 30, 60, 5, 5, true, 0x00FF00);
    std::vector<uint32_t> after = ReadPixels(screen);
    EXPECT_EQ(At(picture, 10, 19), At(after, 10, 19));
    for (int y = 20; y < 24; ++y)
        EXPECT_EQ(0x00FF00u, At(after, 10, y)) << y;
    EXPECT_EQ(At(picture, 10, 20), At(after, 10, 24));
    EXPECT_EQ(At(picture, 10, 59), At(after, 10, 63)) << "the column reaches below the area";
    EXPECT_EQ(At(picture, 9, 25), At(after, 9, 25)) << "columns outside stay";
}

TEST_F(EffectsTest, KeyedWaveTouchesOnlyWhereTheLogoHasPixels) {
    IDirectDrawSurface* logo = nullptr;
    ASSERT_TRUE(graphics->CreateOffscreenSurface(logo, 40, 20));
    graphics->FillRect(logo, 5, 5, 35, 15, 0xFF00FF);
    graphics->SetColorKey(logo, 0, 0);
    graphics->BltWave(screen, 100, 100, logo, 0, 0, 40, 20, 7, 6, true);
    std::vector<uint32_t> after = ReadPixels(screen);
    int changed = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            if (At(after, x, y) != At(picture, x, y)) {
                ASSERT_EQ(0xFF00FFu, At(after, x, y)) << x << "," << y;
                ++changed;
            }
    EXPECT_GT(changed, 200);
    logo->Release();
}

TEST_F(EffectsTest, UnkeyedWaveCopiesAndBlackensTheUncoveredStrips) {
    IDirectDrawSurface* logo = nullptr;
    ASSERT_TRUE(graphics->CreateOffscreenSurface(logo, 20, 10));
    graphics->FillSurface(logo, 0xFFFF00);
    graphics->BltWave(screen, 50, 50, logo, 0, 0, 20, 10, 5, 3, false);
    std::vector<uint32_t> after = ReadPixels(screen);
    // Column 50: k = 10, off = trunc(sin(10 x 3.14159 / 20) x 3) = 2.
    EXPECT_EQ(0u, At(after, 50, 50));
    EXPECT_EQ(0u, At(after, 50, 51));
    EXPECT_EQ(0xFFFF00u, At(after, 50, 52));
    EXPECT_EQ(0xFFFF00u, At(after, 50, 61));
    logo->Release();
}

} // namespace
