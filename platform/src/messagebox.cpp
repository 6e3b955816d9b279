// MessageBoxA: an SDL message box (in test programs' headless mode, a recorded box).
#include <SDL.h>

#include <vector>

#include "internal.h"
#include "testhooks.h"

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (Layer::Headless())
        return Layer::RecordMessageBox(owner, text, caption, type);

    std::string utf8Text = Layer::Cp932ToUtf8(text);
    // A null caption is "Error" on Windows.
    std::string utf8Caption = caption != nullptr ? Layer::Cp932ToUtf8(caption) : "Error";
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
