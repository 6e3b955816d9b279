// MessageBoxA: an SDL message box, or in headless mode a recorded box that answers at once.
#include <SDL.h>

#include <vector>

#include "internal.h"
#include "platformtest.h"

namespace {

std::vector<PlatformTest::MessageBoxRecord>& Records() {
    static auto* records = new std::vector<PlatformTest::MessageBoxRecord>;
    return *records;
}

int headlessAnswer = 0;

int DefaultAnswer(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    default:
        return IDOK;
    }
}

} // namespace

namespace Layer {

int RecordMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    Records().push_back(
        {owner, text != nullptr ? text : "", caption != nullptr ? caption : "", type});
    return headlessAnswer != 0 ? headlessAnswer : DefaultAnswer(type);
}

void ClearMessageBoxes() {
    Records().clear();
    headlessAnswer = 0;
}

} // namespace Layer

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
    if (SDL_ShowMessageBox(&data, &pressed) != 0) {
        SDL_Log("%s: %s", utf8Caption.c_str(), utf8Text.c_str());
        return 0; // the box could not be shown, as Windows reports it
    }
    return pressed > 0 ? pressed : IDCANCEL;
}

void PlatformTest::SetMessageBoxAnswer(int answer) {
    headlessAnswer = answer;
}

const std::vector<PlatformTest::MessageBoxRecord>& PlatformTest::MessageBoxes() {
    return Records();
}
