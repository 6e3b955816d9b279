// Text drawing: colours, the seven font styles with their faces and weights, edge cases.
#include <gtest/gtest.h>

#include <filesystem>

#include "platformtest.h"
#include "support/graphicsfixture.h"

namespace {

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

TEST_F(TextTest, TheFourFacesAreTheIpaFonts) {
    const char* faces[] = {"ＭＳ Ｐゴシック", "ＭＳ Ｐ明朝", "ＭＳ ゴシック", "ＭＳ 明朝"};
    const char* files[] = {"ipagp.ttf", "ipamp.ttf", "ipag.ttf", "ipam.ttf"};
    for (int i = 0; i < 4; ++i) {
        HFONT font = CreateFontA(20, 0, 0, 0, 400, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0,
                                 DEFAULT_PITCH | FF_ROMAN, faces[i]);
        ASSERT_NE(nullptr, font);
        bool bold = true;
        // Debian also installs the IPA faces under other names, as links to the same files.
        std::string file =
            std::filesystem::canonical(PlatformTest::FontFileOf(font, &bold)).string();
        EXPECT_NE(std::string::npos, file.find(files[i])) << file;
        EXPECT_FALSE(bold);
        DeleteObject(font);
    }
}

TEST_F(TextTest, EmptyLongAndJapaneseStrings) {
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
    graphics->FillSurface(surface, 0);
    ASSERT_TRUE(graphics->DrawText(surface, "クリア", 10, 10, 30, 0x0000FF00, 0));
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
