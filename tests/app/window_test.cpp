// The application frame in use: GameWindowProc, the main loop's turns, CreateMainWindow and Run.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "app/gameapp.h"
#include "core/inputstate.h"
#include "support/tempfolder.h"
#include "support/testcontrols.h"
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

// A window procedure whose dispatch of WM_USER returns -1.
LRESULT CALLBACK EndingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return message == WM_USER ? -1 : GameWindowProc(window, message, wParam, lParam);
}

TEST_F(MainLoopTest, CloseEndsAfterItsTurnKeepingTheWindowAndADispatchOfMinusOneAtOnce) {
    PostMessageA(app->window, WM_CLOSE, 0, 0);
    app->MainLoop();
    EXPECT_EQ(1u, seen.size());
    EXPECT_TRUE(IsWindow(app->window));
    seen.clear();
    HWND other = MakeTestWindow("MainLoopEnding", WS_POPUP, 0, 0, 10, 10, EndingProc);
    PostMessageA(other, WM_USER, 0, 0);
    app->MainLoop();
    EXPECT_EQ(0u, seen.size()) << "no scene call";
    DestroyWindow(other);
    UnregisterClassA("MainLoopEnding", nullptr);
}

// The cases below inject failures and read the cursor count (native only).
#if QUELLMARK_TEST_CONTROLS

const std::string windowFailed = "ウィンドウの作成に失敗しました。";
const std::string startupFailed = "アプリケーションの初期化に失敗しました。";

GameApp* running = nullptr;
HWND windowSeenByScene = nullptr;
bool topmostForScene = false; // and the window above others, the cursor hidden, when it ran
int cursorForScene = 0;

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformTest::Reset();
        folder.Enter();
        app = std::make_unique<GameApp>();
        running = app.get();
    }
    void TearDown() override {
        app.reset();
        PlatformTest::Reset();
    }
    TempFolder folder;
    std::unique_ptr<GameApp> app;
};

TEST_F(MainWindowTest, FailingRegistrationOrCreationLogsOneEntryAndRunASecond) {
    for (const char* failing : {"RegisterClassA", "CreateWindowExA"}) {
        std::filesystem::remove(folder / "Error.txt");
        PlatformTest::FailNext(failing);
        HWND window = nullptr;
        EXPECT_FALSE(app->CreateMainWindow(&window, nullptr, 320, 240, true, false)) << failing;
        EXPECT_EQ(nullptr, window) << failing;
        EXPECT_EQ(std::vector<std::string>{windowFailed}, LoggedTexts(folder / "Error.txt"))
            << failing;
    }
    std::filesystem::remove(folder / "Error.txt");
    PlatformTest::FailNext("CreateWindowExA");
    app->RegisterScene(0, [] { PostQuitMessage(0); });
    EXPECT_FALSE(app->Run(nullptr, 320, 240, 32, false, true));
    EXPECT_EQ(nullptr, app->window);
    EXPECT_EQ(nullptr, app->directDraw);
    // Creation failed before the cursor was hidden, so showing it again raises the count to 1.
    EXPECT_EQ(1, PlatformTest::CursorCount());
    EXPECT_EQ((std::vector<std::string>{windowFailed, startupFailed}),
              LoggedTexts(folder / "Error.txt"));
}

TEST_F(MainWindowTest, RunReplacesTheStyleAndEndsWithTheWindowDestroyed) {
    app->style = WS_VISIBLE | WS_CHILD;
    app->RegisterScene(0, [] {
        windowSeenByScene = running->window;
        topmostForScene = PlatformTest::IsTopmost(running->window);
        cursorForScene = PlatformTest::CursorCount();
        PostQuitMessage(0);
    });
    windowSeenByScene = nullptr;
    EXPECT_TRUE(app->Run(nullptr, 320, 240, 32, false, true));
    EXPECT_EQ(static_cast<DWORD>(WS_OVERLAPPEDWINDOW), app->style);
    ASSERT_NE(nullptr, windowSeenByScene);
    EXPECT_FALSE(IsWindow(windowSeenByScene));
    EXPECT_EQ(std::make_pair(true, -1), std::make_pair(topmostForScene, cursorForScene));
    EXPECT_EQ(nullptr, app->window);
    EXPECT_FALSE(std::filesystem::exists(folder / "Error.txt"));
}

// The program's exit handlers destroy its window, after the layer's own statics are gone.
TEST(ProgramExitTest, EndsCleanlyWithItsWindowStillOpen) {
    // A child started afresh: a forked one would share the parent's X connection and break it.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            PlatformTest::SetHeadless(false); // a real SDL window (SDL's dummy driver)
            gameApp.CreateMainWindow(&gameApp.window, nullptr, 320, 240, true, false);
            exit(gameApp.window != nullptr ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
}

#endif

} // namespace
