// Graphics surfaces: bitmap loading, region copies with colour keys, fills and the shared clipper.
#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "graphics/graphics.h"
#include "support/tempfolder.h"
#include "tools/mkdata/formats.h"
#include "support/ddsupport.h"

namespace {

// [Image] .\Missing.bmpの読み込みに失敗しました。 in code page 932.
const std::string missingLogged =
    "[Image] .\\Missing.bmp\x82\xCC\x93\xC7\x82\xDD\x8D\x9E\x82\xDD"
    "\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42";

class SurfacesTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.Enter();
        ASSERT_TRUE(dd.Ready());
        graphics = std::make_unique<Graphics>();
        graphics->directDraw = dd.directDraw;
        graphics->clipper = dd.NewClipper(RECT{0, 0, 320, 240});
    }
    void TearDown() override {
        for (IDirectDrawSurface* surface : made)
            if (surface != nullptr)
                surface->Release();
    }
    IDirectDrawSurface*& Slot() {
        made.push_back(nullptr);
        return made.back();
    }
    TempFolder folder;
    DirectDrawFixture dd;
    std::unique_ptr<Graphics> graphics;
    std::deque<IDirectDrawSurface*> made; // a deque keeps references to its slots valid
};

TEST_F(SurfacesTest, LoadingTheRestOfAnImageFromAnOffset) {
    WriteBytes(folder / "Tiles.bmp", Bmp24(48, 32, Pattern(48, 32)));
    IDirectDrawSurface*& surface = Slot();
    ASSERT_TRUE(graphics->LoadBitmapSurface(surface, 0, 0, 0, 0, ".\\Tiles.bmp", 16, 0));
    int32_t width = 0, height = 0;
    ASSERT_TRUE(graphics->GetSurfaceSize(surface, &width, &height));
    EXPECT_EQ(32, width);
    EXPECT_EQ(32, height);
    std::vector<uint32_t> pixels = ReadPixels(surface);
    std::vector<uint32_t> pattern = Pattern(48, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(pattern[y * 48 + x + 16], pixels[y * 32 + x]) << x << "," << y;
}

TEST_F(SurfacesTest, LoadingAtAnOffsetMakesRoomAndLeavesItBlack) {
    WriteBytes(folder / "Small.bmp", Bmp24(4, 3, std::vector<uint32_t>(12, 0xABCDEF)));
    IDirectDrawSurface*& surface = Slot();
    ASSERT_TRUE(graphics->LoadBitmapSurface(surface, 10, 20, 4, 3, "Small.bmp", 0, 0));
    int32_t width = 0, height = 0;
    graphics->GetSurfaceSize(surface, &width, &height);
    EXPECT_EQ(14, width);
    EXPECT_EQ(23, height);
    std::vector<uint32_t> pixels = ReadPixels(surface);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 14; ++x)
            ASSERT_EQ(x >= 10 && y >= 20 ? 0xABCDEFu : 0u, pixels[y * 14 + x]) << x << "," << y;
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
    EXPECT_EQ(0u, low);
    EXPECT_EQ(0u, high);
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
