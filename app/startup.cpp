// StartupScene: unpacks the data archive, makes its folder current and hands over to the title.
#include "startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "archive/volumefile.h"
#include "game/gamestate.h"
#include "game/scenes.h"
#include "game/timerslots.h"
#include "gameapp.h"
#include "core/intervaltimer.h"
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
    CheckInterval(0xFFFFFFFFu, TimerSlot::resetAll);
    RegisterGameScenes();
    gameApp.SwitchScene(Scene::title);
}
