// MessageBoxA and MessageBoxW: an SDL message box (in test programs' headless mode, recorded).
#include <SDL.h>

#include <cwchar>
#include <vector>

#include "user/userinternal.h"
#include "kernel/testhooks.h"

namespace {

// Shows (or, headless, records) a box whose texts are UTF-8.
int ShowBox(HWND owner, const std::string& utf8Text, const std::string& utf8Caption, UINT type) {
    if (Layer::Headless())
        return Layer::RecordMessageBox(owner, utf8Text.c_str(), utf8Caption.c_str(), type);
    std::vector<SDL_MessageBoxButtonData> buttons;
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        buttons = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"},
                   {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"}};
        break;
    case MB_YESNO:
        buttons = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"}, {0, IDNO, "No"}};
        break;
    case MB_YESNOCANCEL:
        buttons = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
                   {0, IDNO, "No"},
                   {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"}};
        break;
    default:
        buttons = {
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
             IDOK, "OK"}};
        break;
    }
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    if ((type & 0xF0) == MB_ICONERROR)
        flags = SDL_MESSAGEBOX_ERROR;
    else if ((type & 0xF0) == MB_ICONWARNING)
        flags = SDL_MESSAGEBOX_WARNING;
    SDL_MessageBoxData data{flags,
                            owner != nullptr && Layer::IsLiveWindow(owner) ? owner->sdlWindow
                                                                           : nullptr,
                            utf8Caption.c_str(),
                            utf8Text.c_str(),
                            static_cast<int>(buttons.size()),
                            buttons.data(),
                            nullptr};
    int pressed = 0;
    Layer::InstallCloseSignals();
    Layer::SetMessageBoxOpen(true);
    int shown = SDL_ShowMessageBox(&data, &pressed);
    Layer::SetMessageBoxOpen(false);
    if (shown != 0) {
        SDL_Log("%s: %s", utf8Caption.c_str(), utf8Text.c_str());
        return 0; // the box could not be shown, as Windows reports it
    }
    return pressed > 0 ? pressed : IDCANCEL;
}

} // namespace

// A null caption is "Error" on Windows.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return ShowBox(owner, Layer::Cp932ToUtf8(text),
                   caption != nullptr ? Layer::Cp932ToUtf8(caption) : "Error", type);
}

int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    auto utf8 = [](LPCWSTR wide) { return Layer::WideToUtf8(wide, wcslen(wide)); };
    return ShowBox(owner, text != nullptr ? utf8(text) : std::string(),
                   caption != nullptr ? utf8(caption) : "Error", type);
}
