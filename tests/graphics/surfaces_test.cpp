// Graphics surfaces: bitmap loading, region copies with colour keys, fills and the shared clipper.
#include <gtest/gtest.h>

#include <deque>
#include "support/graphicsfixture.h"
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

TEST_F(SurfacesTest, GdiFillsAWideSurfaceWhereBlitsAreClippedAway) {
    WriteBytes(folder / "Wide.bmp", Bmp24(512, 48, std::vector<uint32_t>(512 * 48, 0x22AA44)));
    IDirectDrawSurface*& wide = Slot();
    ASSERT_TRUE(graphics->LoadBitmapSurface(wide, 0, 0, 512, 48, "Wide.bmp", 0, 0));
    std::vector<uint32_t> pixels = ReadPixels(wide);
    EXPECT_EQ(0x22AA44u, pixels[10 * 512 + 500]) << "GDI reaches past the clip list";
    graphics->FillRect(wide, 400, 0, 432, 48, 0x000000);
    EXPECT_EQ(0x22AA44u, ReadPixels(wide)[10 * 512 + 410]) << "a blit at x 400 is clipped away";
}

TEST_F(SurfacesTest, RegionCopiesCarryTheSourcesColourKey) {
    IDirectDrawSurface*& keyed = Slot();
    IDirectDrawSurface*& plain = Slot();
    IDirectDrawSurface*& copy = Slot();
    ASSERT_TRUE(graphics->CreateOffscreenSurface(keyed, 8, 8));
    ASSERT_TRUE(graphics->CreateOffscreenSurface(plain, 8, 8));
    ASSERT_TRUE(graphics->SetColorKey(keyed, 0, 0));
    EXPECT_TRUE(graphics->GetColorKey(keyed, nullptr, nullptr));
    EXPECT_FALSE(graphics->GetColorKey(plain, nullptr, nullptr));
    graphics->FillRect(keyed, 2, 2, 6, 6, 0x445566);
    graphics->CopySurfaceRegion(copy, keyed, 2, 2, 6, 6, true);
    uint32_t low = 7, high = 7;
    EXPECT_TRUE(graphics->GetColorKey(copy, &low, &high));
    EXPECT_EQ(std::make_pair(0u, 0u), std::make_pair(low, high));
    EXPECT_EQ(std::vector<uint32_t>(16, 0x445566u), ReadPixels(copy));
    graphics->CopySurfaceRegion(copy, plain, 0, 0, 4, 4, false);
    EXPECT_FALSE(graphics->GetColorKey(copy, nullptr, nullptr));
}

TEST_F(SurfacesTest, NullSurfacesAreSkipped) {
    IDirectDrawSurface* none = nullptr;
    EXPECT_TRUE(FAILED(graphics->FillSurface(none, 1)));
    EXPECT_TRUE(FAILED(graphics->BltStretch(none, none, DDBLT_WAIT)));
    EXPECT_FALSE(graphics->SetColorKey(none, 0, 0));
    graphics->Mosaic(none, 0, 0, 10, 10, 2);
    graphics->WaveRowsSurface(none, 0, 5, true, 0);
    graphics->BltWave(none, 0, 0, none, 0, 0, 4, 4, 0, 3, true);
    EXPECT_FALSE(graphics->DrawText(none, "x", 0, 0, 12, 0, 0));
}

} // namespace
