// MessageBoxA and MessageBoxW: a modal box of the layer's own, its text drawn with the IPA fonts
// (in test programs' headless mode, recorded).
//
// SDL's own message box draws with the X server's core fonts, which hold no Japanese on most
// systems; this one draws its picture as a Windows box looks (text on white, buttons on a grey
// strip below, the default button outlined) and runs its own loop until a button is chosen:
// Enter or Space choose the focused button, Tab and the arrow keys move the focus, Esc and the
// close box answer as Cancel where the box has one (OK for a box with only OK), a click chooses
// the button it is released over. Without the IPA fonts, or on a screen SDL cannot draw on, it
// falls back to SDL's box.
#include <SDL.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "user/userinternal.h"
#include "kernel/testhooks.h"

namespace {

struct ButtonSpec {
    int answer;
    const char* label;
};

std::vector<ButtonSpec> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO:
        return {{IDYES, "Yes"}, {IDNO, "No"}};
    case MB_YESNOCANCEL:
        return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    default:
        return {{IDOK, "OK"}};
    }
}

// The answer of Esc and the close box: Cancel where there is one, OK alone, none for Yes / No.
int EscapeAnswer(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return IDOK;
    case MB_YESNO:
        return 0;
    default:
        return IDCANCEL;
    }
}

// The look of a box, in pixels and XRGB colours.
constexpr int textLeft = 24, textTop = 24, lineGap = 4, textBottom = 24;
constexpr int stripHeight = 48, buttonWidth = 88, buttonHeight = 26, buttonGap = 10;
constexpr int sideMargin = 12, minimumWidth = 200;
constexpr uint32_t paper = 0xFFFFFF, strip = 0xF0F0F0, ink = 0x000000;
constexpr uint32_t face = 0xE1E1E1, edge = 0xADADAD, focusEdge = 0x0078D7, pressedFace = 0xCCE4F7;

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n')
            lines.emplace_back();
        else if (c != '\r')
            lines.back() += c;
    }
    return lines;
}

void Fill(Layer::MessageBoxPicture& picture, int x, int y, int width, int height, uint32_t color) {
    for (int row = std::max(0, y); row < std::min(picture.height, y + height); ++row)
        for (int column = std::max(0, x); column < std::min(picture.width, x + width); ++column)
            picture.pixels[static_cast<size_t>(row) * picture.width + column] = color;
}

void Frame(Layer::MessageBoxPicture& picture, int x, int y, int width, int height, uint32_t color) {
    Fill(picture, x, y, width, 1, color);
    Fill(picture, x, y + height - 1, width, 1, color);
    Fill(picture, x, y, 1, height, color);
    Fill(picture, x + width - 1, y, 1, height, color);
}

void Text(Layer::MessageBoxPicture& picture, int x, int y, const std::string& utf8) {
    Layer::DrawInterfaceText(picture.pixels.data(), picture.width, picture.height, x, y, utf8, ink);
}

// Shows the box in a window of its own and runs its loop; the answer, 0 when the window cannot be
// made, or -1 when SDL's box must stand in.
int RunBoxWindow(HWND owner, const std::string& utf8Text, const std::string& utf8Caption,
                 UINT type) {
    std::vector<ButtonSpec> specs = ButtonsOf(type);
    int focused = 0, pressed = -1;
    Layer::MessageBoxPicture picture;
    if (!Layer::DrawMessageBox(utf8Text, type, focused, pressed, &picture))
        return -1;
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return 0;
    SDL_Window* parent =
        owner != nullptr && Layer::IsLiveWindow(owner) ? owner->sdlWindow : nullptr;
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    if (parent != nullptr) { // centred over its owner, as Windows places it
        int left = 0, top = 0, width = 0, height = 0;
        SDL_GetWindowPosition(parent, &left, &top);
        SDL_GetWindowSize(parent, &width, &height);
        x = left + (width - picture.width) / 2;
        y = top + (height - picture.height) / 2;
    }
    SDL_Window* window = SDL_CreateWindow(utf8Caption.c_str(), x, y, picture.width, picture.height,
                                          SDL_WINDOW_SKIP_TASKBAR);
    if (window == nullptr)
        return 0;
    if (SDL_GetWindowSurface(window) == nullptr) { // a screen SDL cannot draw on (8 bits)
        SDL_DestroyWindow(window);
        return -1;
    }
    if (parent != nullptr)
        SDL_SetWindowModalFor(window, parent);
    SDL_RaiseWindow(window);
    Uint32 id = SDL_GetWindowID(window);
    int escape = EscapeAnswer(type);
    int answer = 0;
    bool dirty = true;
    auto buttonAt = [&](int px, int py) {
        for (size_t i = 0; i < picture.buttons.size(); ++i) {
            const auto& b = picture.buttons[i];
            if (px >= b.x && px < b.x + b.width && py >= b.y && py < b.y + b.height)
                return static_cast<int>(i);
        }
        return -1;
    };
    while (answer == 0) {
        if (dirty) {
            Layer::DrawMessageBox(utf8Text, type, focused, pressed, &picture);
            SDL_Surface* shown = SDL_CreateRGBSurfaceWithFormatFrom(
                picture.pixels.data(), picture.width, picture.height, 32, picture.width * 4,
                SDL_PIXELFORMAT_RGB888);
            SDL_Surface* target = SDL_GetWindowSurface(window);
            if (shown != nullptr && target != nullptr) {
                SDL_BlitSurface(shown, nullptr, target, nullptr); // converts to the screen's format
                SDL_UpdateWindowSurface(window);
            }
            SDL_FreeSurface(shown);
            dirty = false;
        }
        SDL_Event event;
        if (!SDL_WaitEventTimeout(&event, 100))
            continue;
        switch (event.type) {
        case SDL_WINDOWEVENT:
            if (event.window.windowID != id)
                break;
            if (event.window.event == SDL_WINDOWEVENT_CLOSE)
                answer = escape;
            dirty = true;
            break;
        case SDL_KEYDOWN:
            switch (event.key.keysym.sym) {
            case SDLK_RETURN:
            case SDLK_KP_ENTER:
            case SDLK_SPACE:
                answer = specs[static_cast<size_t>(focused)].answer;
                break;
            case SDLK_ESCAPE:
                answer = escape;
                break;
            case SDLK_TAB:
            case SDLK_RIGHT:
            case SDLK_LEFT: {
                int step =
                    event.key.keysym.sym == SDLK_LEFT || (event.key.keysym.mod & KMOD_SHIFT) != 0
                        ? -1
                        : 1;
                int count = static_cast<int>(specs.size());
                focused = (focused + step + count) % count;
                dirty = true;
                break;
            }
            default:
                break;
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.windowID == id && event.button.button == SDL_BUTTON_LEFT) {
                pressed = buttonAt(event.button.x, event.button.y);
                focused = pressed >= 0 ? pressed : focused;
                dirty = true;
            }
            break;
        case SDL_MOUSEBUTTONUP:
            if (event.button.button == SDL_BUTTON_LEFT && pressed >= 0) {
                if (event.button.windowID == id &&
                    buttonAt(event.button.x, event.button.y) == pressed)
                    answer = specs[static_cast<size_t>(pressed)].answer;
                pressed = -1;
                dirty = true;
            }
            break;
        default:
            break;
        }
    }
    SDL_DestroyWindow(window);
    return answer;
}

// SDL's own box: the fallback where the IPA fonts cannot be found.
int RunSdlBox(HWND owner, const std::string& utf8Text, const std::string& utf8Caption, UINT type) {
    std::vector<ButtonSpec> specs = ButtonsOf(type);
    int escape = EscapeAnswer(type);
    std::vector<SDL_MessageBoxButtonData> buttons;
    for (size_t i = 0; i < specs.size(); ++i) {
        Uint32 flags = (i == 0 ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0) |
                       (specs[i].answer == escape ? SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT : 0);
        buttons.push_back({flags, specs[i].answer, specs[i].label});
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
    if (SDL_ShowMessageBox(&data, &pressed) != 0)
        return 0;
    return pressed > 0 ? pressed : IDCANCEL;
}

// Shows (or, headless, records) a box whose texts are UTF-8.
int ShowBox(HWND owner, const std::string& utf8Text, const std::string& utf8Caption, UINT type) {
    if (Layer::Headless())
        return Layer::RecordMessageBox(owner, utf8Text.c_str(), utf8Caption.c_str(), type);
    Layer::InstallCloseSignals();
    Layer::SetMessageBoxOpen(true);
    int answer = RunBoxWindow(owner, utf8Text, utf8Caption, type);
    if (answer < 0)
        answer = RunSdlBox(owner, utf8Text, utf8Caption, type);
    Layer::SetMessageBoxOpen(false);
    if (answer == 0)
        SDL_Log("%s: %s", utf8Caption.c_str(), utf8Text.c_str()); // could not be shown
    return answer;
}

} // namespace

bool Layer::DrawMessageBox(const std::string& utf8Text, UINT type, int focused, int pressed,
                           MessageBoxPicture* picture) {
    std::vector<std::string> lines = LinesOf(utf8Text);
    int textWidth = 0;
    for (const std::string& line : lines) {
        int width = InterfaceTextWidth(line);
        if (width < 0)
            return false;
        textWidth = std::max(textWidth, width);
    }
    std::vector<ButtonSpec> specs = ButtonsOf(type);
    auto count = static_cast<int>(specs.size());
    int buttonsWidth = count * buttonWidth + (count - 1) * buttonGap;
    int pitch = InterfaceLineHeight() + lineGap;
    int textArea = textTop + static_cast<int>(lines.size()) * pitch - lineGap + textBottom;
    picture->width =
        std::max({minimumWidth, textLeft * 2 + textWidth, buttonsWidth + 2 * sideMargin});
    picture->height = textArea + stripHeight;
    picture->pixels.assign(static_cast<size_t>(picture->width) * picture->height, paper);
    for (size_t i = 0; i < lines.size(); ++i)
        Text(*picture, textLeft, textTop + static_cast<int>(i) * pitch, lines[i]);
    Fill(*picture, 0, textArea, picture->width, stripHeight, strip);
    // Buttons stand at the strip's right, in their order, as Windows places them.
    picture->buttons.clear();
    int x = picture->width - sideMargin - buttonsWidth;
    int y = textArea + (stripHeight - buttonHeight) / 2;
    for (int i = 0; i < count; ++i, x += buttonWidth + buttonGap) {
        picture->buttons.push_back(
            {specs[static_cast<size_t>(i)].answer, x, y, buttonWidth, buttonHeight});
        Fill(*picture, x, y, buttonWidth, buttonHeight, i == pressed ? pressedFace : face);
        Frame(*picture, x, y, buttonWidth, buttonHeight, i == focused ? focusEdge : edge);
        if (i == focused)
            Frame(*picture, x + 1, y + 1, buttonWidth - 2, buttonHeight - 2, focusEdge);
        const char* label = specs[static_cast<size_t>(i)].label;
        int labelWidth = std::max(0, InterfaceTextWidth(label));
        Text(*picture, x + (buttonWidth - labelWidth) / 2,
             y + (buttonHeight - InterfaceLineHeight()) / 2, label);
    }
    return true;
}

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
