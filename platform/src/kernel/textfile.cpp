// The game's fopen, remove and rename: Windows paths mapped, and text mode as the Windows C library
// has it.
//
// Every program linked with the layer has its calls of fopen, fclose, remove and rename routed
// here (the linker's --wrap, set by the layer's CMake target). A mode without 'b' opens a text
// stream: a written '\n' becomes CR LF on disk; when reading, CR LF becomes '\n' (a lone CR stays)
// and a Ctrl-Z byte ends the file, as in the Windows C library. Positions are those of the bytes on
// disk.
//
// Writes the program's own folder refuses (an installed copy under /usr) go to the per-user
// VirtualStore instead, and later opens of that name find the stored copy first, as Windows
// virtualizes an old program's writes into protected folders. A file opened to append or update
// is first copied there whole (under a temporary name, then moved), so an earlier log is never
// cut short. A file stays held while it is open (see Layer::IsHeldOpen); a folder, or a file a
// test denies access to, cannot be opened at all.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "kernel/kernelinternal.h"
#include "kernel/testhooks.h"

extern "C" {
FILE* __real_fopen(const char* path, const char* mode);
int __real_fclose(FILE* file);
int __real_remove(const char* path);
int __real_rename(const char* from, const char* to);
FILE* __wrap_fopen(const char* path, const char* mode);
int __wrap_fclose(FILE* file);
int __wrap_remove(const char* path);
int __wrap_rename(const char* from, const char* to);
}

namespace {

struct TextStream {
    FILE* file;
    int pending = -1;   // a byte read ahead after a CR that was not followed by LF
    bool ended = false; // Ctrl-Z seen
};

ssize_t ReadText(void* cookie, char* buffer, size_t size) {
    auto* stream = static_cast<TextStream*>(cookie);
    size_t count = 0;
    while (count < size && !stream->ended) {
        int c = stream->pending;
        stream->pending = -1;
        if (c < 0)
            c = fgetc(stream->file);
        if (c == EOF)
            break;
        if (c == 0x1A) {
            stream->ended = true;
            break;
        }
        if (c == '\r') {
            int next = fgetc(stream->file);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                stream->pending = next;
        }
        buffer[count++] = static_cast<char>(c);
    }
    if (count == 0 && ferror(stream->file))
        return -1;
    return static_cast<ssize_t>(count);
}

ssize_t WriteText(void* cookie, const char* buffer, size_t size) {
    auto* stream = static_cast<TextStream*>(cookie);
    size_t start = 0;
    for (size_t i = 0; i < size; ++i) {
        if (buffer[i] != '\n')
            continue;
        if (fwrite(buffer + start, 1, i - start, stream->file) != i - start ||
            fwrite("\r\n", 1, 2, stream->file) != 2)
            return -1;
        start = i + 1;
    }
    if (fwrite(buffer + start, 1, size - start, stream->file) != size - start)
        return -1;
    return static_cast<ssize_t>(size);
}

int SeekText(void* cookie, off64_t* offset, int whence) {
    auto* stream = static_cast<TextStream*>(cookie);
    stream->pending = -1;
    stream->ended = false;
    if (fseeko(stream->file, *offset, whence) != 0)
        return -1;
    *offset = ftello(stream->file);
    return 0;
}

int CloseText(void* cookie) {
    auto* stream = static_cast<TextStream*>(cookie);
    int result = fclose(stream->file);
    delete stream;
    return result;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// Copies the file at from to a new file at to, whole or not at all.
bool CopyWhole(const std::string& from, const std::string& to) {
    FILE* input = __real_fopen(from.c_str(), "rb");
    if (input == nullptr)
        return false;
    std::string part = to + "." + std::to_string(getpid()) + ".part";
    FILE* output = __real_fopen(part.c_str(), "wb");
    bool copied = output != nullptr;
    char buffer[16384];
    size_t count = 0;
    while (copied && (count = fread(buffer, 1, sizeof buffer, input)) > 0)
        copied = fwrite(buffer, 1, count, output) == count;
    copied = copied && !ferror(input);
    fclose(input);
    if (output != nullptr && fclose(output) != 0)
        copied = false;
    if (copied && __real_rename(part.c_str(), to.c_str()) == 0)
        return true;
    unlink(part.c_str());
    return false;
}

bool RefusedHere(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

// Opens linuxPath in mode (binary), through the VirtualStore where the program's folder holds it
// or refuses the write.
FILE* OpenFile(const std::string& linuxPath, const char* mode) {
    bool writing = strpbrk(mode, "wa+") != nullptr;
    std::string stored = Layer::VirtualStorePath(linuxPath, false);
    if (!stored.empty() && Exists(stored))
        return __real_fopen(stored.c_str(), mode);
    FILE* file = nullptr;
    if (writing && !stored.empty() && Layer::ShouldFail("ProgramFolderWrite"))
        errno = EACCES;
    else
        file = __real_fopen(linuxPath.c_str(), mode);
    if (file != nullptr || !writing)
        return file;
    int error = errno;
    if (!RefusedHere(error) || (stored = Layer::VirtualStorePath(linuxPath, true)).empty()) {
        errno = error;
        return nullptr;
    }
    if (mode[0] != 'w' && Exists(linuxPath) && !CopyWhole(linuxPath, stored)) {
        errno = error;
        return nullptr;
    }
    return __real_fopen(stored.c_str(), mode);
}

} // namespace

FILE* __wrap_fopen(const char* path, const char* mode) {
    if (path == nullptr || mode == nullptr)
        return __real_fopen(path, mode);
    std::string linuxPath = Layer::ToLinuxPath(path);
    struct stat info {};
    if (Layer::ShouldFail("fopen") || Layer::AccessDenied(linuxPath) ||
        (stat(linuxPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode))) {
        errno = EACCES; // as Windows' C library answers for a folder
        return nullptr;
    }
    if (strchr(mode, 'b') != nullptr) {
        FILE* file = OpenFile(linuxPath, mode);
        Layer::NoteOpened(file);
        return file;
    }

    // Text mode: the same file opened in binary, behind a translating stream.
    std::string cleanMode;
    for (const char* m = mode; *m != '\0'; ++m)
        if (*m != 't')
            cleanMode += *m;
    FILE* file = OpenFile(linuxPath, (cleanMode + "b").c_str());
    if (file == nullptr)
        return nullptr;
    Layer::NoteOpened(file);
    auto* stream = new TextStream{file};
    cookie_io_functions_t functions{ReadText, WriteText, SeekText, CloseText};
    FILE* text = fopencookie(stream, cleanMode.c_str(), functions);
    if (text == nullptr) {
        fclose(file);
        delete stream;
    }
    return text;
}

int __wrap_fclose(FILE* file) {
    Layer::NoteClosed(file);
    return __real_fclose(file);
}

int __wrap_remove(const char* path) {
    std::string linuxPath = Layer::ToLinuxPath(path);
    std::string stored = Layer::VirtualStorePath(linuxPath, false);
    std::string target = !stored.empty() && Exists(stored) ? stored : linuxPath;
    if (Layer::AccessDenied(target) || Layer::IsHeldOpen(target)) {
        errno = EACCES; // what the C library reports for DeleteFile's sharing violation
        return -1;
    }
    return __real_remove(target.c_str());
}

int __wrap_rename(const char* from, const char* to) {
    return __real_rename(Layer::ToLinuxPath(from).c_str(), Layer::ToLinuxPath(to).c_str());
}
