// WriteErrorLog and WriteErrorLogFormat.
#include "errorlog.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

constexpr const char* logPath = ".\\Error.txt";

// Code page 932 lead bytes: a double-byte character starts with one of these.
bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Drops a lead byte left alone at the end of a cut message.
void TrimBrokenCharacter(char* text) {
    size_t i = 0;
    size_t length = strlen(text);
    while (i < length) {
        if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
            if (i + 1 >= length) {
                text[i] = '\0';
                return;
            }
            i += 2;
        } else {
            ++i;
        }
    }
}

// Appends one stamped entry to the log. A log this call made but could not write (a full disk) is
// removed again, so a failure leaves no empty log behind; an earlier log only ever grows (whether
// it was there is asked of the file system: one that cannot be read is there all the same).
bool AppendEntry(const char* text) {
    bool existed = GetFileAttributesA(logPath) != INVALID_FILE_ATTRIBUTES;
    FILE* file = fopen(logPath, "a");
    if (file == nullptr)
        return false;
    char stamp[256];
    time_t now = time(nullptr);
    strftime(stamp, sizeof stamp, "%Y/%m/%d  %H:%M:%S", localtime(&now));
    bool written = fprintf(file, "[%s]\n%s\n", stamp, text) > 0;
    if (fclose(file) != 0)
        written = false;
    if (!written && !existed)
        remove(logPath);
    return written;
}

} // namespace

bool WriteErrorLog(const char* text) {
    return AppendEntry(text);
}

bool WriteErrorLogFormat(const char* format, ...) {
    char message[256];
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    if (length < 0)
        message[0] = '\0';
    else if (length >= static_cast<int>(sizeof message))
        TrimBrokenCharacter(message);
    return AppendEntry(message);
}
