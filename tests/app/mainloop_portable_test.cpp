// The main loop's turns with posted messages, run the same on Linux and under Wine.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/gameapp.h"
#include "core/inputstate.h"
#include "support/tempfolder.h"

namespace {

struct Turn {
    int scene;
    int32_t leftButton;
    int32_t mouseX;
};

std::vector<Turn> turns;
GameApp* current = nullptr;
int quitAfterCalls = 0;
bool postMoveWithQuit = false;

void Record(int scene) {
    turns.push_back({scene, inputState.leftButton, inputState.mouseX});
    if (static_cast<int>(turns.size()) == quitAfterCalls) {
        PostQuitMessage(0);
        if (postMoveWithQuit)
            PostMessageA(current->window, WM_MOUSEMOVE, 0, MAKELPARAM(99, 1));
    }
}

void Scene1() {
    Record(1);
}
void Scene2() {
    Record(2);
}
void SwitchTo2() {
    Record(3);
    current->SwitchScene(2);
}

class MainLoopPortableTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.Enter();
        turns.clear();
        quitAfterCalls = 0;
        postMoveWithQuit = false;
        inputState = InputState{};
        app = std::make_unique<GameApp>();
        current = app.get();
        app->className = "MainLoopPortableTest";
        ASSERT_TRUE(app->CreateMainWindow(&app->window, nullptr, 160, 120, false, true));
        ShowCursor(FALSE); // undo the count change of window creation
        DrainQueue();
    }
    void TearDown() override {
        DrainQueue();
        app.reset();
        UnregisterClassA("MainLoopPortableTest", nullptr);
        current = nullptr;
    }
    // Handles whatever the system queued for the new window, so each test starts empty.
    static void DrainQueue() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message != WM_QUIT)
                DispatchMessageA(&message);
    }
    void Post(UINT message, WPARAM wParam, LPARAM lParam) {
        ASSERT_TRUE(PostMessageA(app->window, message, wParam, lParam));
    }
    TempFolder folder;
    std::unique_ptr<GameApp> app;
};

TEST_F(MainLoopPortableTest, EveryTurnCallsTheSceneOnceUntilQuit) {
    app->RegisterScene(0, Scene1);
    quitAfterCalls = 4;
    app->MainLoop();
    EXPECT_EQ(4u, turns.size());
}

TEST_F(MainLoopPortableTest, OneMessagePerTurnSoEveryPressIsSeen) {
    app->RegisterScene(0, Scene1);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    Post(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    Post(WM_MOUSEMOVE, 0, MAKELPARAM(42, 10));
    quitAfterCalls = 4;
    app->MainLoop();
    ASSERT_EQ(4u, turns.size());
    EXPECT_EQ(1, turns[0].leftButton);
    EXPECT_EQ(0, turns[1].leftButton);
    EXPECT_EQ(0, turns[1].mouseX);
    EXPECT_EQ(42, turns[2].mouseX);
}

TEST_F(MainLoopPortableTest, SwitchedSceneRunsFromTheNextTurn) {
    app->RegisterScene(0, SwitchTo2);
    app->RegisterScene(2, Scene2);
    quitAfterCalls = 3;
    app->MainLoop();
    ASSERT_EQ(3u, turns.size());
    EXPECT_EQ(3, turns[0].scene);
    EXPECT_EQ(2, turns[1].scene);
}

TEST_F(MainLoopPortableTest, PostedMessagesAreHandledBeforeTheQuit) {
    app->RegisterScene(0, Scene1);
    quitAfterCalls = 1;
    postMoveWithQuit = true;
    app->MainLoop();
    ASSERT_EQ(2u, turns.size()) << "the move posted after the quit still takes a turn";
    EXPECT_EQ(99, turns[1].mouseX);
}

TEST_F(MainLoopPortableTest, CloseMessageEndsTheLoopAfterItsTurnAndKeepsTheWindow) {
    app->RegisterScene(0, Scene1);
    Post(WM_CLOSE, 0, 0);
    app->MainLoop();
    EXPECT_EQ(1u, turns.size());
    EXPECT_TRUE(IsWindow(app->window));
}

} // namespace
