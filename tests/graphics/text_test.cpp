// Text drawing: colours, the seven font styles and their faces, empty and over-long strings.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "graphics/graphics.h"
#include "platformtest.h"
#include "support/ddsupport.h"

namespace {

class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dd.Ready());
        graphics = std::make_unique<Graphics>();
        graphics->directDraw = dd.directDraw;
        graphics->clipper = dd.NewClipper(RECT{0, 0, 320, 240});
        ASSERT_TRUE(graphics->CreateOffscreenSurface(surface, 320, 240));
    }
    void TearDown() override {
        if (surface != nullptr)
            surface->Release();
    }
    // How many pixels have the colour, and that no pixel has any other colour than it or black.
    int CountOnly(uint32_t color) {
        int count = 0;
        for (uint32_t pixel : ReadPixels(surface)) {
            EXPECT_TRUE(pixel == 0 || pixel == color) << std::hex << pixel;
            count += pixel == color ? 1 : 0;
        }
        return count;
    }
    DirectDrawFixture dd;
    std::unique_ptr<Graphics> graphics;
    IDirectDrawSurface* surface = nullptr;
};

TEST_F(TextTest, ColoursAreColorRefsDrawnExactly) {
    struct Case {
        COLORREF color;
        uint32_t pixel;
    };
    for (const Case& c :
         {Case{0x000000FF, 0xFF0000}, Case{0x009B9B9B, 0x9B9B9B}, Case{0x00FF0000, 0x0000FF}}) {
        graphics->FillSurface(surface, 0);
        ASSERT_TRUE(graphics->DrawText(surface, "SCORE 0123", 10, 10, 20, c.color, 4));
        EXPECT_GT(CountOnly(c.pixel), 50) << std::hex << c.color;
    }
}

TEST_F(TextTest, GlyphsStayInsideTheirCell) {
    ASSERT_TRUE(graphics->DrawText(surface, "Wg", 40, 100, 20, 0x00FFFFFF, 3));
    std::vector<uint32_t> pixels = ReadPixels(surface);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            if (pixels[y * 320 + x] != 0) {
                EXPECT_GE(x, 40);
                EXPECT_GE(y, 100);
                EXPECT_LT(y, 121) << "a 20-pixel cell";
            }
}

TEST_F(TextTest, StylesPickGothicOrMinchoProportionalOrFixedAndTheirWeights) {
    struct Style {
        int number;
        const char* file;
        bool bold;
    };
    const Style styles[] = {
        {0, "ipagp.ttf", true}, {1, "ipamp.ttf", false}, {2, "ipamp.ttf", true},
        {3, "ipag.ttf", false}, {4, "ipag.ttf", true},   {5, "ipam.ttf", false},
        {6, "ipam.ttf", true},  {7, "ipagp.ttf", false}, {-1, "ipagp.ttf", false},
    };
    // The faces by their code page 932 names, as the styles name them.
    const char* faces[] = {"\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E",
                           "\x82\x6C\x82\x72 \x82\x6F\x96\xBE\x92\xA9",
                           "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E",
                           "\x82\x6C\x82\x72 \x96\xBE\x92\xA9"};
    const char* expectedFiles[] = {"ipagp.ttf", "ipamp.ttf", "ipag.ttf", "ipam.ttf"};
    for (int i = 0; i < 4; ++i) {
        HFONT font = CreateFontA(20, 0, 0, 0, 400, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0,
                                 DEFAULT_PITCH | FF_ROMAN, faces[i]);
        ASSERT_NE(nullptr, font);
        bool bold = true;
        // Debian also installs the IPA faces under other names, as links to the same files.
        std::string file =
            std::filesystem::canonical(PlatformTest::FontFileOf(font, &bold)).string();
        EXPECT_NE(std::string::npos, file.find(expectedFiles[i])) << file;
        EXPECT_FALSE(bold);
        DeleteObject(font);
    }
    // Bold styles draw more ink than their regular forms; unknown numbers are regular Gothic.
    auto ink = [&](int style) {
        graphics->FillSurface(surface, 0);
        graphics->DrawText(surface, "QUELLMARK 88", 5, 5, 24, 0x00FFFFFF, style);
        return CountOnly(0xFFFFFF);
    };
    for (const Style& style : styles)
        EXPECT_GT(ink(style.number), 100) << style.number;
    EXPECT_GT(ink(0), ink(7));
    EXPECT_GT(ink(2), ink(1));
    EXPECT_GT(ink(6), ink(5));
    EXPECT_EQ(ink(7), ink(-1));
    EXPECT_EQ(ink(7), ink(99));
}

TEST_F(TextTest, EmptyStringDrawsNothingAndSucceeds) {
    EXPECT_TRUE(graphics->DrawText(surface, "", 10, 10, 20, 0x000000FF, 0));
    EXPECT_EQ(0, CountOnly(0xFF0000));
    HDC dc = nullptr;
    EXPECT_EQ(DD_OK, surface->GetDC(&dc)) << "the DC was given back";
    surface->ReleaseDC(dc);
}

TEST_F(TextTest, TextWiderThanTheSurfaceIsCutAtItsEdge) {
    IDirectDrawSurface* narrow = nullptr;
    ASSERT_TRUE(graphics->CreateOffscreenSurface(narrow, 40, 30));
    EXPECT_TRUE(graphics->DrawText(narrow, "A LONG LINE OF TEXT THAT DOES NOT FIT", 5, 2, 20,
                                   0x000000FF, 3));
    std::vector<uint32_t> pixels = ReadPixels(narrow);
    int red = 0;
    for (uint32_t pixel : pixels)
        red += pixel == 0xFF0000u ? 1 : 0;
    EXPECT_GT(red, 20);
    narrow->Release();
}

TEST_F(TextTest, JapaneseTextIsDrawn) {
    // クリア in code page 932.
    ASSERT_TRUE(graphics->DrawText(surface, "\x83\x4E\x83\x8A\x83\x41", 10, 10, 30, 0x0000FF00, 0));
    EXPECT_GT(CountOnly(0x00FF00), 80);
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

} // namespace
