// The main loop's turns: one message then one scene call, switching, and the ways it ends.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/gameapp.h"
#include "core/inputstate.h"
#include "support/tempfolder.h"
#include "support/testcontrols.h"

namespace {

struct Observation {
    int32_t scene;
    int32_t leftButton;
    int32_t mouseX;
};

std::vector<Observation> observations;
GameApp* app = nullptr;
int quitAfterCalls = 0;

void Observe(int scene) {
    observations.push_back({scene, inputState.leftButton, inputState.mouseX});
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

LRESULT CALLBACK EndingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER)
        return -1;
    return GameWindowProc(window, message, wParam, lParam);
}

class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestControls::Reset();
        folder.Enter();
        observations.clear();
        quitAfterCalls = 0;
        inputState = InputState{};
        owned = std::make_unique<GameApp>();
        app = owned.get();
        app->className = "MainLoopTest";
        app->RegisterScene(0, SceneOne);
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
        app = nullptr;
        TestControls::Reset();
    }
    void Post(UINT message, WPARAM wParam, LPARAM lParam) {
        ASSERT_TRUE(PostMessageA(app->window, message, wParam, lParam));
    }
    std::vector<int32_t> Seen(int32_t Observation::*field) const {
        std::vector<int32_t> values;
        for (const Observation& o : observations)
            values.push_back(o.*field);
        return values;
    }
    TempFolder folder;
    std::unique_ptr<GameApp> owned;
};

TEST_F(MainLoopTest, OneMessagePerTurnSoEveryPressIsSeenUntilQuit) {
    Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    Post(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(42, 10));
    Post(WM_LBUTTONUP, 0, MAKELPARAM(42, 10));
    quitAfterCalls = 5;
    app->MainLoop();
    EXPECT_EQ((std::vector<int32_t>{1, 1, 0, 0, 0}), Seen(&Observation::leftButton))
        << "the turn that retrieves WM_QUIT calls no scene";
    EXPECT_EQ((std::vector<int32_t>{0, 42, 42, 42, 42}), Seen(&Observation::mouseX));
}

TEST_F(MainLoopTest, SwitchedSceneRunsFromTheNextTurn) {
    owned->scenes[0] = SwitchingScene;
    app->RegisterScene(2, SceneTwo);
    quitAfterCalls = 3;
    app->MainLoop();
    EXPECT_EQ((std::vector<int32_t>{3, 2, 2}), Seen(&Observation::scene));
}

TEST_F(MainLoopTest, CloseEndsTheLoopAfterItsTurnAndKeepsTheWindow) {
    Post(WM_CLOSE, 0, 0);
    app->MainLoop();
    EXPECT_EQ(1u, observations.size());
    EXPECT_TRUE(IsWindow(app->window));
}

TEST_F(MainLoopTest, DispatchResultOfMinusOneEndsTheLoopWithoutASceneCall) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = EndingProc;
    windowClass.lpszClassName = "MainLoopEnding";
    ASSERT_NE(0, RegisterClassA(&windowClass));
    HWND other = CreateWindowExA(0, "MainLoopEnding", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    PostMessageA(other, WM_USER, 0, 0);
    app->MainLoop();
    EXPECT_EQ(0u, observations.size());
    DestroyWindow(other);
    UnregisterClassA("MainLoopEnding", nullptr);
}

} // namespace
