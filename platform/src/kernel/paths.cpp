// Paths in Windows form and the kernel calls on files and folders: module path, folders, directory.
//
// Mapping: drive Z: is the Linux root ("Z:\home\x" is "/home/x"), a path rooted without a drive
// ("\home\x") is absolute too, and backslashes become slashes. Other drive letters do not exist
// here and fail as a missing path. Names in code page 932 become UTF-8 names (see winbase.h).
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "kernel/kernelinternal.h"
#include "kernel/testhooks.h"

namespace {

bool HasDriveLetter(const char* path) {
    return ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
           path[1] == ':';
}

} // namespace

namespace Layer {

DWORD ErrorFromErrno(int error) {
    switch (error) {
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOENT:
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    default: // EACCES, EPERM, EROFS, EISDIR and the rest
        return ERROR_ACCESS_DENIED;
    }
}

std::string ToLinuxPath(const char* windowsPath) {
    if (windowsPath == nullptr)
        return std::string();
    const char* rest = windowsPath;
    if (HasDriveLetter(rest)) {
        if (rest[0] != 'Z' && rest[0] != 'z')
            return std::string("/\x01no-such-drive/\x01/"); // a missing path, even for its root
        rest += 2;
        if (rest[0] != '\\' && rest[0] != '/')
            return std::string("/") + rest; // "Z:name" is relative to the root here
    }
    // One name at a time: a name that is UTF-8 is kept as it is. Any other is code page 932 text,
    // walked a character at a time so that the trail byte 0x5C of a double-byte character stays
    // in its name, and becomes UTF-8, unless a name of its very bytes exists on disk (a Latin-1
    // folder, or raw code page 932 bytes an unzip tool left), which is then kept.
    std::string path(rest);
    std::string linuxPath;
    size_t start = 0;
    while (true) {
        size_t end = path.find_first_of("\\/", start);
        std::string name = path.substr(start, end == std::string::npos ? end : end - start);
        if (!IsUtf8(name) && access((linuxPath + name).c_str(), F_OK) != 0) {
            end = start;
            while (end < path.size() && path[end] != '\\' && path[end] != '/')
                end += IsCp932Lead(static_cast<unsigned char>(path[end])) && end + 1 < path.size()
                           ? 2
                           : 1;
            name = path.substr(start, end - start);
            if (access((linuxPath + name).c_str(), F_OK) != 0)
                name = AnsiToUtf8(name);
            if (end >= path.size())
                end = std::string::npos;
        }
        linuxPath += name;
        if (end == std::string::npos)
            return linuxPath;
        linuxPath += '/';
        start = end + 1;
    }
}

std::string ToWindowsPath(const std::string& linuxPath) {
    std::string windowsPath = linuxPath;
    for (char& c : windowsPath)
        if (c == '/')
            c = '\\';
    if (!linuxPath.empty() && linuxPath[0] == '/')
        windowsPath = "Z:" + windowsPath;
    return windowsPath;
}

DWORD CopyOutString(const std::string& text, char* buffer, DWORD size) {
    if (buffer == nullptr || text.size() + 1 > size)
        return static_cast<DWORD>(text.size() + 1);
    memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

} // namespace Layer

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    if (module != nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    char linuxPath[PATH_MAX + 1];
    ssize_t length = readlink("/proc/self/exe", linuxPath, PATH_MAX);
    const std::string* override = Layer::ModulePathOverride();
    if (length <= 0 && override == nullptr) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    linuxPath[length > 0 ? length : 0] = '\0';
    std::string path = Layer::ToWindowsPath(override == nullptr ? linuxPath : *override);
    if (size == 0 || fileName == nullptr) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() + 1 > size) {
        // Windows copies what fits, terminates it and reports the buffer size.
        memcpy(fileName, path.c_str(), size - 1);
        fileName[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    memcpy(fileName, path.c_str(), path.size() + 1);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(path.size());
}

DWORD WINAPI GetCurrentProcessId(void) {
    return static_cast<DWORD>(getpid());
}

DWORD WINAPI GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
    char linuxPath[PATH_MAX + 1];
    if (getcwd(linuxPath, sizeof linuxPath) == nullptr) {
        SetLastError(Layer::ErrorFromErrno(errno));
        return 0;
    }
    return Layer::CopyOutString(Layer::ToWindowsPath(linuxPath), buffer, bufferLength);
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR pathName) {
    if (Layer::ShouldFail("SetCurrentDirectoryA")) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (pathName == nullptr || pathName[0] == '\0') {
        SetLastError(ERROR_INVALID_NAME);
        return FALSE;
    }
    if (chdir(Layer::ToLinuxPath(pathName).c_str()) != 0) {
        SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : Layer::ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    std::string folder = Layer::UserSubfolder("Windows", true);
    if (folder.empty()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    return Layer::CopyOutString(Layer::ToWindowsPath(folder), buffer, size);
}

DWORD WINAPI GetTempPathA(DWORD bufferLength, LPSTR buffer) {
    std::string folder = Layer::PrivateTempFolder();
    if (folder.empty()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    return Layer::CopyOutString(Layer::ToWindowsPath(folder) + "\\", buffer, bufferLength);
}

DWORD WINAPI GetFileAttributesA(LPCSTR fileName) {
    std::string path = Layer::ToLinuxPath(fileName);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back(); // "folder\" names the folder itself, a link included, as on Windows
    struct stat info {};
    if (fileName == nullptr || lstat(path.c_str(), &info) != 0) {
        SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : Layer::ErrorFromErrno(errno));
        return INVALID_FILE_ATTRIBUTES;
    }
    if (S_ISLNK(info.st_mode)) {
        struct stat target {};
        bool folder = stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
        return FILE_ATTRIBUTE_REPARSE_POINT | (folder ? FILE_ATTRIBUTE_DIRECTORY : 0);
    }
    return S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

BOOL WINAPI CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES) {
    if (Layer::ShouldFail("CreateDirectoryA")) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (pathName == nullptr || pathName[0] == '\0') {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    // Windows limits a new folder's path to MAX_PATH less room for an 8.3 file name.
    if (strlen(pathName) >= 248) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    if (mkdir(Layer::ToLinuxPath(pathName).c_str(), 0777) != 0) {
        SetLastError(Layer::ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

int WINAPI lstrlenA(LPCSTR string) {
    return string == nullptr ? 0 : static_cast<int>(strlen(string));
}
