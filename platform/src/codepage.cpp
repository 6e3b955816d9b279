// Conversion of code page 932 (Shift-JIS) text to UTF-8 for what the layer hands to SDL.
#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "internal.h"

std::string Layer::Cp932ToUtf8(const char* text) {
    if (text == nullptr)
        return std::string();
    static iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return text;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    std::string result;
    char* in = const_cast<char*>(text);
    size_t inLeft = strlen(text);
    char buffer[256];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
        result.append(buffer, static_cast<size_t>(out - buffer));
        if (done == static_cast<size_t>(-1) && errno != E2BIG) {
            // A byte that is not Shift-JIS: shown as '?', and conversion goes on after it.
            result += '?';
            ++in;
            --inLeft;
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return result;
}
