// FindFirstFileA, FindNextFileA and FindClose over a folder's names, and GetSystemTimeAsFileTime.
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>

#include "kernel/kernelinternal.h"

namespace {

struct FindState {
    DIR* folder;
    std::string path;    // the folder's Linux path, with a trailing '/'
    std::string pattern; // the last part of the name asked for
};

// Seconds and nanoseconds since 1970 as 100-nanosecond steps since 1601.
FILETIME FileTimeOf(const timespec& time) {
    constexpr uint64_t from1601To1970 = 116444736000000000ull;
    uint64_t steps = from1601To1970 + static_cast<uint64_t>(time.tv_sec) * 10000000u +
                     static_cast<uint64_t>(time.tv_nsec) / 100u;
    return FILETIME{static_cast<DWORD>(steps), static_cast<DWORD>(steps >> 32)};
}

// The next name of the folder that matches, filled into findData; false at the end.
bool NextMatch(FindState& state, LPWIN32_FIND_DATAA findData) {
    while (dirent* entry = readdir(state.folder)) {
        size_t length = strlen(entry->d_name);
        if (length >= MAX_PATH ||
            fnmatch(state.pattern.c_str(), entry->d_name, FNM_NOESCAPE | FNM_CASEFOLD) != 0)
            continue;
        struct stat info {};
        if (lstat((state.path + entry->d_name).c_str(), &info) != 0)
            continue; // gone meanwhile
        memset(findData, 0, sizeof *findData);
        findData->dwFileAttributes = S_ISLNK(info.st_mode)   ? FILE_ATTRIBUTE_REPARSE_POINT
                                     : S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY
                                                             : FILE_ATTRIBUTE_NORMAL;
        findData->ftCreationTime = FileTimeOf(info.st_ctim);
        findData->ftLastAccessTime = FileTimeOf(info.st_atim);
        findData->ftLastWriteTime = FileTimeOf(info.st_mtim);
        findData->nFileSizeHigh = static_cast<DWORD>(static_cast<uint64_t>(info.st_size) >> 32);
        findData->nFileSizeLow = static_cast<DWORD>(info.st_size);
        memcpy(findData->cFileName, entry->d_name, length + 1);
        return true;
    }
    return false;
}

} // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData) {
    std::string path = Layer::ToLinuxPath(fileName);
    size_t slash = path.rfind('/');
    auto* state =
        new FindState{nullptr, slash == std::string::npos ? "./" : path.substr(0, slash + 1),
                      path.substr(slash == std::string::npos ? 0 : slash + 1)};
    if (fileName == nullptr || findData == nullptr || state->pattern.empty() ||
        (state->folder = opendir(state->path.c_str())) == nullptr) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        delete state;
        return INVALID_HANDLE_VALUE;
    }
    if (!NextMatch(*state, findData)) {
        closedir(state->folder);
        delete state;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return state;
}

BOOL WINAPI FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA findData) {
    if (find == nullptr || find == INVALID_HANDLE_VALUE || findData == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!NextMatch(*static_cast<FindState*>(find), findData)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE find) {
    if (find == nullptr || find == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto* state = static_cast<FindState*>(find);
    closedir(state->folder);
    delete state;
    return TRUE;
}

void WINAPI GetSystemTimeAsFileTime(LPFILETIME time) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    *time = FileTimeOf(now);
}
