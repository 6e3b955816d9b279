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

namespace {

// Decodes UTF-8 into code points; false at the first byte that is not well-formed UTF-8.
bool DecodeUtf8(const std::string& text, std::u32string* out) {
    out->clear();
    for (size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= text.size() + (extra == 0 ? 1 : 0))
            return false;
        char32_t code = extra == 0 ? c : (c & (0x3F >> extra));
        for (int k = 1; k <= extra; ++k) {
            auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        out->push_back(code);
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

} // namespace

// The layer passes file names through as bytes, and Linux names are UTF-8: text that is valid
// UTF-8 is read as such, anything else as code page 932 (so game texts and file names both work).
int WINAPI MultiByteToWideChar(UINT, DWORD, LPCSTR text, int length, wchar_t* wide,
                               int wideLength) {
    if (text == nullptr || wideLength < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string input =
        length < 0 ? std::string(text) : std::string(text, static_cast<size_t>(length));
    std::u32string codes;
    if (!DecodeUtf8(input, &codes)) {
        std::string utf8 = Layer::Cp932ToUtf8(input.c_str());
        DecodeUtf8(utf8, &codes);
    }
    if (length < 0)
        codes.push_back(0); // the terminator counts when the input is zero-terminated
    auto needed = static_cast<int>(codes.size());
    if (wideLength == 0)
        return needed;
    if (needed > wideLength) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (size_t i = 0; i < codes.size(); ++i)
        wide[i] = static_cast<wchar_t>(codes[i]);
    return needed;
}
