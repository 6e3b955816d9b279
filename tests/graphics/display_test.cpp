// InitDisplay's success and every failing step, and where Present puts the picture.
#include <gtest/gtest.h>

#include <memory>

#include <mmsystem.h>

#include "graphics/graphics.h"
#include "platformtest.h"
#include "support/ddsupport.h"
#include "support/tempfolder.h"
#include "support/testwindow.h"

namespace {

const std::string displayFailed = "DirectDrawの初期化に失敗しました。";

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformTest::Reset();
        folder.Enter();
        window = MakeTestWindow("DisplayTest", WS_OVERLAPPEDWINDOW | WS_POPUP, 100, 50, 650, 510);
        ShowWindow(window, SW_SHOW);
        display = std::make_unique<Graphics>();
    }
    void TearDown() override {
        if (display->directDraw != nullptr)
            display->directDraw->Release();
        PlatformTest::Reset();
    }
    bool AllNull() const {
        return display->directDraw == nullptr && display->primarySurface == nullptr &&
               display->backSurface == nullptr && display->clipper == nullptr;
    }
    TempFolder folder;
    HWND window = nullptr;
    std::unique_ptr<Graphics> display;
};

TEST_F(DisplayTest, WindowedDisplayHasABlackClippedBackSurface) {
    ASSERT_TRUE(display->InitDisplay(window, 320, 240, 32, true, nullptr));
    EXPECT_EQ(1, display->windowed);
    EXPECT_EQ(320, display->width);
    EXPECT_EQ(240, display->height);
    int32_t width = 0, height = 0;
    ASSERT_TRUE(display->GetSurfaceSize(display->backSurface, &width, &height));
    EXPECT_EQ(320, width);
    EXPECT_EQ(240, height);
    std::vector<uint32_t> pixels = ReadPixels(display->backSurface);
    EXPECT_EQ(std::vector<uint32_t>(320 * 240, 0u), pixels);
    // The back surface is clipped to the display; the primary (the screen) is not clipped.
    EXPECT_EQ(DD_OK, display->FillRect(display->backSurface, 300, 0, 400, 10, 0xFFFFFF));
    EXPECT_FALSE(std::filesystem::exists(folder / "Error.txt"));
}

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

TEST_F(DisplayTest, FailedDirectDrawCreateWritesNoEntryAndAnExistingObjectIsReused) {
    PlatformTest::FailNext("DirectDrawCreate");
    EXPECT_FALSE(display->InitDisplay(window, 320, 240, 32, true, nullptr));
    EXPECT_FALSE(std::filesystem::exists(folder / "Error.txt"));
    ASSERT_EQ(DD_OK, DirectDrawCreate(nullptr, &display->directDraw, nullptr));
    IDirectDraw* existing = display->directDraw;
    PlatformTest::FailNext("DirectDrawCreate");
    EXPECT_TRUE(display->InitDisplay(window, 320, 240, 32, true, nullptr));
    EXPECT_EQ(existing, display->directDraw);
}

TEST_F(DisplayTest, WindowedPresentStretchesIntoTheFramedInnerRectangle) {
    ASSERT_TRUE(display->InitDisplay(window, 320, 240, 32, true, nullptr));
    display->FillSurface(display->backSurface, 0x3366CC);
    ASSERT_EQ(DD_OK, display->Present(window)); // the window's outer (100, 50)-(750, 560)
    std::vector<uint32_t> screen = ReadPixels(display->primarySurface);
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    // (104, 77)-(746, 556): frame 4, twice the frame and the menu height at the top.
    for (int y : {76, 77, 300, 555, 556})
        for (int x : {103, 104, 400, 745, 746}) {
            bool inside = x >= 104 && x < 746 && y >= 77 && y < 556;
            EXPECT_EQ(inside ? 0x3366CCu : 0u, screen[static_cast<size_t>(y) * screenWidth + x])
                << x << "," << y;
        }
    int shownWidth = 0, shownHeight = 0;
    std::vector<uint32_t> shown = PlatformTest::ShownPixels(window, &shownWidth, &shownHeight);
    EXPECT_EQ(642, shownWidth);
    EXPECT_EQ(479, shownHeight);
    EXPECT_EQ(std::vector<uint32_t>(642 * 479, 0x3366CCu), shown);
}

TEST_F(DisplayTest, ResizingByTheFrameMakesThePictureFollow) {
    ASSERT_TRUE(display->InitDisplay(window, 320, 240, 32, true, nullptr));
    display->FillRect(display->backSurface, 0, 0, 160, 240, 0x00FF00);
    PlatformTest::InjectUserResize(window, 800, 600);
    ASSERT_EQ(DD_OK, display->Present(window));
    int width = 0, height = 0;
    std::vector<uint32_t> shown = PlatformTest::ShownPixels(window, &width, &height);
    ASSERT_EQ(800, width);
    ASSERT_EQ(600, height);
    // The left half, two and a half times as wide; the truncated 16.16 step maps x 400 to
    // source column 159 still, so black starts at 401.
    EXPECT_EQ(0x00FF00u, shown[400]);
    EXPECT_EQ(0u, shown[401]);
    // A window reaching past the screen's edge gets nothing: the primary surface has no clipper.
    PlatformTest::InjectUserResize(window, 2000, 600);
    EXPECT_EQ(DDERR_INVALIDRECT, display->Present(window));
}

TEST_F(DisplayTest, AbsurdSurfaceSizesAreRefusedNotAllocated) {
    ASSERT_TRUE(display->InitDisplay(window, 320, 240, 32, true, nullptr));
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface* surface = nullptr;
    for (DWORD side : {16385u, 100000u, 0xFFFFFFFFu}) {
        desc.dwWidth = side;
        desc.dwHeight = 16;
        EXPECT_EQ(DDERR_OUTOFMEMORY, display->directDraw->CreateSurface(&desc, &surface, nullptr))
            << side;
    }
    desc.dwWidth = 16384;
    ASSERT_EQ(DD_OK, display->directDraw->CreateSurface(&desc, &surface, nullptr));
    surface->Release();
}

TEST_F(DisplayTest, ColourKeyRangesLeaveOutEveryValueInThem) {
    // Documented DirectDraw honours the whole range (Wine only its low end), so this runs here.
    ASSERT_TRUE(display->InitDisplay(window, 320, 240, 32, true, nullptr));
    IDirectDrawSurface* source = nullptr;
    ASSERT_TRUE(display->CreateOffscreenSurface(source, 4, 1));
    ASSERT_TRUE(WritePixels(source, {0x000010, 0x000020, 0x000030, 0x000040}));
    ASSERT_TRUE(display->SetColorKey(source, 0x000020, 0x000030));
    display->FillSurface(display->backSurface, 0xEEEEEE);
    display->BltRect(display->backSurface, 0, 0, 4, 1, source, 0, 0, 4, 1,
                     DDBLT_WAIT | DDBLT_KEYSRC);
    std::vector<uint32_t> row = ReadPixels(display->backSurface);
    EXPECT_EQ((std::vector<uint32_t>{0x000010, 0xEEEEEE, 0xEEEEEE, 0x000040}),
              std::vector<uint32_t>(row.begin(), row.begin() + 4));
    source->Release();
}

TEST_F(DisplayTest, FullScreenPresentFlipsIntoTheWindowScaled) {
    ASSERT_TRUE(display->InitDisplay(window, 320, 240, 32, false, nullptr));
    EXPECT_EQ(0, display->windowed);
    std::vector<uint32_t> picture;
    for (int i = 0; i < 320 * 240; ++i)
        picture.push_back(i % 320 < 160 ? 0xFF0000u : 0x0000FFu);
    ASSERT_TRUE(WritePixels(display->backSurface, picture));
    ASSERT_EQ(DD_OK, display->Present(window));
    EXPECT_EQ(picture, ReadPixels(display->primarySurface)) << "the flip shows the back buffer";
    int width = 0, height = 0;
    std::vector<uint32_t> shown = PlatformTest::ShownPixels(window, &width, &height);
    ASSERT_EQ(642, width);
    EXPECT_EQ(0xFF0000u, shown[0]);
    EXPECT_EQ(0x0000FFu, shown[641]);
}

TEST_F(DisplayTest, FramesAreShownAtMostOncePerRefreshAndSlowerOnesNeverWait) {
    ASSERT_TRUE(display->InitDisplay(window, 320, 240, 32, true, nullptr));
    PlatformTest::SetClock(1000);
    ASSERT_EQ(DD_OK, display->Present(window));
    EXPECT_EQ(1000u, timeGetTime()) << "the first frame at once";
    PlatformTest::AdvanceClock(5);
    ASSERT_EQ(DD_OK, display->Present(window));
    EXPECT_EQ(1017u, timeGetTime()) << "the second within one refresh waits for the next";
    for (int frame = 0; frame < 5; ++frame) { // the stage's pace: one frame every 20 ms
        PlatformTest::AdvanceClock(20);
        DWORD before = timeGetTime();
        ASSERT_EQ(DD_OK, display->Present(window));
        EXPECT_EQ(before, timeGetTime()) << "frame " << frame;
    }
}

} // namespace
