// Share modes as Windows keeps them for the C library's files, and MoveFileExA.
//
// Windows' fopen opens a file without FILE_SHARE_DELETE, so while it is open no one can delete
// it, replace it or move it; Linux lets all three happen to an open file. The layer keeps the
// files the program holds open (by device and inode, so that any name of the file counts) and
// refuses those calls on them as Windows does (ERROR_SHARING_VIOLATION; remove's errno EACCES).
// Only this process's own files are known: another program's open files are not seen.
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <utility>

#include "kernel/kernelinternal.h"
#include "kernel/testhooks.h"

namespace {

using FileIdentity = std::pair<dev_t, ino_t>;

struct OpenFiles {
    std::mutex lock;
    std::map<FILE*, FileIdentity> byStream;
    std::map<FileIdentity, int> counts;
};

// Allocated once and never destroyed, so that files closed by global destructors still count.
OpenFiles& Open() {
    static auto* files = new OpenFiles;
    return *files;
}

bool Identify(const std::string& linuxPath, FileIdentity* identity) {
    struct stat info {};
    if (stat(linuxPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    *identity = {info.st_dev, info.st_ino};
    return true;
}

} // namespace

namespace Layer {

void NoteOpened(FILE* file) {
    struct stat info {};
    if (file == nullptr || fstat(fileno(file), &info) != 0)
        return;
    OpenFiles& open = Open();
    std::lock_guard<std::mutex> guard(open.lock);
    FileIdentity identity{info.st_dev, info.st_ino};
    open.byStream[file] = identity;
    ++open.counts[identity];
}

void NoteClosed(FILE* file) {
    OpenFiles& open = Open();
    std::lock_guard<std::mutex> guard(open.lock);
    auto found = open.byStream.find(file);
    if (found == open.byStream.end())
        return;
    auto count = open.counts.find(found->second);
    if (count != open.counts.end() && --count->second <= 0)
        open.counts.erase(count);
    open.byStream.erase(found);
}

bool IsHeldOpen(const std::string& linuxPath) {
    FileIdentity identity;
    if (!Identify(linuxPath, &identity))
        return false;
    OpenFiles& open = Open();
    std::lock_guard<std::mutex> guard(open.lock);
    return open.counts.count(identity) > 0;
}

} // namespace Layer

BOOL WINAPI MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags) {
    if (existingFileName == nullptr || newFileName == nullptr ||
        (flags & ~static_cast<DWORD>(MOVEFILE_REPLACE_EXISTING)) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string from = Layer::ToLinuxPath(existingFileName);
    std::string to = Layer::ToLinuxPath(newFileName);
    if (Layer::AccessDenied(from) || Layer::AccessDenied(to)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    struct stat source {
    }, target{};
    if (lstat(from.c_str(), &source) != 0) {
        SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : Layer::ErrorFromErrno(errno));
        return FALSE;
    }
    bool targetExists = lstat(to.c_str(), &target) == 0;
    if (targetExists && !(flags & MOVEFILE_REPLACE_EXISTING)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (targetExists && S_ISDIR(target.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED); // a folder is never replaced
        return FALSE;
    }
    if (Layer::IsHeldOpen(from) || (targetExists && Layer::IsHeldOpen(to))) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    // Without MOVEFILE_REPLACE_EXISTING a name that another process made meanwhile is not
    // replaced either (a browser page's file system has no other process).
#ifdef RENAME_NOREPLACE
    int moved = renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(),
                          (flags & MOVEFILE_REPLACE_EXISTING) ? 0 : RENAME_NOREPLACE);
#else
    int moved = rename(from.c_str(), to.c_str());
#endif
    if (moved != 0) {
        SetLastError(Layer::ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}
