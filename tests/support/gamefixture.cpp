// GameFixture: the program's folder, window, display and global objects for start-up and scenes.
#include "gamefixture.h"

#include "app/gameapp.h"
#include "core/inputstate.h"
#include "game/gamestate.h"
#include "game/scenes.h"
#include "graphics/graphics.h"
#include "platformtest.h"
#include "sound/musicplayer.h"
#include "sound/soundplayer.h"

namespace fs = std::filesystem;

std::string ProgramFolder() {
    char name[MAX_PATH];
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    std::string path = &name[2]; // without "Z:"
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return fs::path(path).parent_path().string();
}

void GameFixture::Prepare(bool withArchive) {
    std::string archive = ProgramFolder() + "/Quellmark.zrm";
    PlatformTest::Reset();
    PlatformTest::SetClock(100000);
    setenv("XDG_DATA_HOME", home.Path().c_str(), 1);
    fs::create_directory(home.Path() / "run");
    fs::permissions(home.Path() / "run", fs::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", (home.Path() / "run").c_str(), 1);
    fs::create_directories(program.Path() / "bin");
    WriteBytes(program / "bin/Quellmark", "an executable stands here");
    if (withArchive) {
        ASSERT_TRUE(fs::exists(archive)) << archive;
        fs::copy_file(archive, program.Path() / "bin/Quellmark.zrm",
                      fs::copy_options::overwrite_existing);
    }
    PlatformTest::SetModulePath((program.Path() / "bin/Quellmark").string());
    for (SceneFunc& scene : gameApp.scenes)
        scene = nullptr;
    gameApp.currentScene = Scene::startup;
    gameApp.style = WS_OVERLAPPEDWINDOW;
    ASSERT_TRUE(gameApp.CreateMainWindow(&gameApp.window, nullptr, 320, 240, true, false));
    ASSERT_TRUE(gameApp.InitDisplay(gameApp.window, 320, 240, 32, true, nullptr));
    gameState = GameState{};
    inputState = InputState{};
    elsewhere.Enter(); // started from another working directory
}

void GameFixture::TearDown() {
    musicPlayer.Shutdown();
    soundPlayer.Shutdown();
    CloseEndingText();
    gameState = GameState{};
    if (gameApp.directDraw != nullptr)
        gameApp.directDraw->Release();
    static_cast<DisplayBlock&>(gameApp) = DisplayBlock{};
    gameApp.RecordFrameMetrics();
    static_cast<DisplayBlock&>(graphics) = gameApp;
    gameApp.window = nullptr;
    PlatformTest::Reset();
}

std::vector<std::string> GameFixture::Boxes() const {
    std::vector<std::string> texts;
    for (const auto& box : PlatformTest::MessageBoxes())
        texts.push_back(box.text);
    return texts;
}

void GameFixture::Turn(unsigned milliseconds) {
    MSG message;
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    gameApp.scenes[gameApp.currentScene]();
    PlatformTest::AdvanceClock(milliseconds);
}

void GameFixture::Turns(int count, unsigned milliseconds) {
    for (int i = 0; i < count; ++i)
        Turn(milliseconds);
}

void GameFixture::StartSceneForTest(int scene) {
    StartScene(scene);
    Turn();
}
