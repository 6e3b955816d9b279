// WriteErrorLog and WriteErrorLogFormat.
#include "errorlog.h"

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

void WriteEntry(FILE* file, const char* text) {
    char stamp[256];
    time_t now = time(nullptr);
    strftime(stamp, sizeof stamp, "%Y/%m/%d  %H:%M:%S", localtime(&now));
    fprintf(file, "[%s]\n%s\n", stamp, text);
    fclose(file);
}

} // namespace

bool WriteErrorLog(const char* text) {
    FILE* file = fopen(logPath, "a");
    if (file == nullptr)
        return false;
    WriteEntry(file, text);
    return true;
}

bool WriteErrorLogFormat(const char* format, ...) {
    FILE* file = fopen(logPath, "a");
    if (file == nullptr)
        return false;
    char message[256];
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    if (length < 0)
        message[0] = '\0';
    else if (length >= static_cast<int>(sizeof message))
        TrimBrokenCharacter(message);
    WriteEntry(file, message);
    return true;
}
