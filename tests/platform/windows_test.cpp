// The layer's window classes and windows: registry rules, creation messages, frame and placement.
#include <gtest/gtest.h>

#include <vector>

#include "platformtest.h"

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

} // namespace
