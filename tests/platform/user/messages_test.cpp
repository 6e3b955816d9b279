// The layer's message queue: retrieval order, filters, sending, translation and lParam packing.
#include <gtest/gtest.h>

#include <csignal>
#include <vector>

#include "platformtest.h"

namespace {

std::vector<UINT> received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

class MessagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformTest::Reset();
        PlatformTest::SetClock(5000);
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.lpszClassName = "Recording";
        ASSERT_NE(0, RegisterClassA(&windowClass));
        window = CreateWindowExA(0, "Recording", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, window);
        received.clear();
    }
    void TearDown() override { PlatformTest::Reset(); }

    std::vector<MSG> Drain() {
        std::vector<MSG> messages;
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);)
            messages.push_back(message);
        return messages;
    }
    static std::vector<UINT> Kinds(const std::vector<MSG>& messages) {
        std::vector<UINT> kinds;
        for (const MSG& message : messages)
            kinds.push_back(message.message);
        return kinds;
    }
    HWND window = nullptr;
};

TEST_F(MessagesTest, PostedMessagesComeBeforeQuitWhichComesBeforeInput) {
    PlatformTest::InjectMouseMove(window, 1, 1);
    PostQuitMessage(3);
    PostMessageA(window, WM_USER, 1, 0);
    PostMessageA(nullptr, WM_USER + 1, 2, 0);
    std::vector<MSG> messages = Drain();
    ASSERT_EQ((std::vector<UINT>{WM_USER, WM_USER + 1, WM_QUIT, WM_MOUSEMOVE}), Kinds(messages));
    EXPECT_EQ(std::make_tuple(HWND{}, WPARAM{3}, DWORD{5000}),
              std::tie(messages[1].hwnd, messages[2].wParam, messages[3].time));
}

TEST_F(MessagesTest, KeyAndMouseMessagesCarryWindowsPacking) {
    struct Case {
        const char* label;
        void (*inject)(HWND);
        UINT message;
        WPARAM wParam;
        DWORD lParam;
    };
    const Case cases[] = {
        {"Esc down", [](HWND w) { PlatformTest::InjectKey(w, VK_ESCAPE, true); }, WM_KEYDOWN,
         VK_ESCAPE, 0x00010001u},
        {"Esc up", [](HWND w) { PlatformTest::InjectKey(w, VK_ESCAPE, false); }, WM_KEYUP,
         VK_ESCAPE, 0xC0010001u},
        {"F1 down", [](HWND w) { PlatformTest::InjectKey(w, VK_F1, true); }, WM_KEYDOWN, VK_F1,
         0x003B0001u},
        {"Alt+F4", [](HWND w) { PlatformTest::InjectKey(w, VK_F4, true, true); }, WM_SYSKEYDOWN,
         VK_F4, 0x203E0001u},
        {"Alt", [](HWND w) { PlatformTest::InjectKey(w, VK_MENU, true); }, WM_SYSKEYDOWN, VK_MENU,
         0x20380001u},
        {"left arrow", [](HWND w) { PlatformTest::InjectKey(w, VK_LEFT, true); }, WM_KEYDOWN,
         VK_LEFT, 0x014B0001u},
        {"move", [](HWND w) { PlatformTest::InjectMouseMove(w, 631, 448); }, WM_MOUSEMOVE, 0,
         (448u << 16) | 631u},
        {"right down", [](HWND w) { PlatformTest::InjectMouseButton(w, 1, true, 3, 4); },
         WM_RBUTTONDOWN, MK_RBUTTON, (4u << 16) | 3u},
        {"right up", [](HWND w) { PlatformTest::InjectMouseButton(w, 1, false, 3, 4); },
         WM_RBUTTONUP, 0, (4u << 16) | 3u},
    };
    for (const Case& c : cases) {
        c.inject(window);
        std::vector<MSG> messages = Drain();
        ASSERT_EQ(1u, messages.size()) << c.label;
        const MSG& m = messages[0];
        EXPECT_EQ(std::make_tuple(window, c.message, c.wParam, c.lParam),
                  std::make_tuple(m.hwnd, m.message, m.wParam, static_cast<DWORD>(m.lParam)))
            << c.label;
    }
}

TEST_F(MessagesTest, AltF4AndTheCloseBoxReachTheWindowAsClose) {
    for (bool closeBox : {true, false}) {
        received.clear();
        if (closeBox)
            PlatformTest::InjectCloseBox(window);
        else
            PlatformTest::InjectKey(window, VK_F4, true, true);
        std::vector<MSG> messages = Drain();
        ASSERT_EQ(1u, messages.size());
        // The recording procedure leaves WM_CLOSE to the default, which destroys the window, so a
        // fresh window is made for the second round.
        DispatchMessageA(&messages[0]);
        std::vector<UINT> expected = {messages[0].message};
        if (!closeBox)
            expected.push_back(WM_SYSCOMMAND);
        for (UINT m : {WM_CLOSE, WM_DESTROY, WM_NCDESTROY})
            expected.push_back(m);
        EXPECT_EQ(expected, received) << closeBox;
        EXPECT_FALSE(IsWindow(window));
        window = CreateWindowExA(0, "Recording", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr,
                                 nullptr, nullptr, nullptr);
    }
}

TEST_F(MessagesTest, BurstsOfMovesLeaveTheNewestAndQueuesAreBounded) {
    PlatformTest::InjectMouseButton(window, 0, true, 1, 1);
    for (int i = 0; i < 20000; ++i)
        PlatformTest::InjectMouseMove(window, i % 600, 7);
    PlatformTest::InjectKey(window, VK_ESCAPE, true);
    PlatformTest::InjectMouseMove(window, 3, 4); // after the key: a move of its own
    std::vector<MSG> messages = Drain();
    ASSERT_EQ((std::vector<UINT>{WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_KEYDOWN, WM_MOUSEMOVE}),
              Kinds(messages));
    EXPECT_EQ(LPARAM{MAKELPARAM(19999 % 600, 7)}, messages[1].lParam);
    for (int i = 0; i < queueLimit; ++i)
        ASSERT_TRUE(PostMessageA(window, WM_USER, 0, 0));
    EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_ENOUGH_QUOTA), GetLastError());
    for (int i = 0; i < 2 * queueLimit; ++i)
        PlatformTest::InjectKey(window, 'A', (i & 1) == 0);
    EXPECT_EQ(static_cast<size_t>(2 * queueLimit), Drain().size());
}

TEST_F(MessagesTest, AStopSignalArrivesAsTheCloseBoxAndAnySecondOneEndsAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // not on the parent's X connection
    // The first arrives as the close box; the second, delivered or not, of any kind, ends the
    // process with 128 + its number.
    const std::pair<int, int> pairs[] = {{SIGTERM, SIGHUP}, {SIGHUP, SIGINT}, {SIGINT, SIGTERM}};
    for (auto [first, second] : pairs) {
        auto firstThenSecond = [this, first = first, second = second] {
            raise(first);
            std::vector<MSG> messages = Drain();
            if (Kinds(messages) != std::vector<UINT>{WM_SYSCOMMAND} ||
                (messages[0].wParam & 0xFFF0) != SC_CLOSE)
                _exit(1);
            raise(second);
        };
        EXPECT_EXIT(firstThenSecond(), ::testing::ExitedWithCode(128 + second), "") << first;
    }
    EXPECT_EXIT((raise(SIGINT), raise(SIGINT)), ::testing::ExitedWithCode(130), "")
        << "undelivered";
}

} // namespace
