// InitDisplay: every failing step is logged once and leaves nothing behind.
#include <gtest/gtest.h>

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

} // namespace
