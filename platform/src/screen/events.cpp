// Input from SDL's screens, read in one place: SDL's events turned into the windows' input through
// the views, with one key table.
#include <SDL.h>

#include <vector>

#include "screen/sdlscreen.h"

namespace {

// A key as Windows knows it: virtual key, set-1 scan code and extended bit, and the SDL key.
struct KeyEntry {
    SDL_Scancode sdl;
    int virtualKey;
    int scan;
    bool extended;
};

// The keys the layer knows, each once per SDL key (both Shift, Ctrl and Alt keys give the left
// one's codes); the first entry of a virtual key gives its scan code.
const std::vector<KeyEntry>& Keys() {
    static const std::vector<KeyEntry> keys = [] {
        std::vector<KeyEntry> table = {
            {SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0x01, false},
            {SDL_SCANCODE_BACKSPACE, VK_BACK, 0x0E, false},
            {SDL_SCANCODE_TAB, VK_TAB, 0x0F, false},
            {SDL_SCANCODE_RETURN, VK_RETURN, 0x1C, false},
            {SDL_SCANCODE_KP_ENTER, VK_RETURN, 0x1C, true},
            {SDL_SCANCODE_LCTRL, VK_CONTROL, 0x1D, false},
            {SDL_SCANCODE_RCTRL, VK_CONTROL, 0x1D, false},
            {SDL_SCANCODE_LSHIFT, VK_SHIFT, 0x2A, false},
            {SDL_SCANCODE_RSHIFT, VK_SHIFT, 0x2A, false},
            {SDL_SCANCODE_LALT, VK_MENU, 0x38, false},
            {SDL_SCANCODE_RALT, VK_MENU, 0x38, false},
            {SDL_SCANCODE_SPACE, VK_SPACE, 0x39, false},
            {SDL_SCANCODE_F11, VK_F11, 0x57, false},
            {SDL_SCANCODE_F12, VK_F12, 0x58, false},
            {SDL_SCANCODE_HOME, VK_HOME, 0x47, true},
            {SDL_SCANCODE_UP, VK_UP, 0x48, true},
            {SDL_SCANCODE_PAGEUP, VK_PRIOR, 0x49, true},
            {SDL_SCANCODE_LEFT, VK_LEFT, 0x4B, true},
            {SDL_SCANCODE_RIGHT, VK_RIGHT, 0x4D, true},
            {SDL_SCANCODE_END, VK_END, 0x4F, true},
            {SDL_SCANCODE_DOWN, VK_DOWN, 0x50, true},
            {SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0x51, true},
            {SDL_SCANCODE_INSERT, VK_INSERT, 0x52, true},
            {SDL_SCANCODE_DELETE, VK_DELETE, 0x53, true},
            {SDL_SCANCODE_PAUSE, VK_PAUSE, 0, false},
            {SDL_SCANCODE_0, '0', 0x0B, false},
        };
        for (int i = 0; i < 10; ++i) // F1 to F10 have consecutive scan codes
            table.push_back(
                {static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + i), VK_F1 + i, 0x3B + i, false});
        for (int i = 0; i < 9; ++i)
            table.push_back(
                {static_cast<SDL_Scancode>(SDL_SCANCODE_1 + i), '1' + i, 0x02 + i, false});
        // The letter rows, in set-1 order.
        const char rows[] = "QWERTYUIOP\0\0\0\0ASDFGHJKL\0\0\0\0\0ZXCVBNM";
        for (int i = 0; i < static_cast<int>(sizeof rows) - 1; ++i)
            if (rows[i] != '\0')
                table.push_back({static_cast<SDL_Scancode>(SDL_SCANCODE_A + (rows[i] - 'A')),
                                 rows[i], 0x10 + i, false});
        return table;
    }();
    return keys;
}

const KeyEntry* KeyFromSdl(SDL_Scancode code) {
    for (const KeyEntry& key : Keys())
        if (key.sdl == code)
            return &key;
    return nullptr;
}

HWND WindowFromId(Uint32 id) {
    return Layer::WindowOfSdl(SDL_GetWindowFromID(id));
}

// Mouse positions come in window points; the view's pixels may be more (a HiDPI screen).
void TranslateMouse(Uint32 windowId, int button, bool down, int x, int y) {
    HWND window = WindowFromId(windowId);
    if (window == nullptr)
        return;
    int pointsWide = 0, pointsHigh = 0, pixelsWide = 0, pixelsHigh = 0;
    SDL_GetWindowSize(window->view->sdlWindow, &pointsWide, &pointsHigh);
    SDL_GetWindowSizeInPixels(window->view->sdlWindow, &pixelsWide, &pixelsHigh);
    if (pointsWide > 0 && pointsHigh > 0) {
        x = static_cast<int>(static_cast<int64_t>(x) * pixelsWide / pointsWide);
        y = static_cast<int>(static_cast<int64_t>(y) * pixelsHigh / pointsHigh);
    }
    Layer::TranslateViewMouse(window, button, down, x, y);
}

void HandleWindowEvent(const SDL_WindowEvent& event) {
    HWND window = WindowFromId(event.windowID);
    if (window == nullptr)
        return;
    RECT client = Layer::ClientRectOf(window);
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        Layer::TranslateCloseBox(window);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED: // only the view changes; black until the next frame
        if (!(SDL_GetWindowFlags(window->view->sdlWindow) &
              (SDL_WINDOW_MAXIMIZED | SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MINIMIZED))) {
            window->view->normalViewWidth = event.data1; // the size to come back to, and keep
            window->view->normalViewHeight = event.data2;
        }
        Layer::Back().ViewResized(window);
        break;
    case SDL_WINDOWEVENT_MOVED:
        if (event.data1 != client.left || event.data2 != client.top) {
            Layer::Back().ReadViewPlace(window);
            SendMessageA(window, WM_MOVE, 0, MAKELPARAM(event.data1, event.data2));
        }
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        Layer::TranslateFocus(window, true);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        Layer::TranslateFocus(window, false);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        SendMessageA(window, WM_SIZE, SIZE_MINIMIZED, 0);
        break;
    case SDL_WINDOWEVENT_RESTORED: // (a maximised view leaves the program's window as it is)
        SendMessageA(window, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(client.right - client.left, client.bottom - client.top));
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        Layer::Back().ShowFrameAgain(window);
        break;
    default:
        break;
    }
}

} // namespace

void Layer::HandleSdlEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        HandleWindowEvent(event.window);
        break;
    case SDL_QUIT: // the session is ending
        Layer::RequestClose();
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const KeyEntry* key = KeyFromSdl(event.key.keysym.scancode);
        if (key == nullptr)
            break;
        bool alt = (event.key.keysym.mod & KMOD_ALT) != 0 && key->virtualKey != VK_MENU;
        Layer::TranslateViewKey(WindowFromId(event.key.windowID), key->virtualKey, key->scan,
                                key->extended, event.type == SDL_KEYDOWN, event.key.repeat != 0,
                                alt);
        break;
    }
    case SDL_MOUSEMOTION:
        TranslateMouse(event.motion.windowID, -1, false, event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        int button = event.button.button == SDL_BUTTON_LEFT     ? 0
                     : event.button.button == SDL_BUTTON_RIGHT  ? 1
                     : event.button.button == SDL_BUTTON_MIDDLE ? 2
                                                                : -1;
        if (button >= 0)
            TranslateMouse(event.button.windowID, button, event.type == SDL_MOUSEBUTTONDOWN,
                           event.button.x, event.button.y);
        break;
    }
    default:
        break;
    }
}

namespace Layer {

int ScanCodeForKey(int virtualKey, bool* extended) {
    for (const KeyEntry& key : Keys())
        if (key.virtualKey == virtualKey) {
            *extended = key.extended;
            return key.scan;
        }
    *extended = false;
    return 0;
}

} // namespace Layer
