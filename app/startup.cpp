// StartupScene: unpacks the data archive, makes its folder current and hands over to the title.
#include "startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "archive/volumefile.h"
#include "game/gamestate.h"
#include "game/images.h"
#include "game/scenes.h"
#include "game/timerslots.h"
#include "gameapp.h"
#include "core/errorlog.h"
#include "core/intervaltimer.h"
#include "core/messagebox.h"
#include "sound/musicplayer.h"
#include "sound/soundplayer.h"

namespace {

constexpr const char* archivePath = ".\\Quellmark.zrm";
constexpr const char* unpackFailedText = "[Archive] %sに展開できませんでした。";
constexpr const char* archiveErrorText = "[Archive] %s";

// True when path is a folder of its own, not a link or junction to somewhere else.
bool IsRealFolder(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Makes "<Windows>\Temp\Quellmark\" in path. False, with a log entry, when the Windows directory
// is unknown, leaves no room for the longest entry name written under its temporary suffix, or
// either folder is a link.
bool MakeUnpackFolder(char (&path)[MAX_PATH]) {
    static const char* const parts[] = {"\\Temp\\", "Quellmark\\"};
    UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    if (length == 0 || length + strlen(parts[0]) + strlen(parts[1]) + VolumeFile::longestName +
                               VolumeFile::longestPartSuffix >=
                           MAX_PATH) {
        WriteErrorLogFormat(unpackFailedText, "Windows\\Temp\\Quellmark");
        return false;
    }
    for (const char* part : parts) {
        strcat(path, part);
        CreateDirectoryA(path, nullptr);
        if (!IsRealFolder(path)) {
            WriteErrorLogFormat(unpackFailedText, path);
            return false;
        }
    }
    return true;
}

// Unpacks the archive into the unpack folder and makes it current. An unpack that could not
// write an entry (a full disk) counts as failed and is tried once more where the Windows
// directory then answers, if that is elsewhere; on any failure nothing is unpacked and the data is
// read from the program's folder, as without an archive.
void ExtractArchive() {
    static VolumeFile reader; // 30 KiB: kept off the stack
    char failedPath[MAX_PATH] = "";
    for (int attempt = 0; attempt < 2; ++attempt) {
        char path[MAX_PATH] = "";
        if (!MakeUnpackFolder(path) || strcmp(path, failedPath) == 0)
            return;
        memset(&reader, 0, sizeof reader);
        reader.ExtractAll(archivePath, path);
        if (reader.WriteFailures > 0) {
            WriteErrorLogFormat(unpackFailedText, path);
            strcpy(failedPath, path);
            continue;
        }
        SetCurrentDirectoryA(path);
        if (reader.ErrorText[0] != '\0') // a damaged archive, or an entry it would not write
            WriteErrorLogFormat(archiveErrorText, reader.ErrorText);
        return;
    }
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
    char name[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, name, MAX_PATH);
    char folder[MAX_PATH] = "";
    if (length > 0 && length < MAX_PATH && FileExists(name)) {
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
        ShowMessageBox(gameApp.window, "DirectSoundの初期化に失敗", "エラー", MB_OK);
    }
    if (musicPlayer.Init(soundPlayer.DirectSound) == 0) {
        graphics.directDraw->FlipToGDISurface();
        ShowMessageBox(gameApp.window, "DirectMusicの初期化に失敗", "エラー", MB_OK);
    }
    ResetBoardTables();
    LoadGameImages();
    srand(static_cast<unsigned>(time(nullptr)));
    CheckInterval(0xFFFFFFFFu, TimerSlot::resetAll);
    RegisterGameScenes();
    gameApp.SwitchScene(Scene::title);
}
