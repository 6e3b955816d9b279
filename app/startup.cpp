// StartupScene: unpacks the data archive, makes its folder current and hands over to the title.
#include "startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "archive/volumefile.h"
#include "game/gamestate.h"
#include "game/scenes.h"
#include "gameapp.h"
#include "intervaltimer.h"
#include "sound/musicplayer.h"
#include "sound/soundplayer.h"

namespace {

constexpr const char* archivePath = ".\\Quellmark.zrm";

void ExtractArchive() {
    char path[MAX_PATH];
    GetWindowsDirectoryA(path, MAX_PATH);
    strcat(path, "\\Temp\\");
    CreateDirectoryA(path, nullptr);
    strcat(path, "Quellmark\\");
    CreateDirectoryA(path, nullptr);
    static VolumeFile reader; // 30 KiB: kept off the stack
    memset(&reader, 0, sizeof reader);
    reader.ExtractAll(archivePath, path);
    SetCurrentDirectoryA(path);
}

} // namespace

void LoadGameImages() {
    GameState& g = gameState;
    graphics.LoadBitmapSurface(g.screenImage, 0, 0, 320, 240, ".\\ScreenImage.bmp", 0, 0);
    graphics.LoadBitmapSurface(g.mapChipImage, 0, 0, 288, 32, ".\\MapChip.bmp", 0, 0);
    graphics.LoadBitmapSurface(g.stringImage, 0, 0, 312, 72, ".\\String.bmp", 0, 0);
    graphics.LoadBitmapSurface(g.explosionImage, 0, 0, 512, 48, ".\\Explosion.bmp", 0, 0);
    graphics.SetColorKey(g.mapChipImage, 0, 0);
    graphics.SetColorKey(g.stringImage, 0, 0);
    graphics.SetColorKey(g.explosionImage, 0, 0);
}

bool FileExists(const char* path) {
    FILE* file = fopen(path, "r");
    if (file == nullptr)
        return false;
    fclose(file);
    return true;
}

bool EnterExecutableDirectory() {
    char name[MAX_PATH];
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    char folder[MAX_PATH] = "";
    if (FileExists(name)) {
        strcpy(folder, name);
        if (char* lastSlash = strrchr(folder, '\\'))
            *lastSlash = '\0';
        else
            folder[0] = '\0';
    }
    SetCurrentDirectoryA(folder);
    return true;
}

void StartupScene() {
    MoveWindow(gameApp.window, 0, 0, 640, 480, TRUE);
    EnterExecutableDirectory();
    if (FileExists(archivePath))
        ExtractArchive();
    ShowCursor(TRUE);
    static_cast<DisplayBlock&>(graphics) = gameApp;
    if (soundPlayer.Init(gameApp.window) == 0) {
        graphics.directDraw->FlipToGDISurface();
        MessageBoxA(gameApp.window, "DirectSoundの初期化に失敗", "エラー", MB_OK);
    }
    if (musicPlayer.Init(soundPlayer.DirectSound) == 0) {
        graphics.directDraw->FlipToGDISurface();
        MessageBoxA(gameApp.window, "DirectMusicの初期化に失敗", "エラー", MB_OK);
    }
    ResetBoardTables();
    LoadGameImages();
    srand(static_cast<unsigned>(time(nullptr)));
    CheckInterval(0xFFFFFFFFu, -1);
    gameApp.RegisterScene(1, TitleScene);
    gameApp.RegisterScene(2, StageScene);
    gameApp.RegisterScene(3, ClearScene);
    gameApp.RegisterScene(4, EndingScene);
    gameApp.RegisterScene(5, GameOverScene);
    gameApp.SwitchScene(1);
}
