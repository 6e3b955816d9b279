// InitDisplay: every failing step is logged once and leaves nothing behind.
#include <gtest/gtest.h>

#include "support/ddsupport.h"
#include "support/displayfixture.h"

namespace {

const std::string displayFailed = "DirectDrawの初期化に失敗しました。";

using DisplayTest = DisplayFixture;

TEST_F(DisplayTest, EveryFailingStepLogsOnceAndLeavesEveryFieldNull) {
    struct Step {
        bool windowed;
        const char* function;
        int after;
    };
    const Step steps[] = {
        {true, "SetCooperativeLevel", 0},  {true, "CreateSurface", 0}, {true, "CreateSurface", 1},
        {true, "CreateClipper", 0},        {true, "SetClipList", 0},   {false, "SetDisplayMode", 0},
        {false, "SetCooperativeLevel", 0},
    };
    for (const Step& step : steps) {
        std::filesystem::remove(folder / "Error.txt");
        PlatformTest::FailNext(step.function, 1, step.after);
        EXPECT_FALSE(display->InitDisplay(window, 320, 240, 32, step.windowed, nullptr))
            << step.function << " " << step.after;
        EXPECT_TRUE(AllNull()) << step.function << " " << step.after;
        EXPECT_EQ(0, display->width) << "width keeps its earlier value";
        EXPECT_EQ(std::vector<std::string>{displayFailed}, LoggedTexts(folder / "Error.txt"))
            << step.function;
    }
}

// A window partly off the screen is drawn where it is on the screen. Its client area, 640 x 480 (an
// exact double of the picture), starts 100 pixels left of the screen and ends past its bottom.
TEST_F(DisplayTest, AWindowPartlyOffTheScreenIsDrawnWhereItIsOnIt) {
    ASSERT_TRUE(display->InitDisplay(window, 320, 240, 32, true, nullptr));
    const std::vector<uint32_t> pattern = Pattern(320, 240);
    ASSERT_TRUE(WritePixels(display->backSurface, pattern));
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int left = -100, top = screenHeight - 268;
    MoveWindow(window, left - 4, top - 27, 648, 511, FALSE); // the frame: 4 a side, 27 above
    RECT client{};
    POINT origin{0, 0};
    ASSERT_TRUE(GetClientRect(window, &client) && ClientToScreen(window, &origin));
    ASSERT_EQ(std::make_tuple(left, top, 640L, 480L),
              std::make_tuple(origin.x, origin.y, client.right, client.bottom));
    const std::vector<uint32_t> before = ReadPixels(display->primarySurface);
    ASSERT_EQ(DD_OK, display->Present(window));
    const std::vector<uint32_t> shown = ReadPixels(display->primarySurface);
    auto at = [&](const std::vector<uint32_t>& pixels, int x, int y) {
        return pixels[static_cast<size_t>(y) * screenWidth + x];
    };
    // The screen's first and last columns and rows that the client area covers.
    for (auto [x, y] : {std::pair{0, top},
                        {539, top},
                        {0, screenHeight - 1},
                        {539, screenHeight - 1},
                        {270, top + 101}})
        EXPECT_EQ(pattern[(y - top) / 2 * 320 + (x - left) / 2], at(shown, x, y)) << x << "," << y;
    // Right of the client area and above it nothing changes.
    EXPECT_EQ(at(before, 540, top), at(shown, 540, top));
    EXPECT_EQ(at(before, 0, top - 1), at(shown, 0, top - 1));
    // Wholly off the screen: nothing to draw, and the frame counts as shown.
    MoveWindow(window, -2000, top, 648, 511, FALSE);
    EXPECT_EQ(DD_OK, display->Present(window));
    EXPECT_EQ(shown, ReadPixels(display->primarySurface));
}

} // namespace
