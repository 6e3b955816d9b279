// The main loop's turns with injected input: one message then one scene call, and how it ends.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/gameapp.h"
#include "core/inputstate.h"
#include "platformtest.h"

namespace {

struct Observation {
    int scene;
    int32_t leftButton;
    int32_t keyCode;
    int32_t mouseX;
};

std::vector<Observation> observations;
GameApp* app = nullptr;
int quitAfterCalls = 0;

void Observe(int scene) {
    observations.push_back({scene, inputState.leftButton, inputState.keyCode, inputState.mouseX});
    if (static_cast<int>(observations.size()) == quitAfterCalls)
        PostQuitMessage(0);
}

void SceneOne() {
    Observe(1);
}
void SceneTwo() {
    Observe(2);
}
void SwitchingScene() {
    Observe(3);
    app->SwitchScene(2);
}

class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformTest::Reset();
        PlatformTest::SetClock(1000);
        observations.clear();
        quitAfterCalls = 0;
        inputState = InputState{};
        owned = std::make_unique<GameApp>();
        app = owned.get();
        app->style = WS_OVERLAPPEDWINDOW;
        ASSERT_TRUE(app->CreateMainWindow(&app->window, nullptr, 320, 240, true, false));
        MSG drained;
        while (PeekMessageA(&drained, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    void TearDown() override {
        owned.reset();
        app = nullptr;
        PlatformTest::Reset();
    }
    HWND Window() const { return app->window; }
    std::unique_ptr<GameApp> owned;
};

TEST_F(MainLoopTest, EmptyQueueCallsTheSceneOncePerTurnUntilQuit) {
    app->RegisterScene(0, SceneOne);
    quitAfterCalls = 5;
    app->MainLoop();
    EXPECT_EQ(5u, observations.size()) << "the turn that retrieves WM_QUIT calls no scene";
}

TEST_F(MainLoopTest, PressAndReleaseBetweenTurnsAreSeenOneTurnEach) {
    app->RegisterScene(0, SceneOne);
    PlatformTest::InjectMouseButton(Window(), 0, true, 10, 10);
    PlatformTest::InjectMouseButton(Window(), 0, false, 10, 10);
    quitAfterCalls = 3;
    app->MainLoop();
    ASSERT_EQ(3u, observations.size());
    EXPECT_EQ(1, observations[0].leftButton);
    EXPECT_EQ(0, observations[1].leftButton);
    EXPECT_EQ(0, observations[2].leftButton);
}

TEST_F(MainLoopTest, HeldButtonStaysSetWhileTheMouseMoves) {
    app->RegisterScene(0, SceneOne);
    PlatformTest::InjectMouseButton(Window(), 0, true, 10, 10);
    PlatformTest::InjectMouseMove(Window(), 40, 10);
    PlatformTest::InjectMouseMove(Window(), 90, 12);
    quitAfterCalls = 3;
    app->MainLoop();
    ASSERT_EQ(3u, observations.size());
    EXPECT_EQ(1, observations[2].leftButton);
    EXPECT_EQ(40, observations[1].mouseX);
    EXPECT_EQ(90, observations[2].mouseX);
}

TEST_F(MainLoopTest, KeyCodeFollowsPressesAndAnyRelease) {
    app->RegisterScene(0, SceneOne);
    PlatformTest::InjectKey(Window(), 'A', true);
    PlatformTest::InjectKey(Window(), 'B', true);
    PlatformTest::InjectKey(Window(), 'A', false);
    quitAfterCalls = 6;
    app->MainLoop();
    // Each letter key also yields a WM_CHAR, handled in a turn of its own.
    std::vector<int32_t> keys;
    for (const Observation& o : observations)
        keys.push_back(o.keyCode);
    EXPECT_EQ((std::vector<int32_t>{'A', 'A', 'B', 'B', 0, 0}), keys);
}

TEST_F(MainLoopTest, SwitchedSceneRunsFromTheNextTurn) {
    app->RegisterScene(0, SwitchingScene);
    app->RegisterScene(2, SceneTwo);
    PlatformTest::InjectMouseMove(Window(), 5, 5);
    quitAfterCalls = 3;
    app->MainLoop();
    ASSERT_EQ(3u, observations.size());
    EXPECT_EQ(3, observations[0].scene);
    EXPECT_EQ(2, observations[1].scene);
    EXPECT_EQ(2, observations[2].scene);
}

TEST_F(MainLoopTest, RefusedSwitchKeepsCallingTheSameScene) {
    app->RegisterScene(0, SceneOne);
    EXPECT_FALSE(app->SwitchScene(-1));
    EXPECT_FALSE(app->SwitchScene(9));
    quitAfterCalls = 2;
    app->MainLoop();
    EXPECT_EQ(1, observations[1].scene);
}

TEST_F(MainLoopTest, CloseBoxEndsTheLoopAndLeavesTheWindow) {
    app->RegisterScene(0, SceneOne);
    PlatformTest::InjectCloseBox(Window());
    app->MainLoop(); // the close box's turn calls the scene; the next turn retrieves WM_QUIT
    EXPECT_EQ(1u, observations.size());
    EXPECT_TRUE(IsWindow(Window()));
}

TEST_F(MainLoopTest, AltF4EndsTheLoopLikeTheCloseBox) {
    app->RegisterScene(0, SceneOne);
    PlatformTest::InjectKey(Window(), VK_MENU, true);
    PlatformTest::InjectKey(Window(), VK_F4, true, true);
    app->MainLoop();
    EXPECT_EQ(2u, observations.size());
    EXPECT_TRUE(IsWindow(Window()));
}

LRESULT CALLBACK EndingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER)
        return -1;
    return GameWindowProc(window, message, wParam, lParam);
}

TEST_F(MainLoopTest, DispatchResultOfMinusOneEndsTheLoopWithoutASceneCall) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = EndingProc;
    windowClass.lpszClassName = "Ending";
    ASSERT_NE(0, RegisterClassA(&windowClass));
    HWND other = CreateWindowExA(0, "Ending", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
    app->RegisterScene(0, SceneOne);
    PostMessageA(other, WM_USER, 0, 0);
    app->MainLoop();
    EXPECT_EQ(0u, observations.size());
}

TEST_F(MainLoopTest, QuitPostedBySceneIsRetrievedBeforeLaterInput) {
    app->RegisterScene(0, SceneOne);
    quitAfterCalls = 1;
    PlatformTest::InjectMouseMove(Window(), 1, 1);
    PlatformTest::InjectMouseMove(Window(), 2, 2);
    app->MainLoop();
    EXPECT_EQ(1u, observations.size());
}

} // namespace
