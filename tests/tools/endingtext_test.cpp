// The game's ending text fits its screen: every line, in the ending's font and style (the bold
// proportional Gothic face, 15 pixels), is at most 320 pixels wide from x = 0. Runs on the layer
// and under wine64.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

TEST(EndingTextTest, EveryLineFitsTheScreenInTheEndingsFont) {
    char module[MAX_PATH] = "";
    ASSERT_GT(GetModuleFileNameA(nullptr, module, MAX_PATH), 0u);
    *strrchr(module, '\\') = '\0';
    std::string path = std::string(module) + "\\..\\data\\Ending.dat";
    FILE* file = fopen(path.c_str(), "r"); // text mode, as the ending reads it
    ASSERT_NE(nullptr, file) << path;
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(15, 0, 0, 0, 700, 0, 0, 0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN,
                             "ＭＳ Ｐゴシック");
    ASSERT_NE(nullptr, font);
    HGDIOBJ previous = SelectObject(dc, font);
    char line[256];
    int lines = 0;
    while (fgets(line, sizeof line, file) != nullptr) {
        size_t length = strcspn(line, "\r\n");
        SIZE size{};
        ASSERT_TRUE(GetTextExtentPoint32A(dc, line, static_cast<int>(length), &size));
        EXPECT_LE(size.cx, 320) << std::string(line, length);
        ++lines;
    }
    EXPECT_GT(lines, 5);
    fclose(file);
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
}

} // namespace
