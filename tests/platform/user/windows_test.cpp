// The layer's window classes and windows: registry rules, creation messages, frame and placement.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

#include "platformtest.h"
#include "support/ddsupport.h"
#include "support/tempfolder.h"

namespace {

struct Sent {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Sent> sent;
LRESULT createResult = 0;

LRESULT CALLBACK LoggingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    sent.push_back({message, wParam, lParam});
    if (message == WM_CREATE)
        return createResult;
    return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<UINT> Messages() {
    std::vector<UINT> messages;
    for (const Sent& s : sent)
        messages.push_back(s.message);
    return messages;
}

class WindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformTest::Reset();
        sent.clear();
        createResult = 0;
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = LoggingProc;
        windowClass.lpszClassName = "Logging";
        ASSERT_NE(0, RegisterClassA(&windowClass));
    }
    void TearDown() override { PlatformTest::Reset(); }
    HWND Create(DWORD style, int width = 320, int height = 240) {
        return CreateWindowExA(0, "Logging", "Title", style, 0, 0, width, height, nullptr, nullptr,
                               nullptr, nullptr);
    }
};

TEST_F(WindowsTest, FirstShowingActivatesAndReportsSizeAndPlace) {
    HWND window = Create(WS_OVERLAPPEDWINDOW | WS_POPUP);
    sent.clear();
    EXPECT_FALSE(ShowWindow(window, SW_SHOWDEFAULT)) << "was hidden";
    EXPECT_EQ((std::vector<UINT>{WM_SHOWWINDOW, WM_ACTIVATE, WM_SETFOCUS, WM_SIZE, WM_MOVE}),
              Messages());
    EXPECT_EQ(static_cast<LPARAM>(MAKELPARAM(320 - 8, 240 - 31)), sent[3].lParam);
    EXPECT_EQ(static_cast<LPARAM>(MAKELPARAM(4, 27)), sent[4].lParam);
    sent.clear();
    EXPECT_TRUE(ShowWindow(window, SW_SHOWDEFAULT));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(WindowsTest, ClientAreaIsTheOuterRectangleLessTheFrame) {
    struct Case {
        DWORD style;
        int width, height;
        LONG clientWidth, clientHeight;
    };
    const Case cases[] = {
        {WS_OVERLAPPEDWINDOW | WS_POPUP, 640, 480, 632, 449},
        {WS_OVERLAPPEDWINDOW | WS_POPUP, 320, 240, 312, 209},
        {WS_POPUP, 320, 240, 320, 240},
        {WS_OVERLAPPEDWINDOW, 10, 10, 2, 0},
    };
    for (const Case& c : cases) {
        HWND window = Create(c.style, c.width, c.height);
        RECT client{}, outer{};
        ASSERT_TRUE(GetClientRect(window, &client));
        ASSERT_TRUE(GetWindowRect(window, &outer));
        EXPECT_EQ(c.clientWidth, client.right) << c.width;
        EXPECT_EQ(c.clientHeight, client.bottom) << c.width;
        EXPECT_EQ(c.width, outer.right - outer.left);
        DestroyWindow(window);
    }
    EXPECT_EQ(4, GetSystemMetrics(SM_CXFRAME));
    EXPECT_EQ(4, GetSystemMetrics(SM_CYFRAME));
    EXPECT_EQ(19, GetSystemMetrics(SM_CYMENU));
}

TEST_F(WindowsTest, ResizingTheViewAndFullScreenLeaveTheWindowAndItsMessagesAlone) {
    HWND window = Create(WS_OVERLAPPEDWINDOW | WS_POPUP, 640, 480);
    sent.clear();
    PlatformTest::ResizeView(window, 1500, 700);
    for (auto [key, alt] : {std::pair{VK_F11, false}, {VK_RETURN, true}, {VK_F11, false}}) {
        bool before = PlatformTest::IsFullScreen(window);
        PlatformTest::InjectKey(window, key, true, alt);
        PlatformTest::InjectKey(window, key, false, alt);
        EXPECT_NE(before, PlatformTest::IsFullScreen(window)) << key;
    }
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) << "the keys never arrive";
    EXPECT_TRUE(sent.empty());
    RECT outer{}, client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    EXPECT_EQ(std::make_tuple(640, 480, 632, 449),
              std::make_tuple(outer.right, outer.bottom, client.right, client.bottom));
}

TEST_F(WindowsTest, ASizingFrameStartsAtTheLargestWholeScaleTheUsableAreaHolds) {
    // 640 x 480 outside: a 632 x 449 client area and 8 x 31 pixels of frame.
    HWND sizing = Create(WS_OVERLAPPEDWINDOW, 640, 480);
    HWND fixed = Create(WS_POPUP | WS_CAPTION, 640, 480);
    struct Case {
        HWND window;
        int usableWidth, usableHeight, scale;
    };
    const Case cases[] = {
        {sizing, 2 * 632 + 8, 2 * 449 + 31, 2},
        {sizing, 2 * 632 + 7, 2 * 449 + 31, 1},
        {sizing, 2 * 632 + 8, 2 * 449 + 30, 1},
        {sizing, 3840, 2160, 4},
        {sizing, 600, 400, 1},
        {fixed, 3840, 2160, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.scale, PlatformTest::StartScale(c.window, c.usableWidth, c.usableHeight))
            << c.usableWidth << "x" << c.usableHeight;
}

// The view's size and full screen are kept between runs; a record that is damaged, cut short or
// someone else's is ignored and replaced whole; a link at its name is replaced, not followed.
TEST_F(WindowsTest, TheViewIsKeptBetweenRunsAndABadRecordIsReplaced) {
    TempFolder config;
    setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
    PlatformTest::RememberViews(true);
    const std::filesystem::path folder = config.Path() / program_invocation_short_name;
    const std::string record = (folder / "view").string();
    std::filesystem::create_directories(folder);
    // One run: the view it starts with, then the player's doing, then what the record holds.
    auto run = [&](const std::function<void(HWND)>& play) {
        HWND window = Create(WS_OVERLAPPEDWINDOW, 640, 480);
        int width = 0, height = 0;
        PlatformTest::ViewSize(window, &width, &height);
        auto start = std::make_tuple(width, height, PlatformTest::IsFullScreen(window));
        play(window);
        DestroyWindow(window);
        return std::make_pair(start, ReadBytes(record));
    };
    auto fullScreen = [](HWND window) {
        PlatformTest::InjectKey(window, VK_F11, true);
        PlatformTest::InjectKey(window, VK_F11, false);
    };
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    auto first = run([&](HWND window) {
        PlatformTest::ResizeView(window, 900, 700);
        fullScreen(window);
    });
    EXPECT_EQ(std::make_tuple(632, 449, false), first.first);
    EXPECT_EQ("view 1 900 700 0 1\n", first.second);
    auto second = run(fullScreen);
    EXPECT_EQ(std::make_tuple(screenWidth, screenHeight, true), second.first);
    EXPECT_EQ("view 1 900 700 0 0\n", second.second) << "back from full screen to its own size";
    struct Case {
        std::string bytes;
        int width, height; // the view started with
    };
    const Case cases[] = {
        {"view 1 1 1 0 0\n", 1, 1},
        {"view 1 16385 1 0 0\n", 632, 449},
        {"view 1 0 700 0 0\n", 632, 449},
        {"view 1 900 700 2 0\n", 632, 449},
        {"view 1 900 700 0 0", 632, 449},
        {"view 1 900 700 0\n", 632, 449},
        {"view 2 900 700 0 0\n", 632, 449},
        {"view 1 900 700 0 0 9\n", 632, 449}, // a number more on the line
        {"", 632, 449},
        {"view 1 16384 16384 0 0\n", std::min(16384, screenWidth), std::min(16384, screenHeight)},
    };
    for (const Case& c : cases) {
        WriteBytes(record, c.bytes);
        auto result = run([](HWND) {});
        EXPECT_EQ(std::make_tuple(c.width, c.height, false), result.first) << c.bytes;
        EXPECT_EQ("view 1 " + std::to_string(c.width) + " " + std::to_string(c.height) + " 0 0\n",
                  result.second)
            << c.bytes;
    }
    const std::string outside = (config.Path() / "outside").string();
    WriteBytes(outside, "keep");
    std::filesystem::remove(record);
    std::filesystem::create_symlink(outside, record);
    run([](HWND) {});
    EXPECT_EQ("keep", ReadBytes(outside));
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(record)));
    unsetenv("XDG_CONFIG_HOME");
}

// A shown message box draws its text in the IPA P Gothic face, as GDI draws the same code page 932
// text (a box in X core fonts shows Japanese as mojibake or empty squares): the ink of the box's
// text area equals, pixel for pixel, the ink of the reference line; a second line stands below.
TEST(MessageBoxTest, TheTextIsDrawnInTheIpaFontsLineByLine) {
    DirectDrawFixture dd;
    ASSERT_TRUE(dd.Ready());
    HFONT font =
        CreateFontA(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, "IPAPGothic");
    ASSERT_NE(nullptr, font);
    const std::wstring lines[] = {L"DirectSound\u306E\u521D\u671F\u5316\u306B\u5931\u6557",
                                  L"(OK)"};
    std::vector<RECT> expected;
    std::vector<std::vector<uint32_t>> references;
    for (const std::wstring& line : lines) {
        char ansi[64] = {};
        WideCharToMultiByte(CP_ACP, 0, line.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
        IDirectDrawSurface* surface = dd.NewSurface(300, 20);
        HDC dc = nullptr;
        ASSERT_EQ(DD_OK, surface->GetDC(&dc));
        SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, 0x00FFFFFF);
        TextOutA(dc, 0, 0, ansi, static_cast<int>(strlen(ansi)));
        surface->ReleaseDC(dc);
        references.push_back(ReadPixels(surface));
        expected.push_back(Bounds(references.back(), 300, 0, nullptr, true));
    }
    char utf8[64] = {};
    std::wstring text = lines[0] + L"\n" + lines[1];
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
    int width = 0, height = 0;
    std::vector<uint32_t> box = PlatformTest::MessageBoxPicture(utf8, MB_OK, &width, &height);
    ASSERT_FALSE(box.empty());
    // Black ink on the box's white text area, above the grey button strip.
    int textRows = 0;
    while (textRows < height && box[static_cast<size_t>(textRows) * width] == 0x00FFFFFF)
        ++textRows;
    // The ink's rows in bands, one per line.
    auto inkedRow = [&](int y) {
        return std::any_of(box.begin() + y * width, box.begin() + (y + 1) * width,
                           [](uint32_t p) { return p == 0; });
    };
    std::vector<std::pair<int, int>> bands;
    for (int y = 0; y < textRows; ++y)
        if (inkedRow(y) && (y == 0 || !inkedRow(y - 1)))
            bands.emplace_back(y, y + 1);
        else if (inkedRow(y))
            bands.back().second = y + 1;
    ASSERT_EQ(2u, bands.size());
    for (size_t n = 0; n < 2; ++n) {
        std::vector<uint32_t> band(box.begin() + bands[n].first * width,
                                   box.begin() + bands[n].second * width);
        RECT drawn = Bounds(band, width, 0);
        const RECT& r = expected[n];
        ASSERT_EQ(r.bottom - r.top, drawn.bottom - drawn.top) << n;
        ASSERT_EQ(r.right - r.left, drawn.right - drawn.left) << n;
        for (int y = 0; y < r.bottom - r.top; ++y)
            for (int x = 0; x < r.right - r.left; ++x)
                ASSERT_EQ(references[n][static_cast<size_t>(r.top + y) * 300 + r.left + x] != 0,
                          band[static_cast<size_t>(drawn.top + y) * width + drawn.left + x] == 0)
                    << "line " << n << " at " << x << "," << y;
    }
    DeleteObject(font);
}

TEST(MessageBoxTest, ButtonsStandInTheirOrderAtTheStripsRightTheFirstFocused) {
    int width = 0, height = 0;
    std::vector<uint32_t> box =
        PlatformTest::MessageBoxPicture("A", MB_YESNOCANCEL, &width, &height);
    ASSERT_FALSE(box.empty());
    // Along the row just inside the buttons' top edge (the strip is 48 pixels, a button 26, so
    // buttons start 11 pixels into it): each button's edge runs 88 pixels, 10 apart, the last 12
    // from the right; the first, focused, has the accent colour of the focus frame.
    auto at = [&](int x, int y) { return box[static_cast<size_t>(y) * width + x]; };
    const int edgeRow = height - 48 + 11;
    std::vector<std::pair<int, int>> runs; // [start, end) of non-strip pixels
    for (int x = 0; x < width; ++x)
        if (at(x, edgeRow) != 0xF0F0F0u && (runs.empty() || runs.back().second != x))
            runs.emplace_back(x, x + 1);
        else if (at(x, edgeRow) != 0xF0F0F0u)
            runs.back().second = x + 1;
    const int first = width - 12 - 3 * 88 - 2 * 10;
    EXPECT_EQ((std::vector<std::pair<int, int>>{
                  {first, first + 88}, {first + 98, first + 186}, {first + 196, first + 284}}),
              runs);
    EXPECT_EQ(0xF0F0F0u, at(first, edgeRow - 1)) << "the strip above the buttons";
    EXPECT_EQ(0x0078D7u, at(first, edgeRow)) << "the first button's focus frame";
    EXPECT_EQ(0xADADADu, at(first + 98, edgeRow)) << "the second button's edge";
}

} // namespace
