// The main loop's turns: one message then one scene call, switching, and the ways it ends.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/gameapp.h"
#include "core/inputstate.h"
#include "support/tempfolder.h"
#include "support/testcontrols.h"
#include "support/testwindow.h"

namespace {

std::vector<std::vector<int32_t>> seen; // per scene call: scene, left button, mouse x
GameApp* app = nullptr;
size_t quitAfterCalls = 0;

void Observe(int scene) {
    seen.push_back({scene, inputState.leftButton, inputState.mouseX});
    if (seen.size() == quitAfterCalls)
        PostQuitMessage(0);
}

class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestControls::Reset();
        folder.Enter();
        seen.clear();
        quitAfterCalls = 0;
        inputState = InputState{};
        owned = std::make_unique<GameApp>();
        app = owned.get();
        app->className = "MainLoopTest";
        app->RegisterScene(0, [] { Observe(1); });
        ASSERT_TRUE(app->CreateMainWindow(&app->window, nullptr, 160, 120, false, true));
        ShowCursor(FALSE); // undo the count change of window creation
        MSG message;       // whatever the system queued for the new window
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message != WM_QUIT)
                DispatchMessageA(&message);
    }
    void TearDown() override {
        owned.reset();
        UnregisterClassA("MainLoopTest", nullptr);
        TestControls::Reset();
    }
    TempFolder folder;
    std::unique_ptr<GameApp> owned;
};

TEST_F(MainLoopTest, OneMessagePerTurnSoEveryPressIsSeenUntilQuit) {
    PostMessageA(app->window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageA(app->window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(42, 10));
    PostMessageA(app->window, WM_LBUTTONUP, 0, MAKELPARAM(42, 10));
    quitAfterCalls = 5;
    app->MainLoop();
    // The turn that retrieves WM_QUIT calls no scene.
    EXPECT_EQ((std::vector<std::vector<int32_t>>{
                  {1, 1, 0}, {1, 1, 42}, {1, 0, 42}, {1, 0, 42}, {1, 0, 42}}),
              seen);
}

TEST_F(MainLoopTest, SwitchedSceneRunsFromTheNextTurn) {
    owned->scenes[0] = [] { Observe(3), app->SwitchScene(2); };
    app->RegisterScene(2, [] { Observe(2); });
    quitAfterCalls = 3;
    app->MainLoop();
    ASSERT_EQ(3u, seen.size());
    EXPECT_EQ((std::vector<int32_t>{3, 2, 2}),
              (std::vector<int32_t>{seen[0][0], seen[1][0], seen[2][0]}));
}

TEST_F(MainLoopTest, CloseEndsAfterItsTurnKeepingTheWindowAndADispatchOfMinusOneAtOnce) {
    PostMessageA(app->window, WM_CLOSE, 0, 0);
    app->MainLoop();
    EXPECT_EQ(1u, seen.size());
    EXPECT_TRUE(IsWindow(app->window));
    seen.clear();
    auto ending = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        return message == WM_USER ? -1 : GameWindowProc(window, message, wParam, lParam);
    };
    HWND other = MakeTestWindow("MainLoopEnding", WS_POPUP, 0, 0, 10, 10, ending);
    PostMessageA(other, WM_USER, 0, 0);
    app->MainLoop();
    EXPECT_EQ(0u, seen.size()) << "no scene call";
    DestroyWindow(other);
    UnregisterClassA("MainLoopEnding", nullptr);
}

} // namespace
