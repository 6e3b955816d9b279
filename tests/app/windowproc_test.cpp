// GameWindowProc's table: which field each message writes, what it returns, what goes to the
// default.
#include <gtest/gtest.h>

#include "app/gameapp.h"
#include "core/inputstate.h"
#include "support/testwindow.h"

namespace {

constexpr int32_t untouched = 77;

InputState Sentinel() {
    InputState state;
    state.rightButton = state.leftButton = state.activeState = untouched;
    state.mouseY = state.mouseX = state.keyCode = state.sizeState = untouched;
    return state;
}

bool Same(const InputState& a, const InputState& b) {
    return a.rightButton == b.rightButton && a.leftButton == b.leftButton &&
           a.activeState == b.activeState && a.mouseY == b.mouseY && a.mouseX == b.mouseX &&
           a.keyCode == b.keyCode && a.sizeState == b.sizeState;
}

class WindowProcTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = MakeTestWindow("WindowProcTest");
        ASSERT_NE(nullptr, window);
        MSG drained;
        while (PeekMessageA(&drained, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    void TearDown() override {
        if (IsWindow(window))
            DestroyWindow(window);
        UnregisterClassA("WindowProcTest", nullptr);
    }
    HWND window = nullptr;
};

TEST_F(WindowProcTest, HandledMessagesWriteOneFieldAndReturnOne) {
    struct Case {
        const char* label;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        int32_t InputState::*field;
        int32_t value;
        int32_t InputState::*secondField;
        int32_t secondValue;
    };
    const Case cases[] = {
        {"size", WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(640, 480), &InputState::sizeState, 2, nullptr,
         0},
        {"activate", WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), 0, &InputState::activeState, 2,
         nullptr, 0},
        {"key down", WM_KEYDOWN, VK_ESCAPE, 0x00010001, &InputState::keyCode, VK_ESCAPE, nullptr,
         0},
        {"key up", WM_KEYUP, 'A', static_cast<LPARAM>(0xC01E0001u), &InputState::keyCode, 0,
         nullptr, 0},
        {"mouse move", WM_MOUSEMOVE, 0, MAKELPARAM(300, 200), &InputState::mouseX, 300,
         &InputState::mouseY, 200},
        {"mouse move unsigned", WM_MOUSEMOVE, 0, MAKELPARAM(-1, -2), &InputState::mouseX, 65535,
         &InputState::mouseY, 65534},
        {"left down", WM_LBUTTONDOWN, MK_LBUTTON, 0, &InputState::leftButton, 1, nullptr, 0},
        {"left up", WM_LBUTTONUP, 0, 0, &InputState::leftButton, 0, nullptr, 0},
        {"right down", WM_RBUTTONDOWN, MK_RBUTTON, 0, &InputState::rightButton, 1, nullptr, 0},
        {"right up", WM_RBUTTONUP, 0, 0, &InputState::rightButton, 0, nullptr, 0},
    };
    for (const Case& c : cases) {
        inputState = Sentinel();
        InputState expected = Sentinel();
        expected.*c.field = c.value;
        if (c.secondField != nullptr)
            expected.*c.secondField = c.secondValue;
        EXPECT_EQ(1, GameWindowProc(window, c.message, c.wParam, c.lParam)) << c.label;
        EXPECT_TRUE(Same(expected, inputState)) << c.label;
    }
}

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
        EXPECT_TRUE(Same(Sentinel(), inputState)) << std::hex << c.message;
    }
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(WindowProcTest, CloseOnlyPostsQuitAndLeavesTheWindow) {
    EXPECT_EQ(1, GameWindowProc(window, WM_CLOSE, 0, 0));
    EXPECT_TRUE(IsWindow(window));
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), message.message);
    EXPECT_EQ(0u, message.wParam);
}

TEST_F(WindowProcTest, QuitSentStraightToTheWindowDestroysItAndReturnsMinusOne) {
    EXPECT_EQ(-1, GameWindowProc(window, WM_QUIT, 0, 0));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowProcTest, KeyCodeHoldsTheLastKeyAndAnyReleaseClearsIt) {
    inputState = InputState{};
    GameWindowProc(window, WM_KEYDOWN, 'A', 0x001E0001);
    EXPECT_EQ('A', inputState.keyCode);
    GameWindowProc(window, WM_KEYDOWN, 'B', 0x00300001);
    EXPECT_EQ('B', inputState.keyCode);
    GameWindowProc(window, WM_KEYUP, 'A', static_cast<LPARAM>(0xC01E0001u));
    EXPECT_EQ(0, inputState.keyCode) << "released A while B is still down";
}

} // namespace
