// Drawing on surfaces pixel by pixel: bitmaps, colour keys, mosaic, waves and text styles.
#include <gtest/gtest.h>

#include <deque>

#include "support/graphicsfixture.h"
#include "support/testcontrols.h"
#include "support/tempfolder.h"
#include "tools/mkdata/formats.h"

namespace {

// [Image] .\Missing.bmpの読み込みに失敗しました。 in code page 932.
const std::string missingLogged =
    "[Image] .\\Missing.bmp\x82\xCC\x93\xC7\x82\xDD\x8D\x9E\x82\xDD"
    "\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42";

class SurfacesTest : public GraphicsFixture {
protected:
    void SetUp() override {
        folder.Enter();
        GraphicsFixture::SetUp();
    }
    void TearDown() override {
        GraphicsFixture::TearDown();
        for (IDirectDrawSurface* made : slots)
            if (made != nullptr)
                made->Release();
    }
    IDirectDrawSurface*& Slot() {
        slots.push_back(nullptr);
        return slots.back();
    }
    TempFolder folder;
    std::deque<IDirectDrawSurface*> slots; // a deque keeps references to its slots valid
};

TEST_F(SurfacesTest, LoadingTakesTheRestOfAnImageFromASourceOffsetOrPlacesItAtADestination) {
    WriteBytes(folder / "Tiles.bmp", Bmp24(48, 32, Pattern(48, 32)));
    struct Case {
        int32_t x, y, width, height, sourceX, surfaceWidth, surfaceHeight;
    };
    for (const Case& c : {Case{0, 0, 0, 0, 16, 32, 32}, Case{10, 20, 4, 3, 0, 14, 23}}) {
        IDirectDrawSurface*& loaded = Slot();
        ASSERT_TRUE(graphics->LoadBitmapSurface(loaded, c.x, c.y, c.width, c.height, ".\\Tiles.bmp",
                                                c.sourceX, 0));
        int32_t width = 0, height = 0;
        ASSERT_TRUE(graphics->GetSurfaceSize(loaded, &width, &height));
        EXPECT_EQ(std::make_pair(c.surfaceWidth, c.surfaceHeight), std::make_pair(width, height));
        std::vector<uint32_t> pixels = ReadPixels(loaded), pattern = Pattern(48, 32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) // the room before the destination stays black
                ASSERT_EQ(x < c.x || y < c.y ? 0u : pattern[(y - c.y) * 48 + x - c.x + c.sourceX],
                          pixels[y * width + x])
                    << x << "," << y;
    }
}

TEST_F(SurfacesTest, MissingImageLogsOnceAndLeavesTheVariableNull) {
    IDirectDrawSurface*& surface = Slot();
    EXPECT_FALSE(graphics->LoadBitmapSurface(surface, 0, 0, 0, 0, ".\\Missing.bmp", 0, 0));
    EXPECT_EQ(nullptr, surface);
    std::string log = ReadBytes(folder / "Error.txt");
    EXPECT_NE(std::string::npos, log.find("\r\n" + missingLogged + "\r\n")) << log;
    EXPECT_EQ(log.rfind(missingLogged), log.find(missingLogged)) << "exactly one entry";
    EXPECT_FALSE(graphics->LoadBitmapSurface(surface, 0, 0, 0, 0, nullptr, 0, 0));
}

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

// Block sizes of 2 (the smallest that shows) and 8 make each block of a 160 x 80 area its
// top-left pixel; no block size, 1, or blocks larger than the area change nothing.
TEST_F(EffectsTest, MosaicMakesEachBlockItsTopLeftPixelAndOddBlockSizesChangeNothing) {
    for (int blockSize : {0, -3, 1, 161, 1000, 2, 8}) {
        graphics->Mosaic(surface, 19, 40, 179, 120, blockSize);
        std::vector<uint32_t> after = ReadPixels(surface);
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                int b = blockSize;
                bool inside = (b == 2 || b == 8) && x >= 19 && x < 179 && y >= 40 && y < 120;
                uint32_t expected = inside
                                        ? At(picture, 19 + (x - 19) / b * b, 40 + (y - 40) / b * b)
                                        : At(picture, x, y);
                ASSERT_EQ(expected, At(after, x, y)) << blockSize << " at " << x << "," << y;
            }
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

// The text cases need the layer's fonts and test controls (native only).
#if QUELLMARK_TEST_CONTROLS

class TextTest : public GraphicsFixture {
protected:
    // How many pixels have the colour, and that no pixel has any other colour than it or black.
    int CountOnly(uint32_t color) {
        int count = 0;
        for (uint32_t pixel : ReadPixels(surface)) {
            EXPECT_TRUE(pixel == 0 || pixel == color) << std::hex << pixel;
            count += pixel == color ? 1 : 0;
        }
        return count;
    }
};

TEST_F(TextTest, ColoursAreColorRefsDrawnExactlyInsideTheCell) {
    struct Case {
        COLORREF color;
        uint32_t pixel;
    };
    for (const Case& c :
         {Case{0x000000FF, 0xFF0000}, Case{0x009B9B9B, 0x9B9B9B}, Case{0x00FF0000, 0x0000FF}}) {
        graphics->FillSurface(surface, 0);
        ASSERT_TRUE(graphics->DrawText(surface, "SCORE 0123 Wg", 40, 100, 20, c.color, 4));
        EXPECT_GT(CountOnly(c.pixel), 50) << std::hex << c.color;
        std::vector<uint32_t> pixels = ReadPixels(surface);
        for (int i = 0; i < 320 * 240; ++i) {
            bool inCell = i % 320 >= 40 && i / 320 >= 100 && i / 320 < 120;
            ASSERT_TRUE(inCell || pixels[static_cast<size_t>(i)] == 0) << "a 20-pixel cell";
        }
    }
}

TEST_F(TextTest, EachStyleDrawsWithItsFaceAndWeight) {
    struct Style {
        int number;
        const char* face;
        int32_t weight;
    };
    const Style styles[] = {
        {0, "ＭＳ Ｐゴシック", 700},  {1, "ＭＳ Ｐ明朝", 400},     {2, "ＭＳ Ｐ明朝", 700},
        {3, "ＭＳ ゴシック", 400},    {4, "ＭＳ ゴシック", 700},   {5, "ＭＳ 明朝", 400},
        {6, "ＭＳ 明朝", 700},        {7, "ＭＳ Ｐゴシック", 400}, {-1, "ＭＳ Ｐゴシック", 400},
        {99, "ＭＳ Ｐゴシック", 400},
    };
    auto draw = [&](const TextStyle* style, int number) {
        graphics->FillSurface(surface, 0);
        if (style != nullptr)
            graphics->DrawTextEx(surface, *style);
        else
            graphics->DrawText(surface, "QUELLMARK 88 iW", 5, 5, 24, 0x00FFFFFF, number);
        return ReadPixels(surface);
    };
    for (const Style& s : styles) {
        TextStyle reference{"QUELLMARK 88 iW", 0x00FFFFFF, 1, 0,     5, 5, 24, 0,
                            s.weight,          0,          0, s.face};
        std::vector<uint32_t> drawn = draw(nullptr, s.number);
        EXPECT_EQ(draw(&reference, 0), drawn) << "style " << s.number;
        EXPECT_GT(CountOnly(0xFFFFFF), 100) << s.number;
    }
    EXPECT_NE(draw(nullptr, 0), draw(nullptr, 7)) << "bold and regular differ";
    EXPECT_NE(draw(nullptr, 3), draw(nullptr, 5)) << "Gothic and Mincho differ";
    EXPECT_NE(draw(nullptr, 3), draw(nullptr, 7)) << "fixed and proportional differ";
}

TEST_F(TextTest, EmptyAndLongStrings) {
    EXPECT_TRUE(graphics->DrawText(surface, "", 10, 10, 20, 0x000000FF, 0));
    EXPECT_EQ(0, CountOnly(0xFF0000));
    HDC dc = nullptr;
    ASSERT_EQ(DD_OK, surface->GetDC(&dc)) << "the DC was given back";
    surface->ReleaseDC(dc);
    EXPECT_TRUE(graphics->DrawText(surface, "A LONG LINE OF TEXT THAT DOES NOT FIT ON THE SCREEN",
                                   5, 2, 20, 0x000000FF, 3));
    std::vector<uint32_t> pixels = ReadPixels(surface);
    int nearTheEdge = 0;
    for (int i = 0; i < 320 * 240; ++i)
        nearTheEdge += i % 320 >= 300 && pixels[static_cast<size_t>(i)] != 0;
    EXPECT_GT(nearTheEdge, 10) << "drawn up to the right edge";
}

TEST_F(TextTest, FailingFontOrBusySurfaceDrawsNothing) {
    PlatformTest::FailNext("CreateFontA");
    EXPECT_FALSE(graphics->DrawText(surface, "X", 10, 10, 20, 0x000000FF, 0));
    HDC held = nullptr;
    ASSERT_EQ(DD_OK, surface->GetDC(&held));
    EXPECT_FALSE(graphics->DrawText(surface, "X", 10, 10, 20, 0x000000FF, 0));
    surface->ReleaseDC(held);
    EXPECT_EQ(0, CountOnly(0xFF0000));
}

#endif

} // namespace
