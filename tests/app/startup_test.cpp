// The start-up scene: archive or not, another working directory, failing devices, images, scenes.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/gameapp.h"
#include "app/startup.h"
#include "game/gamestate.h"
#include "game/scenes.h"
#include "graphics/graphics.h"
#include "platformtest.h"
#include "sound/musicplayer.h"
#include "sound/soundplayer.h"
#include "support/archivebuilder.h"
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
    // Every scene plays on without its pictures and songs.
    for (int scene : {Scene::title, Scene::stage, Scene::clear, Scene::ending, Scene::gameOver}) {
        StartSceneForTest(scene);
        Turns(60, 50);
        EXPECT_EQ(scene, gameApp.currentScene);
    }
}

TEST_F(StartupTest, FailingDevicesShowABoxEachSoundFirstAndTheMusicTriesItsOwnOutput) {
    const std::string failed = u8"の初期化に失敗";
    // The last time code page 932 cannot be converted: the boxes are shown all the same.
    for (int round : {0, 1, 2}) {
        bool musicOutputToo = round != 1;
        Prepare(true);
        PlatformTest::FailNext("DirectSoundCreate");
        if (round == 2)
            PlatformTest::FailNext("MultiByteToWideChar", 100);
        if (musicOutputToo)
            PlatformTest::FailNext("OpenAudioDevice");
        StartupScene();
        std::vector<std::string> expected = {"DirectSound" + failed};
        if (musicOutputToo)
            expected.push_back("DirectMusic" + failed);
        std::vector<std::string> starts;
        for (const std::string& box : Boxes())
            starts.push_back(box.substr(0, expected[0].size()));
        EXPECT_EQ(expected, starts);
        EXPECT_EQ(u8"エラー", PlatformTest::MessageBoxes()[0].caption)
            << "read as the player reads it";
        EXPECT_EQ(nullptr, soundPlayer.DirectSound);
        EXPECT_EQ(musicOutputToo, musicPlayer.Performance == nullptr);
        EXPECT_EQ(Scene::title, gameApp.currentScene) << "start-up goes on";
        TearDown();
    }
}

TEST_F(StartupTest, TheUnpackFolderLeavesRoomForTheLongestEntryUnderItsTemporaryName) {
    const std::string longest = std::string(75, 'L') + ".bmp"; // 79 bytes, the format's longest
    for (int over : {0, 1}) {
        Prepare(true);
        WriteBytes(program / "bin/Quellmark.zrm", BuildArchive({{longest, "data", "", ""}}));
        // A data home whose Windows folder leaves room for "\Temp\Quellmark\", the name and
        // ".4294967295.part" exactly (over 0), or one byte less (over 1).
        setenv("XDG_DATA_HOME", (home.Path() / "p").c_str(), 1);
        char windows[MAX_PATH];
        auto base = static_cast<int>(GetWindowsDirectoryA(windows, MAX_PATH));
        std::string padding(static_cast<size_t>(1 + (MAX_PATH - 1) - (base + 16 + 79 + 16) + over),
                            'p');
        setenv("XDG_DATA_HOME", (home.Path() / padding).c_str(), 1);
        StartupScene();
        fs::path folder = home.Path() / padding / program_invocation_short_name / "Windows/Temp";
        EXPECT_EQ(over == 0, fs::is_regular_file(folder / "Quellmark" / longest)) << over;
        TearDown();
    }
}

TEST_F(StartupTest, HostileFoldersAndEntriesNeitherRedirectNorBlockNorWipeTheLog) {
    auto unpack = [this] { fs::create_directories(Extracted()); };
    const fs::path outside = elsewhere.Path() / "victim";
    const fs::path outsideFolder = elsewhere.Path() / "folder";
    const fs::path runtime = home.Path() / "run" / program_invocation_short_name;
    const fs::path bin = program.Path() / "bin";
    // Where the game then reads its data, and where its log is: the data home's Windows folder,
    // its fallback (when the data home is someone else's), the player's own temporary folder.
    enum Where { dataHome, fallback, ownTemp, programFolder, virtualStore };
    struct Case {
        const char* label;
        std::function<void()> plant;
        Where unpacked;
        Where log;
        const char* regular; // a name that must then be a regular file of the unpack folder
        bool logged;         // the log tells of the archive
    };
    const Case cases[] = {
        {"a link at Ending.dat",
         [&] { unpack(), fs::create_symlink(outside, Extracted() / "Ending.dat"); }, dataHome,
         programFolder, "Ending.dat", false},
        {"a FIFO at Title.bmp",
         [&] { unpack(), mkfifo((Extracted() / "Title.bmp").c_str(), 0600); }, dataHome,
         programFolder, "Title.bmp", false},
        {"the unpack folder a link",
         [&] {
             unpack(), fs::remove(Extracted());
             fs::create_directory(outsideFolder);
             fs::create_directory_symlink(outsideFolder, Extracted());
         },
         ownTemp, programFolder, "Title.bmp", true},
        {"the unpack folder another account's, holding the files",
         [&] {
             unpack(), WriteBytes(Extracted() / "Title.bmp", "another account's");
             PlatformTest::DenyAccess(Extracted());
         },
         ownTemp, programFolder, "Title.bmp", true},
        {"the Windows folder writable by others (tightened)",
         [&] { unpack(), fs::permissions(Extracted() / "../..", fs::perms::all); }, dataHome,
         programFolder, nullptr, false},
        {"the Windows folder writable by its group only (tightened)",
         [&] {
             unpack(), fs::permissions(Extracted() / "../..",
                                       fs::perms::owner_all | fs::perms::group_write);
         },
         dataHome, programFolder, nullptr, false},
        {"the program's folder someone else's",
         [&] { unpack(), chown((Extracted() / "../../..").c_str(), 12345, 12345); },
         geteuid() == 0 ? fallback : dataHome, programFolder, nullptr, false},
        {"a Windows directory too long for the entries",
         [&] { setenv("XDG_DATA_HOME", (home.Path() / std::string(200, 'x')).c_str(), 1); },
         ownTemp, programFolder, nullptr, true},
        {"the same, and the program's folder read-only",
         [&] {
             setenv("XDG_DATA_HOME", (home.Path() / std::string(200, 'x')).c_str(), 1);
             WriteBytes(bin / "Error.txt", "old\r\n");
             PlatformTest::FailNext("ProgramFolderWrite", 100);
         },
         ownTemp, virtualStore, nullptr, true},
        {"an entry named like the log",
         [&] {
             unpack(), WriteBytes(Extracted() / "Error.txt", "old\r\n");
             WriteBytes(bin / "Quellmark.zrm", BuildArchive({{"ERROR.TXT", "new", "", ""}}));
         },
         dataHome, dataHome, "Error.txt", true},
    };
    for (const Case& c : cases) {
        Prepare(true);
        WriteBytes(outside, "keep");
        c.plant();
        StartupScene();
        fs::path expected = c.unpacked == dataHome   ? Extracted()
                            : c.unpacked == fallback ? runtime / "Windows/Temp/Quellmark"
                            : c.unpacked == ownTemp  ? runtime / "Temp/Quellmark"
                                                     : bin;
        EXPECT_EQ(expected, fs::current_path()) << c.label;
        EXPECT_EQ("keep", ReadBytes(outside)) << c.label;
        EXPECT_TRUE(!fs::exists(outsideFolder) || fs::is_empty(outsideFolder)) << c.label;
        if (c.regular != nullptr) {
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(expected / c.regular))) << c.label;
        }
        if (c.unpacked == dataHome) {
            EXPECT_EQ(fs::perms::owner_all, fs::status(Extracted() / "../..").permissions())
                << c.label;
        }
        fs::path log = c.log == virtualStore
                           ? fs::path(getenv("XDG_DATA_HOME")) / program_invocation_short_name /
                                 "VirtualStore" / bin.relative_path() / "Error.txt"
                       : c.log == dataHome ? expected / "Error.txt"
                                           : bin / "Error.txt";
        if (c.log == virtualStore) { // the read-only folder's log copied whole, then grown
            EXPECT_EQ("old\r\n", ReadBytes(bin / "Error.txt")) << c.label;
        }
        if (c.logged)
            EXPECT_NE(std::string::npos, ReadBytes(log.string()).find("[Archive]")) << c.label;
        else
            EXPECT_FALSE(fs::exists(log)) << c.label;
        if (c.log == dataHome || c.log == virtualStore) {
            std::string text = ReadBytes(log.string());
            EXPECT_EQ(0u, text.find("old\r\n[")) << c.label << ": the log only grows";
        }
        TearDown();
        fs::remove_all(home.Path() / program_invocation_short_name);
        fs::remove_all(home.Path() / "run");
        fs::remove_all(outsideFolder);
        fs::remove(bin / "Error.txt");
    }
}

// A file system that takes the small entries but not the large one (a file size limit stands in
// for a nearly full disk): every other entry is refreshed and the one line of the log counts the
// one that was not. With an older whole copy of it in place the folder holds every entry and
// becomes current; without, the player's own temporary folder is tried (where the disk is as
// full) and becomes current. The log keeps what it held.
TEST_F(StartupTest, AnEntryThatCannotBeWrittenKeepsItsOlderCopyOrMovesToTheOwnFolder) {
    const fs::path bin = program.Path() / "bin";
    const fs::path own = home.Path() / "run" / program_invocation_short_name / "Temp/Quellmark";
    for (bool olderCopy : {true, false}) {
        Prepare(true);
        WriteBytes(bin / "Quellmark.zrm",
                   BuildArchive({{"small.txt", "a", "", ""},
                                 {"large.bmp", std::string(20000, 'x'), "", ""},
                                 {"later.txt", "c", "", ""}}));
        WriteBytes(bin / "Error.txt", std::string(3000, 'o'));
        fs::create_directories(Extracted());
        WriteBytes(Extracted() / "later.txt", "an earlier whole copy");
        if (olderCopy)
            WriteBytes(Extracted() / "large.bmp", "an earlier whole picture");
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limit = previous;
        limit.rlim_cur = 4096;
        auto* oldHandler = signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limit));
        StartupScene();
        setrlimit(RLIMIT_FSIZE, &previous);
        signal(SIGXFSZ, oldHandler);

        EXPECT_EQ(olderCopy ? Extracted() : own, fs::current_path()) << olderCopy;
        // The images this archive lacks are logged where they were looked for.
        std::vector<std::string> files = {"Error.txt", "later.txt", "small.txt"};
        if (olderCopy)
            files.insert(files.begin() + 1, "large.bmp");
        else
            files.erase(files.begin());
        EXPECT_EQ(files, TempFolder::FilesBelow(Extracted())) << "no part left behind";
        EXPECT_EQ("c", ReadBytes(Extracted() / "later.txt")) << "refreshed";
        if (olderCopy) {
            EXPECT_EQ("an earlier whole picture", ReadBytes(Extracted() / "large.bmp"));
        } else {
            EXPECT_EQ((std::vector<std::string>{"Error.txt", "later.txt", "small.txt"}),
                      TempFolder::FilesBelow(own));
        }
        std::string log = ReadBytes(bin / "Error.txt");
        EXPECT_EQ(std::string(3000, 'o'), log.substr(0, 3000));
        std::vector<std::string> failures;
        for (const std::string& text : LoggedTexts(bin / "Error.txt"))
            if (text.rfind("[Archive] ", 0) == 0)
                failures.push_back(text);
        std::vector<std::string> expected = {"[Archive] " + WindowsForm(Extracted().string()) +
                                             "\\に1個のファイルを展開できませんでした。"};
        if (!olderCopy)
            expected.push_back("[Archive] " + WindowsForm(own.string()) +
                               "\\に1個のファイルを展開できませんでした。");
        EXPECT_EQ(expected, failures) << log;
        TearDown();
        fs::remove_all(home.Path() / program_invocation_short_name);
        fs::remove_all(home.Path() / "run");
    }
}

} // namespace
