// MessageBoxA and MessageBoxW: a modal box of the layer's own, its text drawn with the IPA fonts,
// shown as a window of the layer through the screen's driver (which may instead record it, as the
// test programs' headless screen does, or show a box of its own where the IPA fonts are missing).
//
// SDL's own message box draws with the X server's core fonts, which hold no Japanese on most
// systems; this one draws its picture as a Windows box looks (text on white, buttons on a grey
// strip below, the default button outlined) and runs its own message loop until a button is
// chosen: Enter or Space choose the focused button, Tab and the arrow keys move the focus, Esc and
// the close box answer as Cancel where the box has one (OK for a box with only OK), a click
// chooses the button it is released over. While the box is open no other window gets input: on
// Windows only the owner is disabled, but the layer's programs have one window, its owner.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

#include "user/userinternal.h"

namespace {

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

// The dialog class Windows' own boxes have.
constexpr char boxClass[] = "#32770";

// One open box: its texts, picture and state, found by its window.
struct Box {
    HWND window = nullptr;
    std::string text;
    UINT type = 0;
    std::vector<Layer::BoxButton> specs;
    Layer::MessageBoxPicture picture;
    int focused = 0, pressed = -1;
    bool shiftHeld = false;
    int answer = 0;
};

std::vector<Box*>& OpenBoxes() {
    static auto* boxes = new std::vector<Box*>;
    return *boxes;
}

void Redraw(Box& box) {
    Layer::DrawMessageBox(box.text, box.type, box.focused, box.pressed, &box.picture);
    Layer::Screen().ShowPicture(box.window, box.picture.pixels.data(), box.picture.width,
                                box.picture.height, box.picture.width);
}

int ButtonAt(const Box& box, LPARAM point) {
    int x = static_cast<int16_t>(LOWORD(point)), y = static_cast<int16_t>(HIWORD(point));
    for (size_t i = 0; i < box.picture.buttons.size(); ++i) {
        const auto& b = box.picture.buttons[i];
        if (x >= b.x && x < b.x + b.width && y >= b.y && y < b.y + b.height)
            return static_cast<int>(i);
    }
    return -1;
}

void HandleKey(Box& box, WPARAM key, bool down) {
    if (key == VK_SHIFT)
        box.shiftHeld = down;
    if (!down)
        return;
    auto count = static_cast<int>(box.specs.size());
    switch (key) {
    case VK_RETURN:
    case VK_SPACE:
        box.answer = box.specs[static_cast<size_t>(box.focused)].answer;
        break;
    case VK_ESCAPE:
        box.answer = Layer::BoxEscapeAnswer(box.type);
        break;
    case VK_TAB:
    case VK_RIGHT:
    case VK_LEFT:
        box.focused = (box.focused + (key == VK_LEFT || box.shiftHeld ? -1 : 1) + count) % count;
        Redraw(box);
        break;
    default:
        break;
    }
}

LRESULT CALLBACK BoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Box* found = nullptr;
    for (Box* box : OpenBoxes())
        if (box->window == window)
            found = box;
    if (found == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    Box& box = *found;
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        HandleKey(box, wParam, message == WM_KEYDOWN);
        return 0;
    case WM_LBUTTONDOWN:
        box.pressed = ButtonAt(box, lParam);
        box.focused = box.pressed >= 0 ? box.pressed : box.focused;
        Redraw(box);
        return 0;
    case WM_LBUTTONUP:
        if (box.pressed >= 0) {
            if (ButtonAt(box, lParam) == box.pressed)
                box.answer = box.specs[static_cast<size_t>(box.pressed)].answer;
            box.pressed = -1;
            Redraw(box);
        }
        return 0;
    case WM_CLOSE:
        box.answer = Layer::BoxEscapeAnswer(box.type);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool IsInput(UINT message) {
    return (message >= WM_KEYDOWN && message <= WM_SYSCHAR) ||
           (message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK) || message == WM_CLOSE;
}

// A window title as the layer keeps titles (code page 932) from UTF-8.
std::string TitleFromUtf8(const std::string& utf8) {
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return utf8;
    std::vector<wchar_t> wide(static_cast<size_t>(length));
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), length);
    int size = WideCharToMultiByte(932, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return utf8;
    std::string title(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(932, 0, wide.data(), -1, title.data(), size, nullptr, nullptr);
    title.resize(strlen(title.c_str()));
    return title;
}

// Runs the box's own loop until it has an answer; the other windows keep their messages but get
// no input.
int RunLoop(Box& box) {
    MSG message;
    while (box.answer == 0) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got < 0)
            return 0;
        if (got == 0) { // the program is quitting: the box ends and the quit stays posted
            PostQuitMessage(static_cast<int>(message.wParam));
            int escape = Layer::BoxEscapeAnswer(box.type);
            return escape != 0 ? escape : IDNO;
        }
        if (message.hwnd != box.window && IsInput(message.message))
            continue;
        DispatchMessageA(&message);
    }
    return box.answer;
}

} // namespace

int Layer::RunMessageBoxWindow(HWND owner, const std::string& text, const std::string& caption,
                               UINT type) {
    Box box;
    box.text = text;
    box.type = type;
    box.specs = Layer::BoxButtons(type);
    if (!DrawMessageBox(text, type, box.focused, box.pressed, &box.picture))
        return -1;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = BoxProcedure;
    windowClass.lpszClassName = boxClass;
    RegisterClassA(&windowClass); // (fails harmlessly once it is registered)
    // Centred over its owner's client area, as Windows places it, else on the screen.
    RECT over{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner != nullptr && IsLiveWindow(owner))
        over = ClientRectOf(owner);
    else
        owner = nullptr;
    int left = over.left + (over.right - over.left - box.picture.width) / 2;
    int top = over.top + (over.bottom - over.top - box.picture.height) / 2;
    constexpr DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT outer =
        OuterFromClient(RECT{left, top, left + box.picture.width, top + box.picture.height}, style);
    InstallCloseSignals();
    SetMessageBoxOpen(true);
    box.window = CreateWindowExA(WS_EX_TOPMOST, boxClass, TitleFromUtf8(caption).c_str(), style,
                                 outer.left, outer.top, outer.right - outer.left,
                                 outer.bottom - outer.top, owner, nullptr, nullptr, nullptr);
    int answer = 0;
    if (box.window != nullptr) {
        OpenBoxes().push_back(&box);
        ShowWindow(box.window, SW_SHOW);
        Redraw(box);
        answer = RunLoop(box);
        OpenBoxes().erase(std::find(OpenBoxes().begin(), OpenBoxes().end(), &box));
        DestroyWindow(box.window);
    }
    SetMessageBoxOpen(false);
    return answer;
}

namespace {

int ShowBox(HWND owner, const std::string& utf8Text, const std::string& utf8Caption, UINT type) {
    int answer = Layer::Screen().ShowMessageBox(owner, utf8Text, utf8Caption, type);
    if (answer == 0)
        fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str()); // not shown
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
    std::vector<Layer::BoxButton> specs = Layer::BoxButtons(type);
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

std::vector<Layer::BoxButton> Layer::BoxButtons(UINT type) {
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

int Layer::BoxEscapeAnswer(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return IDOK;
    case MB_YESNO:
        return 0;
    default:
        return IDCANCEL;
    }
}
