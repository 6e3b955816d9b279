// wsprintfA: user32's printf-style formatting.
#include <cstdarg>
#include <cstdio>

#include "windows.h"

int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(buffer, 1025, format, arguments);
    va_end(arguments);
    return length < 0 ? 0 : (length > 1024 ? 1024 : length);
}
