// The start-up scene: archive or not, another working directory, failing devices, images, scenes.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/gameapp.h"
#include "app/startup.h"
#include "game/gamestate.h"
#include "game/scenes.h"
#include "graphics/graphics.h"
#include "platformtest.h"
#include "sound/musicplayer.h"
#include "sound/soundplayer.h"
#include "support/gamefixture.h"

namespace fs = std::filesystem;

namespace {

class StartupTest : public GameFixture {};

TEST_F(StartupTest, WithTheArchiveEveryFileIsUnpackedAndItsFolderMadeCurrent) {
    Prepare(true);
    StartupScene();
    EXPECT_EQ(Extracted(), fs::current_path());
    for (const char* name :
         {"Title.bmp", "ScreenImage.bmp", "MapChip.bmp", "String.bmp", "Explosion.bmp",
          "Ending.dat", "Title.mid", "Stage.mid", "Clear.mid", "Ending.mid", "Gameover.mid"})
        EXPECT_TRUE(fs::exists(Extracted() / name)) << name;
    // The four images at their sizes, black transparent in all but the background.
    struct Image {
        IDirectDrawSurface* surface;
        int32_t width, height;
        bool keyed;
    };
    const GameState& g = gameState;
    for (const Image& image : {Image{g.screenImage, 320, 240, false},
                               {g.mapChipImage, 288, 32, true},
                               {g.stringImage, 312, 72, true},
                               {g.explosionImage, 512, 48, true}}) {
        int32_t width = 0, height = 0;
        ASSERT_TRUE(graphics.GetSurfaceSize(image.surface, &width, &height));
        EXPECT_EQ(image.width, width);
        EXPECT_EQ(image.height, height);
        uint32_t low = 1, high = 1;
        EXPECT_EQ(image.keyed, graphics.GetColorKey(image.surface, &low, &high));
        EXPECT_EQ(image.keyed ? 0u : 1u, low | high);
    }
    EXPECT_FALSE(fs::exists(Extracted() / "Error.txt"));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(graphics.backSurface, gameApp.backSurface) << "the display was handed over";
    EXPECT_EQ(Scene::title, gameApp.currentScene);
    EXPECT_EQ(TitleScene, gameApp.scenes[Scene::title]);
    EXPECT_EQ(GameOverScene, gameApp.scenes[Scene::gameOver]);
    for (int slot = Scene::gameOver + 1; slot < GameApp::sceneCount; ++slot)
        ASSERT_EQ(nullptr, gameApp.scenes[slot]) << slot;
    EXPECT_EQ(0, PlatformTest::CursorCount()) << "the cursor is shown again";
}

TEST_F(StartupTest, WithoutTheArchiveNothingIsMadeAndFilesComeFromTheProgramsFolder) {
    Prepare(false);
    StartupScene();
    EXPECT_EQ(program.Path() / "bin", fs::current_path());
    EXPECT_FALSE(fs::exists(home.Path() / program_invocation_short_name / "Windows/Temp"));
    EXPECT_EQ(nullptr, gameState.screenImage);
    // The four missing images are logged where the files were looked for.
    std::string log = ReadBytes(program / "bin/Error.txt");
    EXPECT_NE(std::string::npos, log.find(".\\ScreenImage.bmp"));
    EXPECT_NE(std::string::npos, log.find(".\\Explosion.bmp"));
    EXPECT_EQ(Scene::title, gameApp.currentScene);
}

TEST_F(StartupTest, FailingDevicesShowTwoBoxesSoundFirst) {
    Prepare(true);
    PlatformTest::FailNext("DirectSoundCreate");
    PlatformTest::FailNext("OpenAudioDevice"); // the music's own output cannot open either
    StartupScene();
    // DirectSoundの初期化に失敗, then DirectMusicの初期化に失敗, in code page 932.
    const std::string failed = "\x82\xCC\x8F\x89\x8A\xFA\x89\xBB\x82\xC9\x8E\xB8\x94\x73";
    EXPECT_EQ((std::vector<std::string>{"DirectSound" + failed, "DirectMusic" + failed}), Boxes());
    EXPECT_EQ("\x83\x47\x83\x89\x81\x5B", PlatformTest::MessageBoxes()[0].caption); // エラー
    EXPECT_EQ(nullptr, soundPlayer.DirectSound);
    EXPECT_EQ(nullptr, musicPlayer.Performance);
    EXPECT_EQ(Scene::title, gameApp.currentScene) << "start-up goes on";
}

TEST_F(StartupTest, WithoutSoundTheMusicStartsOnItsOwnOutput) {
    Prepare(true);
    PlatformTest::FailNext("DirectSoundCreate");
    StartupScene();
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ(0u, Boxes()[0].find("DirectSound"));
    EXPECT_NE(nullptr, musicPlayer.Performance);
}

} // namespace
