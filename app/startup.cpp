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
constexpr const char* notRefreshedText = "[Archive] %sに%d個のファイルを展開できませんでした。";
constexpr const char* archiveErrorText = "[Archive] %s";

// True when path is a folder of its own, not a link or junction to somewhere else.
bool IsRealFolder(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Makes the unpack folder in path: "<Windows>\Temp\Quellmark\", or with own the player's own
// "<temporary folder>\Quellmark\" (GetTempPathA: under the player's profile on Windows). False,
// with a log entry, when the base folder is unknown, leaves no room for the longest entry name
// written under its temporary suffix, or a folder is a link.
bool MakeUnpackFolder(char (&path)[MAX_PATH], bool own) {
    // GetTempPathA's answer ends in a backslash already.
    const char* const parts[] = {own ? "" : "\\Temp\\", "Quellmark\\"};
    size_t length = own ? GetTempPathA(MAX_PATH, path) : GetWindowsDirectoryA(path, MAX_PATH);
    if (length == 0 || length + strlen(parts[0]) + strlen(parts[1]) + VolumeFile::longestName +
                               VolumeFile::longestPartSuffix >=
                           MAX_PATH) {
        WriteErrorLogFormat(unpackFailedText, own ? "Temp\\Quellmark" : "Windows\\Temp\\Quellmark");
        return false;
    }
    for (const char* part : parts) {
        if (part[0] == '\0')
            continue;
        strcat(path, part);
        CreateDirectoryA(path, nullptr);
        if (!IsRealFolder(path)) {
            WriteErrorLogFormat(unpackFailedText, path);
            return false;
        }
    }
    return true;
}

VolumeFile reader; // 30 KiB: kept off the stack

// Unpacks the archive into folder; true when the folder then holds every entry, readable (an
// entry that could not be refreshed may have its older whole copy there). One log line counts the
// entries that could not be refreshed.
bool UnpackInto(const char* folder) {
    memset(&reader, 0, sizeof reader);
    reader.ExtractAll(archivePath, folder);
    if (reader.WriteFailures > 0)
        WriteErrorLogFormat(notRefreshedText, folder, static_cast<int>(reader.WriteFailures));
    return reader.MissingEntries == 0;
}

// Makes folder current; what the archive itself was refused for (a damaged archive, an entry it
// would not write) is then logged there.
void EnterUnpackFolder(const char* folder) {
    SetCurrentDirectoryA(folder);
    if (reader.ErrorText[0] != '\0')
        WriteErrorLogFormat(archiveErrorText, reader.ErrorText);
}

// Unpacks the archive and makes its folder current. When the folder under the Windows directory
// cannot be used or does not end up holding every entry (another account's folder, whose files
// this one can neither read nor replace; a full disk with no older copy), the player's own
// temporary folder is used instead; when neither folder can be made the data is read from the
// program's folder, as without an archive.
void ExtractArchive() {
    char shared[MAX_PATH] = "";
    bool sharedMade = MakeUnpackFolder(shared, false);
    if (sharedMade && UnpackInto(shared))
        return EnterUnpackFolder(shared);
    char own[MAX_PATH] = "";
    if (MakeUnpackFolder(own, true)) {
        UnpackInto(own);
        EnterUnpackFolder(own);
    } else if (sharedMade) {
        EnterUnpackFolder(shared);
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
    // Graphics borrows the display, with no reference of its own: GameApp owns the DirectDraw
    // object and releases it at shutdown, which takes every surface and the clipper with it; from
    // here on only Graphics draws, and it never releases what it borrowed.
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
