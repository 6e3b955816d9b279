// GameWindowProc: unsigned mouse halves, the keys, close and quit, and what goes to the default.
#include <gtest/gtest.h>

#include <cstring>

#include "app/gameapp.h"
#include "core/inputstate.h"
#include "support/testwindow.h"

namespace {

InputState Sentinel() {
    InputState state;
    state.rightButton = state.leftButton = state.activeState = 77;
    state.mouseY = state.mouseX = state.keyCode = state.sizeState = 77;
    return state;
}

class WindowProcTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = MakeTestWindow("WindowProcTest");
        ASSERT_NE(nullptr, window);
        for (MSG drained; PeekMessageA(&drained, nullptr, 0, 0, PM_REMOVE);)
            continue;
    }
    void TearDown() override {
        if (IsWindow(window))
            DestroyWindow(window);
        UnregisterClassA("WindowProcTest", nullptr);
    }
    HWND window = nullptr;
};

TEST_F(WindowProcTest, OtherMessagesGoToTheDefaultAndTouchNothing) {
    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    const Case cases[] = {{WM_LBUTTONDBLCLK, MK_LBUTTON, 0},
                          {WM_SYSKEYDOWN, VK_F10, 0},
                          {WM_CHAR, 'a', 1},
                          {WM_MOVE, 0, 0},
                          {WM_MBUTTONDOWN, MK_MBUTTON, 0},
                          {WM_USER + 5, 1, 2}};
    for (const Case& c : cases) {
        inputState = Sentinel();
        EXPECT_EQ(DefWindowProcA(window, c.message, c.wParam, c.lParam),
                  GameWindowProc(window, c.message, c.wParam, c.lParam))
            << std::hex << c.message;
        InputState expected = Sentinel();
        EXPECT_EQ(0, memcmp(&expected, &inputState, sizeof expected)) << std::hex << c.message;
    }
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(WindowProcTest, CloseOnlyPostsQuitAndAQuitSentStraightToTheWindowDestroysIt) {
    EXPECT_EQ(1, GameWindowProc(window, WM_CLOSE, 0, 0));
    EXPECT_TRUE(IsWindow(window));
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), message.message);
    EXPECT_EQ(0u, message.wParam);
    EXPECT_EQ(-1, GameWindowProc(window, WM_QUIT, 0, 0));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowProcTest, MouseHalvesAreUnsignedAndKeyCodeHoldsTheLastKeyUntilAnyRelease) {
    inputState = Sentinel();
    EXPECT_EQ(1, GameWindowProc(window, WM_MOUSEMOVE, 0, MAKELPARAM(-1, -2)));
    EXPECT_EQ(std::make_tuple(65535, 65534, 77), // a move writes nothing else
              std::tie(inputState.mouseX, inputState.mouseY, inputState.leftButton));
    GameWindowProc(window, WM_KEYDOWN, 'A', 0x001E0001);
    EXPECT_EQ('A', inputState.keyCode);
    GameWindowProc(window, WM_KEYDOWN, 'B', 0x00300001);
    EXPECT_EQ('B', inputState.keyCode);
    GameWindowProc(window, WM_KEYUP, 'A', static_cast<LPARAM>(0xC01E0001u));
    EXPECT_EQ(0, inputState.keyCode) << "released A while B is still down";
}

} // namespace
