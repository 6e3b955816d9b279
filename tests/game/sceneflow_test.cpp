// The scenes played with scripted and random input on the virtual clock (the soak run in CI).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <unistd.h>

#include <mmsystem.h>

#include "app/gameapp.h"
#include "app/startup.h"
#include "core/inputstate.h"
#include "game/gamestate.h"
#include "game/scenes.h"
#include "graphics/graphics.h"
#include "platformtest.h"
#include "sound/musicplayer.h"
#include "sound/soundplayer.h"
#include "support/ddsupport.h"
#include "support/gamefixture.h"

namespace fs = std::filesystem;

namespace {

class SceneFlowTest : public GameFixture {
protected:
    void SetUp() override {
        Prepare(true);
        gameApp.RegisterScene(0, StartupScene);
        Turn(); // the start-up scene: window, archive, devices, images, scenes
        ASSERT_EQ(Scene::title, gameApp.currentScene);
    }
    void Click() {
        PlatformTest::InjectMouseButton(gameApp.window, 0, true, 600, 440);
        PlatformTest::InjectMouseButton(gameApp.window, 0, false, 600, 440);
        Turns(3);
    }
    void Key(int virtualKey) {
        PlatformTest::InjectKey(gameApp.window, virtualKey, true);
        PlatformTest::InjectKey(gameApp.window, virtualKey, false);
        Turns(4);
    }
};

TEST_F(SceneFlowTest, AWholeGameFromTheTitleThroughFourStagesAndTheEndingBackToTheTitle) {
    Turns(5);
    Click();
    ASSERT_EQ(Scene::stage, gameApp.currentScene);
    for (int stage = 1; stage <= 4; ++stage) {
        Turns(5);
        EXPECT_EQ(stage, gameState.stage);
        EXPECT_EQ(stage >= 3 ? 1 : 0, gameState.screenWave);
        Key(VK_F2); // the stage counts as cleared
        ASSERT_EQ(Scene::clear, gameApp.currentScene) << "stage " << stage;
        int typed = gameState.clearChars;
        Turns(25); // half a second: one more letter
        EXPECT_EQ(typed + 1, gameState.clearChars);
        if (stage == 1) {
            Click(); // completes the caption and stays
            EXPECT_EQ(Scene::clear, gameApp.currentScene);
        } else {
            Turns(200); // four seconds: the caption is typed out
        }
        EXPECT_EQ(5, gameState.clearChars);
        Click();
        ASSERT_EQ(stage < 4 ? Scene::stage : Scene::ending, gameApp.currentScene) << stage;
    }
    Turns(5000, 20); // a hundred seconds of the ending: every line has come and gone
    EXPECT_TRUE(gameState.endingFile != nullptr && feof(gameState.endingFile));
    EXPECT_EQ(0, gameState.endingMosaic);
    Click();
    EXPECT_EQ(Scene::title, gameApp.currentScene);
    EXPECT_EQ(20, gameState.endingMosaic);
    Turns(3);
    gameState.score = 123456; // the title's click resets it; groups dealt in may score again
    Click();
    Turns(2);
    EXPECT_EQ(1, gameState.stage) << "a new game starts at stage 1";
    EXPECT_LT(gameState.score, 123456);
    EXPECT_EQ(0, gameState.score % 100);
}

TEST_F(SceneFlowTest, EverySceneStartsItsOwnSong) {
    auto playing = [] {
        std::vector<int16_t> samples = PlatformTest::RenderMusic(musicPlayer.Performance, 22050);
        int peak = 0;
        for (int16_t sample : samples)
            peak = std::max(peak, std::abs(static_cast<int>(sample)));
        return peak > 300;
    };
    // The songs differ in length (music time, 768 a quarter note), which tells them apart.
    auto length = [] {
        MUSIC_TIME value = 0;
        if (musicPlayer.Segments[0] != nullptr)
            musicPlayer.Segments[0]->GetLength(&value);
        return value;
    };
    Turns(2);
    struct Song {
        int scene;
        MUSIC_TIME length;
    };
    for (const Song& song :
         {Song{Scene::title, 24 * 4 * 768}, Song{Scene::stage, 32 * 4 * 768},
          Song{Scene::clear, 6 * 768}, Song{Scene::ending, 20 * 4 * 768},
          Song{Scene::gameOver, 12 * 4 * 768}, Song{Scene::title, 24 * 4 * 768}}) {
        if (song.scene == Scene::stage)
            Click(); // from the title, as a player starts
        else if (gameApp.currentScene != song.scene)
            StartSceneForTest(song.scene);
        EXPECT_EQ(song.length, length()) << "scene " << song.scene;
        EXPECT_TRUE(playing()) << "scene " << song.scene;
    }
}

TEST_F(SceneFlowTest, RunningOutOfTimeLeadsToGameOverAndBackToTheTitle) {
    Click();
    ASSERT_EQ(Scene::stage, gameApp.currentScene);
    Turns(5);
    ASSERT_EQ(99, gameState.timeLeft);
    // Quota out of reach so that nothing clears the stage by chance.
    gameState.clearQuota = 100000;
    int turns = 0;
    while (gameApp.currentScene == Scene::stage && turns++ < 500)
        Turn(250);
    EXPECT_EQ(Scene::gameOver, gameApp.currentScene);
    EXPECT_EQ(0, gameState.timeLeft);
    EXPECT_GT(turns, 390) << "about one hundred seconds";
    Turns(10);
    EXPECT_NE(nullptr, gameState.gameOverSnapshot);
    Click();
    EXPECT_EQ(Scene::title, gameApp.currentScene);
    EXPECT_EQ(nullptr, gameState.gameOverSnapshot);
}

TEST_F(SceneFlowTest, EndingShowsEveryKindOfLineThenBlackOrTheUnbrokenLastLine) {
    struct Case {
        std::string text;
        int lines; // pictures shown, the read that finds the end included
        bool blackAtTheEnd;
    };
    const Case cases[] = {
        // CR LF and LF breaks, bytes that are no Shift-JIS, 300 characters as 255 and 45, a last
        // line without a break.
        {"FIRST\r\n\x82\xFF\x81\nSECOND\n" + std::string(300, 'W') + "\nLAST", 6, false},
        {"ONE\nTWO\n", 3, true}, // the read at the end leaves the picture black
    };
    for (const Case& c : cases) {
        WriteBytes(Extracted() / "Ending.dat", c.text);
        StartSceneForTest(Scene::ending);
        ASSERT_NE(nullptr, gameState.endingFile);
        int lines = 0;
        for (int turn = 0; turn < 3000 && !feof(gameState.endingFile); ++turn) {
            int before = gameState.endingMosaic;
            Turn();
            lines += gameState.endingMosaic == 20 && before != 20; // a new line has come
        }
        EXPECT_EQ(c.lines, lines) << c.text;
        Turns(500); // ten more seconds: the picture stays, sharp
        std::vector<uint32_t> pixels = ReadPixels(graphics.backSurface);
        EXPECT_EQ(c.blackAtTheEnd, std::all_of(pixels.begin(), pixels.end(),
                                               [](uint32_t pixel) { return pixel == 0; }))
            << c.text;
        Click();
        EXPECT_EQ(Scene::title, gameApp.currentScene);
    }
    // Entering the ending again, left by a key before, holds one file open, not two.
    auto openFiles = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    };
    auto before = openFiles();
    StartSceneForTest(Scene::ending);
    StartSceneForTest(Scene::ending);
    EXPECT_EQ(before + 1, openFiles());
    CloseEndingText();
    EXPECT_EQ(before, openFiles());
    fs::remove(Extracted() / "Ending.dat"); // a missing file behaves as one at its end
    StartSceneForTest(Scene::ending);
    Turns(200);
    EXPECT_EQ(nullptr, gameState.endingFile);
    EXPECT_EQ(0, gameState.endingMosaic);
}

TEST_F(SceneFlowTest, AfterALostDisplayEverySceneShowsItsPicturesAgain) {
    struct Case {
        int scene;
        int steadyRows; // top rows that no animation reaches: the same before and after the loss
    };
    const Case cases[] = {{Scene::title, 150},
                          {Scene::stage, 10},
                          {Scene::clear, 0},
                          {Scene::ending, 0},
                          {Scene::gameOver, 0}};
    // The display is not back for two frames; or the primary and back surfaces come back but a
    // picture's surface refuses once more, after Present works again; or the desktop's display
    // mode changed, and no surface made before can come back (the display is made anew).
    struct Loss {
        bool modeChange;
        int times, after; // Restore refuses this often, after so many successes
    };
    const Loss losses[] = {{false, 2, 0}, {false, 1, 2}, {true, 0, 0}};
    auto top = [](int rows) {
        std::vector<uint32_t> pixels = ReadPixels(graphics.backSurface);
        pixels.resize(static_cast<size_t>(rows) * 320);
        return pixels;
    };
    auto pictures = [] {
        std::vector<std::vector<uint32_t>> all;
        for (IDirectDrawSurface* image : {gameState.screenImage, gameState.mapChipImage,
                                          gameState.stringImage, gameState.explosionImage})
            all.push_back(ReadPixels(image));
        return all;
    };
    for (auto [modeChange, times, after] : losses)
        for (const Case& c : cases) {
            gameState.stage = 0; // stage 1 every time: stage 3's waves would move the steady rows
            StartSceneForTest(c.scene);
            Turns(3);
            std::vector<uint32_t> before = top(c.steadyRows);
            std::vector<std::vector<uint32_t>> picturesBefore = pictures();
            if (modeChange) {
                PlatformTest::ChangeDisplayMode();
            } else {
                PlatformTest::FailNext("Restore", times, after);
                PlatformTest::LoseSurfaces();
            }
            Turns(6);
            EXPECT_EQ(before, top(c.steadyRows)) << "scene " << c.scene;
            EXPECT_TRUE(picturesBefore == pictures())
                << "scene " << c.scene << ", " << times << " refusals after " << after;
            int width = 0, height = 0;
            for (const auto& picture : {ReadPixels(graphics.backSurface),
                                        PlatformTest::ShownPixels(gameApp.window, &width, &height)})
                EXPECT_EQ(picture.end(),
                          std::find(picture.begin(), picture.end(), PlatformTest::lostFill))
                    << "scene " << c.scene << ": a lost pixel is still shown";
        }
    EXPECT_FALSE(fs::exists(Extracted() / "Error.txt")) << "nothing to log";
}

// Seeded random input (clicks, drags, right clicks, F1 to F3, idle stretches) until the wall-clock
// budget is spent: every scene is reached, and resident memory stays flat from the first simulated
// minute on. A short run by default; CI's soak runs it for minutes under the sanitizers.
TEST_F(SceneFlowTest, RandomPlayReachesEverySceneAndKeepsItsMemoryFlat) {
    const char* seconds = getenv("QUELLMARK_SOAK_SECONDS");
    const std::chrono::duration<double> budget(seconds != nullptr ? atof(seconds) : 3);
    std::mt19937 random(1);
    auto pick = [&](int range) {
        return static_cast<int>(random() % static_cast<unsigned>(range));
    };
    auto residentPages = [] {
        long size = 0, resident = 0;
        FILE* statm = fopen("/proc/self/statm", "r");
        EXPECT_TRUE(statm != nullptr && fscanf(statm, "%ld %ld", &size, &resident) == 2);
        if (statm != nullptr)
            fclose(statm);
        return resident;
    };
    HWND window = gameApp.window;
    std::set<int> reached;
    long firstMinute = 0, last = 0;
    const DWORD start = timeGetTime();
    for (auto began = std::chrono::steady_clock::now();
         std::chrono::steady_clock::now() - began < budget;) {
        int x = pick(640), y = pick(480), action = pick(10);
        if (action == 0 || action > 3) { // a click, or a drag to elsewhere
            PlatformTest::InjectMouseButton(window, 0, true, x, y);
            if (action == 0)
                PlatformTest::InjectMouseMove(window, x = pick(640), y = pick(480));
            PlatformTest::InjectMouseButton(window, 0, false, x, y);
        } else if (action == 1) {
            PlatformTest::InjectMouseButton(window, 1, true, x, y);
            PlatformTest::InjectMouseButton(window, 1, false, x, y);
        } else if (action == 2) { // a key held for a few turns; clears lead on through the game
            const int keys[] = {VK_F1, VK_F2, VK_F2, VK_F2, VK_F2, VK_F3};
            int key = keys[pick(6)];
            PlatformTest::InjectKey(window, key, true);
            Turns(1 + pick(4));
            PlatformTest::InjectKey(window, key, false);
        } else { // idle: up to half a minute, now and then two minutes
            Turns(pick(pick(8) == 0 ? 6000 : 1500));
        }
        for (int turn = 1 + pick(30); turn > 0; --turn) {
            Turn(1 + pick(40));
            reached.insert(gameApp.currentScene);
        }
        if ((timeGetTime() - start) / 60000 > 0)
            (firstMinute == 0 ? firstMinute : last) = residentPages();
    }
    for (int scene : {Scene::title, Scene::stage, Scene::clear, Scene::ending, Scene::gameOver})
        EXPECT_TRUE(!seconds || reached.count(scene) == 1) << "scene " << scene << " never reached";
    EXPECT_LE(last * sysconf(_SC_PAGESIZE), firstMinute * sysconf(_SC_PAGESIZE) + (64 << 20));
}

} // namespace
