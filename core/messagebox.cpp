// Message boxes whose texts are code page 932, shown through MessageBoxW.
#include "core/messagebox.h"

#include <vector>

namespace {

// The text in UTF-16 (wide characters), or an empty vector when it cannot be converted.
std::vector<WCHAR> FromCodePage932(const char* text) {
    int length = MultiByteToWideChar(932, 0, text, -1, nullptr, 0);
    if (length <= 0)
        return {};
    std::vector<WCHAR> wide(static_cast<size_t>(length));
    if (MultiByteToWideChar(932, 0, text, -1, wide.data(), length) != length)
        return {};
    return wide;
}

} // namespace

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    std::vector<WCHAR> wideText = FromCodePage932(text != nullptr ? text : "");
    std::vector<WCHAR> wideCaption;
    if (caption != nullptr)
        wideCaption = FromCodePage932(caption);
    if (wideText.empty() || (caption != nullptr && wideCaption.empty()))
        return MessageBoxA(owner, text, caption,
                           type); // code page 932 missing: the bytes as they are
    return MessageBoxW(owner, wideText.data(), caption != nullptr ? wideCaption.data() : nullptr,
                       type);
}
