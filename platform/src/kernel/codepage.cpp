// Code page 932 (Shift-JIS), the ANSI code page: conversions to and from UTF-8 and wide text, and
// the double-byte walk that paths need.
#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "kernel/kernelinternal.h"
#include "kernel/testhooks.h"

std::string Layer::Cp932ToUtf8(const char* text) {
    if (text == nullptr)
        return std::string();
    // Text of single-byte codes below 0x80 reads the same in both (code page 932 keeps 0x5C and
    // 0x7E as ASCII has them): the game's numbers and captions skip the converter.
    const char* end = text;
    while (static_cast<unsigned char>(*end) - 1u < 0x7Fu)
        ++end;
    if (*end == '\0')
        return std::string(text, end);
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
            // A character code page 932 does not define: shown as '?', and conversion goes on
            // after it. A lead byte takes its trail byte along, as Windows reads the pair as one
            // character (so a trail byte 0x5C never turns into a backslash).
            auto lead = static_cast<unsigned char>(*in);
            auto trail = inLeft > 1 ? static_cast<unsigned char>(in[1]) : 0;
            size_t skip =
                IsCp932Lead(lead) && trail >= 0x40 && trail <= 0xFC && trail != 0x7F ? 2 : 1;
            result += '?';
            in += skip;
            inLeft -= skip;
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return result;
}

namespace {

// Wide characters U+DC80 to U+DCFF stand for the raw bytes 0x80 to 0xFF of a Linux name.
constexpr char32_t rawByteBase = 0xDC00;

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

std::string Layer::WideToUtf8(const wchar_t* wide, size_t capacity) {
    std::string text;
    for (size_t i = 0; i < capacity && wide[i] != 0; ++i) {
        auto c = static_cast<uint32_t>(wide[i]);
        if (c < 0x80 || (c >= rawByteBase + 0x80 && c <= rawByteBase + 0xFF)) {
            text += static_cast<char>(c & 0xFF); // a raw byte of a name on disk, as it stood
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text += static_cast<char>(0xE0 | (c >> 12));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | (c >> 18));
            text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

bool Layer::IsCp932Lead(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool Layer::IsUtf8(const std::string& text) {
    std::u32string ignored;
    return DecodeUtf8(text, &ignored);
}

std::string Layer::AnsiToUtf8(const std::string& text) {
    return IsUtf8(text) ? text : Cp932ToUtf8(text.c_str());
}

BOOL WINAPI IsDBCSLeadByteEx(UINT codePage, BYTE byte) {
    return (codePage == CP_ACP || codePage == 932) && Layer::IsCp932Lead(byte);
}

UINT WINAPI GetConsoleOutputCP(void) {
    return CP_UTF8;
}

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, wchar_t* wide,
                               int wideLength) {
    // A test's failure stands for a code page that is not installed, as Windows answers it.
    if (text == nullptr || wideLength < 0 || Layer::ShouldFail("MultiByteToWideChar")) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string input =
        length < 0 ? std::string(text) : std::string(text, static_cast<size_t>(length));
    std::u32string codes;
    if (!DecodeUtf8(input, &codes)) {
        if (codePage == CP_UTF8 && (flags & MB_ERR_INVALID_CHARS)) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
        DecodeUtf8(Layer::Cp932ToUtf8(input.c_str()), &codes);
        // A path to a name on disk whose bytes are no UTF-8 (a Latin-1 folder) keeps its bytes,
        // each one above 0x7F as a lone surrogate (as Linux tools escape such names), so that the
        // wide path leads back to the same name.
        std::string linuxPath = Layer::ToLinuxPath(input.c_str());
        if (!Layer::IsUtf8(linuxPath) && access(linuxPath.c_str(), F_OK) == 0) {
            codes.clear();
            for (char byte : input) {
                auto value = static_cast<unsigned char>(byte);
                codes.push_back(value < 0x80 ? value : rawByteBase + value);
            }
        }
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

int WINAPI WideCharToMultiByte(UINT codePage, DWORD, const wchar_t* wide, int length, LPSTR text,
                               int textLength, LPCSTR, BOOL* usedDefaultChar) {
    if (wide == nullptr || textLength < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t count = length < 0 ? wcslen(wide) + 1 : static_cast<size_t>(length);
    static iconv_t toCp932 = iconv_open("CP932", "UTF-32LE");
    std::string out;
    bool usedDefault = false;
    for (size_t i = 0; i < count; ++i) {
        auto code = static_cast<char32_t>(wide[i]);
        if (codePage == CP_UTF8 || code < 0x80 ||
            (code >= rawByteBase + 0x80 && code <= rawByteBase + 0xFF)) {
            out += code == 0 ? std::string(1, '\0') : Layer::WideToUtf8(&wide[i], 1);
            continue;
        }
        char in[4] = {static_cast<char>(code & 0xFF), static_cast<char>((code >> 8) & 0xFF),
                      static_cast<char>((code >> 16) & 0xFF), static_cast<char>(code >> 24)};
        char converted[8];
        char* inPointer = in;
        char* outPointer = converted;
        size_t inLeft = 4, outLeft = sizeof converted;
        iconv(toCp932, nullptr, nullptr, nullptr, nullptr);
        if (toCp932 != reinterpret_cast<iconv_t>(-1) &&
            iconv(toCp932, &inPointer, &inLeft, &outPointer, &outLeft) != static_cast<size_t>(-1)) {
            out.append(converted, static_cast<size_t>(outPointer - converted));
        } else {
            out += '?';
            usedDefault = true;
        }
    }
    if (usedDefaultChar != nullptr)
        *usedDefaultChar = usedDefault ? TRUE : FALSE;
    auto needed = static_cast<int>(out.size());
    if (textLength == 0)
        return needed;
    if (needed > textLength) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    memcpy(text, out.data(), out.size());
    return needed;
}
