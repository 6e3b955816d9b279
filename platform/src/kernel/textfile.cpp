// The game's fopen, remove and rename: Windows paths mapped, and text mode as the Windows C library
// has it.
//
// Every program linked with the layer has its calls of fopen, remove and rename routed here (the
// linker's --wrap, set by the layer's CMake target). A mode without 'b' opens a text stream: a
// written '\n' becomes CR LF on disk; when reading, CR LF becomes '\n' (a lone CR stays) and a
// Ctrl-Z byte ends the file, as in the Windows C library. Positions are those of the bytes on disk.
#include <cstdio>
#include <cstring>
#include <string>

#include "kernel/kernelinternal.h"

extern "C" {
FILE* __real_fopen(const char* path, const char* mode);
int __real_remove(const char* path);
int __real_rename(const char* from, const char* to);
FILE* __wrap_fopen(const char* path, const char* mode);
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

} // namespace

FILE* __wrap_fopen(const char* path, const char* mode) {
    if (path == nullptr || mode == nullptr)
        return __real_fopen(path, mode);
    std::string linuxPath = Layer::ToLinuxPath(path);
    if (strchr(mode, 'b') != nullptr)
        return __real_fopen(linuxPath.c_str(), mode);

    // Text mode: the same file opened in binary, behind a translating stream.
    std::string cleanMode;
    for (const char* m = mode; *m != '\0'; ++m)
        if (*m != 't')
            cleanMode += *m;
    FILE* file = __real_fopen(linuxPath.c_str(), (cleanMode + "b").c_str());
    if (file == nullptr)
        return nullptr;
    auto* stream = new TextStream{file};
    cookie_io_functions_t functions{ReadText, WriteText, SeekText, CloseText};
    FILE* text = fopencookie(stream, cleanMode.c_str(), functions);
    if (text == nullptr) {
        fclose(file);
        delete stream;
    }
    return text;
}

int __wrap_remove(const char* path) {
    return __real_remove(Layer::ToLinuxPath(path).c_str());
}

int __wrap_rename(const char* from, const char* to) {
    return __real_rename(Layer::ToLinuxPath(from).c_str(), Layer::ToLinuxPath(to).c_str());
}
