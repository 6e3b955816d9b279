// CreateMainWindow and Run: the window they make, their failure paths and the log entries.
#include <gtest/gtest.h>

#include <memory>

#include "app/gameapp.h"
#include "core/inputstate.h"
#include "platformtest.h"
#include "support/tempfolder.h"

namespace {

const std::string windowFailed = "ウィンドウの作成に失敗しました。";
const std::string startupFailed = "アプリケーションの初期化に失敗しました。";

GameApp* running = nullptr;
HWND windowSeenByScene = nullptr;

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

TEST_F(MainWindowTest, WindowIsAPopupOverlappedWindowAtTheOriginAboveOthers) {
    app->style = WS_OVERLAPPEDWINDOW;
    ASSERT_TRUE(app->CreateMainWindow(&app->window, nullptr, 320, 240, true, false));
    EXPECT_EQ(0x80CF0000u | WS_VISIBLE, static_cast<DWORD>(GetWindowLongA(app->window, GWL_STYLE)));
    RECT outer{}, client{};
    ASSERT_TRUE(GetWindowRect(app->window, &outer));
    GetClientRect(app->window, &client);
    EXPECT_EQ(std::make_tuple(0L, 0L, 320L, 240L, 320L - 2 * app->frameWidth,
                              240L - 3 * app->frameHeight - app->menuHeight),
              std::make_tuple(outer.left, outer.top, outer.right, outer.bottom, client.right,
                              client.bottom));
    EXPECT_TRUE(PlatformTest::IsTopmost(app->window));
    EXPECT_EQ(-1, PlatformTest::CursorCount());
    EXPECT_EQ(WA_ACTIVE, inputState.activeState) << "showing activates the window";
    EXPECT_FALSE(std::filesystem::exists(folder / "Error.txt"));
}

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
    app->RegisterScene(0, [] { windowSeenByScene = running->window, PostQuitMessage(0); });
    windowSeenByScene = nullptr;
    EXPECT_TRUE(app->Run(nullptr, 320, 240, 32, false, true));
    EXPECT_EQ(static_cast<DWORD>(WS_OVERLAPPEDWINDOW), app->style);
    ASSERT_NE(nullptr, windowSeenByScene);
    EXPECT_FALSE(IsWindow(windowSeenByScene));
    EXPECT_EQ(nullptr, app->window);
    EXPECT_FALSE(std::filesystem::exists(folder / "Error.txt"));
}

} // namespace
