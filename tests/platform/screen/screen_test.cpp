// The layer's screen: a frame in any view (letterboxed, sharp, clicks mapped back, F11), the pace
// of frames, the X server's picture against the layer's own copy, 8-bit screens' pixels, and
// surfaces too large to make.
#include <gtest/gtest.h>

#include <mmsystem.h>

#include "support/ddsupport.h"
#include "support/displayfixture.h"

namespace {

using ScreenTest = DisplayFixture;

TEST_F(ScreenTest, AnyViewShowsTheClientAreaLetterboxedSharpAndMapsClicksBack) {
    // The client area is 642 x 479. Views: exact double; double and a few pixels (snapped to
    // double, centred), up to 8 more (snapped) and 9 (fitted); wider, taller and smaller than the
    // client's shape (fitted, with bars).
    struct Case {
        int width, height;
        RECT place; // where the picture lands in the view
    };
    const Case cases[] = {{1284, 958, {0, 0, 1284, 958}},     {1290, 962, {3, 2, 1287, 960}},
                          {1292, 966, {4, 4, 1288, 962}},     {1293, 966, {0, 1, 1293, 965}},
                          {1920, 1080, {236, 0, 1683, 1080}}, {700, 2000, {0, 739, 700, 1261}},
                          {100, 50, {16, 0, 83, 50}},         {642, 479, {0, 0, 642, 479}}};
    ASSERT_TRUE(display->InitDisplay(window, 320, 240, 32, true, nullptr));
    ASSERT_TRUE(WritePixels(display->backSurface, Pattern(320, 240))); // no pixel black
    for (const Case& c : cases) {
        PlatformTest::ResizeView(window, c.width, c.height);
        ASSERT_EQ(DD_OK, display->Present(window));
        int width = 0, height = 0;
        std::vector<uint32_t> view = PlatformTest::ShownPixels(window, &width, &height);
        ASSERT_EQ(std::make_pair(c.width, c.height), std::make_pair(width, height));
        RECT drawn = Bounds(view, width, 0, nullptr, true); // the picture has no black pixel
        EXPECT_EQ(std::make_tuple(c.place.left, c.place.top, c.place.right, c.place.bottom),
                  std::make_tuple(drawn.left, drawn.top, drawn.right, drawn.bottom))
            << c.width << "x" << c.height;
        // View pixel x shows client column (x - left) * 642 / picture width, rounded down, and a
        // click there reaches the program as that client pixel; a click on a bar goes nowhere.
        const int pictureWidth = c.place.right - c.place.left;
        const int pictureHeight = c.place.bottom - c.place.top;
        for (auto [x, y] : {std::pair{c.place.left, c.place.top},
                            {c.place.right - 1, c.place.bottom - 1},
                            {(c.place.left + c.place.right) / 2, c.place.top + 1},
                            {c.place.left - 1, c.place.top},
                            {c.place.right, c.place.top},
                            {c.place.left, c.place.bottom}}) {
            bool inside = x >= c.place.left && x < c.place.right && y < c.place.bottom;
            int clientX = (x - c.place.left) * 642 / pictureWidth;
            int clientY = (y - c.place.top) * 479 / pictureHeight;
            PlatformTest::InjectViewMouse(window, 0, true, x, y);
            MSG message{};
            EXPECT_EQ(inside,
                      PeekMessageA(&message, window, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE))
                << c.width << "x" << c.height << " at " << x << "," << y;
            if (!inside)
                continue;
            EXPECT_EQ(MAKELPARAM(clientX, clientY), message.lParam) << x << "," << y;
            // The client picture is the back surface stretched by DirectDraw's 16.16 step.
            auto source = [](int i, int from, int to) { return i * ((from << 16) / to) >> 16; };
            EXPECT_EQ(
                Pattern(320, 240)[source(clientY, 240, 479) * 320 + source(clientX, 320, 642)],
                view[static_cast<size_t>(y) * width + x])
                << x << "," << y;
        }
        // A release over a bar (or the view's last pixel) reaches the nearest client pixel, so
        // that the button does not stay pressed; the view's bottom-left corner is on a bar when
        // the view has one on the left or at the bottom.
        PlatformTest::InjectViewMouse(window, 0, false, 0, c.height - 1);
        MSG release{};
        ASSERT_TRUE(PeekMessageA(&release, window, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE))
            << c.width << "x" << c.height;
        EXPECT_EQ(MAKELPARAM(0, (c.place.bottom - 1 - c.place.top) * 479 / pictureHeight),
                  release.lParam)
            << c.width << "x" << c.height;
    }
    // F11 makes the view the whole screen; the window itself does not change.
    PlatformTest::InjectKey(window, VK_F11, true);
    ASSERT_EQ(DD_OK, display->Present(window));
    int width = 0, height = 0;
    PlatformTest::ShownPixels(window, &width, &height);
    EXPECT_EQ(std::make_pair(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)),
              std::make_pair(width, height));
}

// A loop that finds nothing to do rests until its next frame's millisecond, only once its frames
// keep one steady interval (of at most 100 ms), and never right after a frame.
TEST(IdleTest, AnIdleTurnRestsToTheNextFramesMillisecondOnlyInASteadyRhythm) {
    const DWORD steady[3] = {1000, 1020, 1040}, unsteady[3] = {1000, 1021, 1040};
    const DWORD slow[3] = {1000, 1101, 1202}, slowest[3] = {1000, 1100, 1200};
    const DWORD wrapping[3] = {0xFFFFFFEC, 0, 20};
    struct Case {
        const char* label;
        const DWORD* readings;
        int known;
        bool frameLastTurn;
        DWORD now;
        int64_t rest;
    };
    const Case cases[] = {
        {"steady, 250 us into 1045", steady, 3, false, 1045, 15 * 1000000 - 250000},
        {"the millisecond before the frame's", steady, 3, false, 1059, 1000000 - 250000},
        {"the frame's millisecond", steady, 3, false, 1060, 0},
        {"past it", steady, 3, false, 1075, 0},
        {"right after a frame", steady, 3, true, 1045, 0},
        {"two frames known", steady, 2, false, 1045, -1},
        {"unsteady", unsteady, 3, false, 1045, -1},
        {"101 ms apart", slow, 3, false, 1205, -1},
        {"100 ms apart", slowest, 3, false, 1250, 50 * 1000000 - 250000},
        {"across the clock's wrap", wrapping, 3, false, 30, 10 * 1000000 - 250000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.rest,
                  PlatformTest::IdleRest(c.readings, c.known, c.frameLastTurn, c.now, 250000))
            << c.label;
}

TEST_F(ScreenTest, AbsurdSurfaceSizesAreRefusedNotAllocated) {
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

TEST_F(ScreenTest, FramesAreShownAtMostOncePerRefreshAndSlowerOnesNeverWait) {
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

// Through a real X server (the test program run under Xvfb with SDL_VIDEODRIVER=x11; skipped
// elsewhere) the server scales the view: at the client's size and at whole scales it shows exactly
// what the layer's own copy shows; at other scales a pixel may come from the next client pixel.
TEST_F(ScreenTest, AnXServerShowsTheViewAsTheLayersOwnCopyDoes) {
    const char* driver = getenv("SDL_VIDEODRIVER");
    if (driver == nullptr || std::string(driver) != "x11")
        GTEST_SKIP() << "needs SDL_VIDEODRIVER=x11 and an X server";
    DestroyWindow(window); // the headless one, which would need the picture made here
    PlatformTest::SetHeadless(false);
    HWND shown =
        MakeTestWindow("DisplayTestX11", WS_OVERLAPPEDWINDOW | WS_POPUP, 100, 50, 650, 510);
    ShowWindow(shown, SW_SHOW);
    ASSERT_TRUE(display->InitDisplay(shown, 320, 240, 32, true, nullptr));
    ASSERT_TRUE(WritePixels(display->backSurface, Pattern(320, 240)));
    struct Case {
        int width, height;
        bool whole;
    };
    // From the second frame on the server also makes DirectDraw's stretch of the back surface.
    for (const Case& c : {Case{642, 479, true},
                          {1284, 958, true},
                          {1290, 962, true},
                          {1000, 600, false},
                          {642, 479, true}}) {
        PlatformTest::ResizeView(shown, c.width, c.height);
        ASSERT_EQ(DD_OK, display->Present(shown));
        int width = 0, height = 0;
        std::vector<uint32_t> view = PlatformTest::ShownPixels(shown, &width, &height);
        ASSERT_EQ(std::make_pair(c.width, c.height), std::make_pair(width, height));
        ASSERT_EQ(static_cast<size_t>(width) * height, view.size()) << "not shown by the server";
        // The client area, (104, 77)-(746, 556) of the screen, as the layer holds it.
        std::vector<uint32_t> screen = ReadPixels(display->primarySurface);
        auto client = [&](int x, int y) {
            return screen[static_cast<size_t>(77 + y) * GetSystemMetrics(SM_CXSCREEN) + 104 + x];
        };
        RECT place = Bounds(view, width, 0, nullptr, true); // the picture has no black pixel
        int pictureWidth = place.right - place.left, pictureHeight = place.bottom - place.top;
        for (int y = place.top; y < place.bottom; ++y)
            for (int x = place.left; x < place.right; ++x) {
                int cx = (x - place.left) * 642 / pictureWidth;
                int cy = (y - place.top) * 479 / pictureHeight;
                uint32_t pixel = view[static_cast<size_t>(y) * width + x];
                bool next =
                    !c.whole && (pixel == client(std::min(cx + 1, 641), cy) ||
                                 pixel == client(cx, std::min(cy + 1, 478)) ||
                                 pixel == client(std::min(cx + 1, 641), std::min(cy + 1, 478)));
                ASSERT_TRUE(pixel == client(cx, cy) || next)
                    << c.width << "x" << c.height << " at " << x << "," << y;
            }
    }
    DestroyWindow(shown);
}

// With no window manager (the test's X server runs none) the layer itself makes a full-screen view
// cover the screen, from a view larger than the screen too, and gives the view back its size.
TEST_F(ScreenTest, FullScreenOnAnXServerWithoutAWindowManagerCoversTheScreenFromAnySize) {
    const char* driver = getenv("SDL_VIDEODRIVER");
    if (driver == nullptr || std::string(driver) != "x11")
        GTEST_SKIP() << "needs SDL_VIDEODRIVER=x11 and an X server";
    DestroyWindow(window);
    PlatformTest::SetHeadless(false);
    HWND shown = MakeTestWindow("DisplayTestFull", WS_OVERLAPPEDWINDOW, 100, 50, 650, 510);
    ShowWindow(shown, SW_SHOW);
    ASSERT_TRUE(display->InitDisplay(shown, 320, 240, 32, true, nullptr));
    const std::pair<int, int> screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    auto shownSize = [&] {
        PlatformTest::InjectKey(shown, VK_F11, true);
        PlatformTest::InjectKey(shown, VK_F11, false);
        EXPECT_EQ(DD_OK, display->Present(shown));
        std::pair<int, int> size;
        PlatformTest::ViewSize(shown, &size.first, &size.second);
        return size;
    };
    for (std::pair<int, int> size :
         {std::pair{642, 479}, {screen.first + 40, screen.second + 30}}) {
        PlatformTest::ResizeView(shown, size.first, size.second);
        EXPECT_EQ(screen, shownSize()) << "full screen from " << size.first;
        EXPECT_EQ(size, shownSize()) << "back from full screen to " << size.first;
    }
    DestroyWindow(shown);
}

// An 8-bit screen gets each pixel's nearest colour from the top five bits of each channel (alpha
// ignored), in rows of four-byte steps: through a 3-3-2 TrueColor visual, and through the cube
// (0x20 is the lowest red that rounds to the cube's second level, 0x18 still rounds to none).
TEST(EightBitScreenTest, EachPixelTakesItsNearestColourInRowsOfTheImagesPitch) {
    const std::vector<uint32_t> picture = {0xFFFFFFFF, 0xFFC08040, 0x00200000,
                                           0x00180000, 0x0000FF00, 0x000000FF};
    EXPECT_EQ((std::vector<uint8_t>{0xFF, 0xB1, 0x20, 0, 0x20, 0x1C, 0x03, 0}),
              PlatformTest::EightBitImage(picture, 3, 0xE0, 0x1C, 0x03));
    EXPECT_EQ((std::vector<uint8_t>{16 + 215, 16 + 4 * 36 + 3 * 6 + 1, 16 + 36, 0, 16, 16 + 5 * 6,
                                    16 + 5, 0}),
              PlatformTest::EightBitImage(picture, 3, 0, 0, 0));
}

} // namespace
