// DirectDraw blits at the pixel level; run against the layer and, under wine64, against Wine.
#include <gtest/gtest.h>

#include "support/ddsupport.h"
#include "support/testcontrols.h"

namespace {

// The source offset that destination offset i takes in a stretch: a 16.16 step, truncated.
int SourceOffset(int i, int sourceSize, int destinationSize) {
    int64_t step = (static_cast<int64_t>(sourceSize) << 16) / destinationSize;
    return static_cast<int>((i * step) >> 16);
}

class DirectDrawTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dd.Ready()); }
    DirectDrawFixture dd;
};

TEST_F(DirectDrawTest, StretchesTakeTheSameSourcePixelRuleBothWays) {
    struct Case {
        int sourceWidth, sourceHeight, destWidth, destHeight;
    };
    // The last two are wide enough for the eight-pixel path of enlarging rows.
    const Case cases[] = {{4, 3, 8, 6}, {3, 2, 7, 5},  {8, 8, 3, 3},    {10, 4, 4, 10},
                          {5, 5, 5, 5}, {4, 1, 10, 1}, {37, 2, 100, 3}, {200, 1, 395, 2}};
    for (const Case& c : cases) {
        IDirectDrawSurface* source = dd.NewSurface(c.sourceWidth, c.sourceHeight);
        IDirectDrawSurface* target = dd.NewSurface(c.destWidth, c.destHeight);
        ASSERT_TRUE(WritePixels(source, Pattern(c.sourceWidth, c.sourceHeight)));
        ASSERT_EQ(DD_OK, target->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr));
        std::vector<uint32_t> pixels = ReadPixels(target);
        std::vector<uint32_t> pattern = Pattern(c.sourceWidth, c.sourceHeight);
        for (int y = 0; y < c.destHeight; ++y)
            for (int x = 0; x < c.destWidth; ++x) {
                int sx = SourceOffset(x, c.sourceWidth, c.destWidth);
                int sy = SourceOffset(y, c.sourceHeight, c.destHeight);
                EXPECT_EQ(pattern[sy * c.sourceWidth + sx], pixels[y * c.destWidth + x])
                    << c.sourceWidth << "x" << c.sourceHeight << " -> " << c.destWidth << "x"
                    << c.destHeight << " at " << x << "," << y;
            }
    }
}

TEST_F(DirectDrawTest, KeyedBlitLeavesOutKeyPixels) {
    IDirectDrawSurface* source = dd.NewSurface(4, 1);
    IDirectDrawSurface* target = dd.NewSurface(4, 1);
    ASSERT_TRUE(WritePixels(source, {0x000000, 0x112233, 0x000000, 0x010101}));
    ASSERT_TRUE(WritePixels(target, {0xAAAAAA, 0xAAAAAA, 0xAAAAAA, 0xAAAAAA}));
    DDCOLORKEY key{7, 7};
    EXPECT_EQ(DDERR_NOCOLORKEY, source->GetColorKey(DDCKEY_SRCBLT, &key));
    EXPECT_EQ(DD_OK, source->IsLost()) << "nor is a surface lost, and Restore has nothing to do";
    EXPECT_EQ(DD_OK, source->Restore());
    key = {0, 0};
    ASSERT_EQ(DD_OK, source->SetColorKey(DDCKEY_SRCBLT, &key));
    ASSERT_EQ(DD_OK, target->Blt(nullptr, source, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr));
    EXPECT_EQ((std::vector<uint32_t>{0xAAAAAA, 0x112233, 0xAAAAAA, 0x010101}), ReadPixels(target));
    ASSERT_EQ(DD_OK, target->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ((std::vector<uint32_t>{0, 0x112233, 0, 0x010101}), ReadPixels(target))
        << "without DDBLT_KEYSRC every pixel is copied";
    // Enlarged, each keyed row still shows its own destination row through the key.
    IDirectDrawSurface* tall = dd.NewSurface(4, 2);
    ASSERT_TRUE(WritePixels(tall, {1, 1, 1, 1, 2, 2, 2, 2}));
    ASSERT_EQ(DD_OK, tall->Blt(nullptr, source, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr));
    EXPECT_EQ((std::vector<uint32_t>{1, 0x112233, 1, 0x010101, 2, 0x112233, 2, 0x010101}),
              ReadPixels(tall));
}

TEST_F(DirectDrawTest, SharedClipperCutsBlitsToItsRectangle) {
    // A 512 x 48 surface behind a 320 x 240 clip list: x 400 lies outside it.
    IDirectDrawSurface* wide = dd.NewSurface(512, 48);
    IDirectDrawSurface* source = dd.NewSurface(32, 48);
    ASSERT_EQ(DD_OK, wide->SetClipper(dd.NewClipper(RECT{0, 0, 320, 240})));
    DDBLTFX fill{};
    fill.dwSize = sizeof fill;
    fill.dwFillColor = 0x00FF00;
    source->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
    RECT outside{400, 0, 432, 48};
    RECT across{300, 0, 332, 48};
    EXPECT_EQ(DD_OK, wide->Blt(&outside, source, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(DD_OK, wide->Blt(&across, source, nullptr, DDBLT_WAIT, nullptr));
    std::vector<uint32_t> pixels = ReadPixels(wide);
    for (int x = 0; x < 512; ++x)
        EXPECT_EQ(x >= 300 && x < 320 ? 0x00FF00u : 0u, pixels[10 * 512 + x]) << x;
    // A stretch twice as wide and four times as tall, cut on all four sides, shows what the
    // uncut blit of the source's matching part shows: the source is cut by each axis's own scale.
    IDirectDrawSurface* pattern = dd.NewSurface(8, 4);
    ASSERT_TRUE(WritePixels(pattern, Pattern(8, 4)));
    IDirectDrawSurface* cut = dd.NewSurface(16, 16);
    IDirectDrawSurface* uncut = dd.NewSurface(16, 16);
    ASSERT_EQ(DD_OK, cut->SetClipper(dd.NewClipper(RECT{2, 3, 14, 13})));
    RECT whole{0, 0, 16, 16}, area{2, 3, 14, 13}, part{1, 0, 7, 4};
    ASSERT_EQ(DD_OK, cut->Blt(&whole, pattern, nullptr, DDBLT_WAIT, nullptr));
    ASSERT_EQ(DD_OK, uncut->Blt(&area, pattern, &part, DDBLT_WAIT, nullptr));
    EXPECT_EQ(ReadPixels(uncut), ReadPixels(cut));
}

TEST_F(DirectDrawTest, OverlappingSelfBlitReadsTheOldPixels) {
    IDirectDrawSurface* surface = dd.NewSurface(8, 2);
    ASSERT_TRUE(WritePixels(surface, Pattern(8, 2)));
    std::vector<uint32_t> before = ReadPixels(surface);
    RECT from{0, 0, 6, 2};
    RECT right{2, 0, 8, 2};
    ASSERT_EQ(DD_OK, surface->Blt(&right, surface, &from, DDBLT_WAIT, nullptr));
    std::vector<uint32_t> expected = before;
    for (int i = 0; i < 16; ++i)
        expected[i] = i % 8 < 2 ? before[i] : before[i - 2];
    EXPECT_EQ(expected, ReadPixels(surface));
    // And leftwards, one row down.
    ASSERT_TRUE(WritePixels(surface, before));
    RECT lower{0, 1, 8, 2};
    RECT upper{0, 0, 8, 1};
    ASSERT_EQ(DD_OK, surface->Blt(&upper, surface, &lower, DDBLT_WAIT, nullptr));
    expected.assign(before.begin() + 8, before.end());
    expected.insert(expected.end(), before.begin() + 8, before.end());
    EXPECT_EQ(expected, ReadPixels(surface));
}

TEST_F(DirectDrawTest, InvalidRectanglesFailWithoutDrawing) {
    IDirectDrawSurface* source = dd.NewSurface(4, 4);
    IDirectDrawSurface* target = dd.NewSurface(4, 4);
    ASSERT_TRUE(WritePixels(source, Pattern(4, 4)));
    DDBLTFX fill{};
    fill.dwSize = sizeof fill;
    fill.dwFillColor = 0xFFFFFF;
    // Without a clipper a destination reaching one pixel past any edge is refused as a whole
    // with DDERR_INVALIDRECT, as documented; the other refusals need only fail.
    struct Case {
        const char* label;
        RECT dest;
        RECT src;
        bool fill;
        bool invalidRect;
    };
    const Case cases[] = {
        {"empty destination", {2, 0, 2, 4}, {0, 0, 4, 4}, false, false},
        {"reversed destination", {3, 0, 1, 4}, {0, 0, 4, 4}, false, false},
        {"source outside", {0, 0, 4, 4}, {0, 0, 5, 4}, false, false},
        {"empty source", {0, 0, 4, 4}, {1, 1, 1, 3}, false, false},
        {"destination outside, no clipper", {2, 2, 6, 6}, {0, 0, 4, 4}, false, true},
        {"one column past the right", {1, 0, 5, 4}, {0, 0, 4, 4}, false, true},
        {"one row past the bottom", {0, 1, 4, 5}, {0, 0, 4, 4}, false, true},
        {"one column left of the surface", {-1, 0, 3, 4}, {0, 0, 4, 4}, false, true},
        {"one row above the surface", {0, -1, 4, 3}, {0, 0, 4, 4}, false, true},
        {"fill past the edge", {0, 0, 5, 4}, {0, 0, 0, 0}, true, true},
        {"empty fill", {3, 0, 1, 4}, {0, 0, 0, 0}, true, false},
    };
    for (const Case& c : cases) {
        RECT dest = c.dest;
        RECT src = c.src;
        HRESULT result =
            c.fill ? target->Blt(&dest, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill)
                   : target->Blt(&dest, source, &src, DDBLT_WAIT, nullptr);
        EXPECT_TRUE(FAILED(result)) << c.label;
        if (c.invalidRect) {
            EXPECT_EQ(DDERR_INVALIDRECT, result) << c.label;
        }
        EXPECT_EQ(std::vector<uint32_t>(16, 0u), ReadPixels(target)) << c.label;
    }
}

// The cases below hold for the layer alone.
#if QUELLMARK_TEST_CONTROLS
TEST_F(DirectDrawTest, WideRowsArePaddedToAnOddNumberOfCacheLines) {
    // Width in pixels, and the pitch in bytes that Lock reports.
    const std::pair<int, LONG> cases[] = {
        {63, 252}, {64, 320}, {320, 1344}, {336, 1344}, {800, 3264}};
    for (auto [width, pitch] : cases) {
        IDirectDrawSurface* source = dd.NewSurface(width, 3);
        IDirectDrawSurface* target = dd.NewSurface(width, 3);
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(DD_OK, source->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
        source->Unlock(nullptr);
        EXPECT_EQ(pitch, desc.lPitch) << width;
        // Rows apart by the pitch: a copy and a column moved down a row land where they should.
        ASSERT_TRUE(WritePixels(source, Pattern(width, 3)));
        ASSERT_EQ(DD_OK, target->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr));
        RECT column{width - 1, 0, width, 2}, below{width - 1, 1, width, 3};
        ASSERT_EQ(DD_OK, target->Blt(&below, target, &column, DDBLT_WAIT, nullptr));
        std::vector<uint32_t> expected = Pattern(width, 3);
        expected[2 * width + width - 1] = expected[width + width - 1];
        expected[width + width - 1] = expected[width - 1];
        EXPECT_EQ(expected, ReadPixels(target)) << width;
    }
}

// A flag the layer does not support is ignored, and said once on stderr under the layer's name.
TEST_F(DirectDrawTest, AnUnsupportedFlagIsNotedOnceAndIgnored) {
    IDirectDrawSurface* source = dd.NewSurface(2, 1);
    IDirectDrawSurface* target = dd.NewSurface(2, 1);
    ASSERT_TRUE(WritePixels(source, {0x123456, 0x654321}));
    const DWORD unsupported = 0x00000100; // DDBLT_DDROPS in the SDK
    testing::internal::CaptureStderr();
    EXPECT_EQ(DD_OK, target->Blt(nullptr, source, nullptr, DDBLT_WAIT | unsupported, nullptr));
    EXPECT_EQ(DD_OK, target->Blt(nullptr, source, nullptr, DDBLT_WAIT | unsupported, nullptr));
    EXPECT_EQ("platform: Blt does not support the flags 0x100 and ignores them\n",
              testing::internal::GetCapturedStderr());
    EXPECT_EQ((std::vector<uint32_t>{0x123456, 0x654321}), ReadPixels(target));
}
#endif

} // namespace
