// The SDL side of windows: SDL windows for window records, and SDL events turned into Win32 input.
#include <SDL.h>

#include <algorithm>

#include "screen/screeninternal.h"
#include "kernel/testhooks.h"
#include "screen/view.h"

namespace {

bool videoStarted = false;

bool StartVideo() {
    if (videoStarted)
        return true;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1"); // the layer's own turn them into close requests
    // Window surfaces straight through the display server (shared memory on X11), not GL.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    videoStarted = true;
    return true;
}

// A window with a sizing frame starts, and is put back whenever the program resizes it, at the
// largest whole scale that fits the desktop's usable area with its frame; others at 1.
int StartScaleOf(HWND window) {
    SDL_Rect usable{};
    if (!(window->style & WS_THICKFRAME) || SDL_GetDisplayUsableBounds(0, &usable) != 0)
        return 1;
    RECT client = Layer::ClientFromOuter(window->outer, window->style);
    RECT outer = Layer::OuterFromClient(client, window->style);
    int width = client.right - client.left, height = client.bottom - client.top;
    return Layer::StartScale(width, height, (outer.right - outer.left) - width,
                             (outer.bottom - outer.top) - height, usable.w, usable.h);
}

HWND WindowFromId(Uint32 id) {
    SDL_Window* sdlWindow = SDL_GetWindowFromID(id);
    if (sdlWindow == nullptr)
        return nullptr;
    auto* window = static_cast<HWND>(SDL_GetWindowData(sdlWindow, "hwnd"));
    return Layer::IsLiveWindow(window) ? window : nullptr;
}

int VirtualKeyFromSdl(SDL_Scancode code) {
    if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z)
        return 'A' + (code - SDL_SCANCODE_A);
    if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9)
        return '1' + (code - SDL_SCANCODE_1);
    if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12)
        return VK_F1 + (code - SDL_SCANCODE_F1);
    switch (code) {
    case SDL_SCANCODE_0:
        return '0';
    case SDL_SCANCODE_ESCAPE:
        return VK_ESCAPE;
    case SDL_SCANCODE_RETURN:
        return VK_RETURN;
    case SDL_SCANCODE_BACKSPACE:
        return VK_BACK;
    case SDL_SCANCODE_TAB:
        return VK_TAB;
    case SDL_SCANCODE_SPACE:
        return VK_SPACE;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
        return VK_SHIFT;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
        return VK_CONTROL;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
        return VK_MENU;
    case SDL_SCANCODE_LEFT:
        return VK_LEFT;
    case SDL_SCANCODE_RIGHT:
        return VK_RIGHT;
    case SDL_SCANCODE_UP:
        return VK_UP;
    case SDL_SCANCODE_DOWN:
        return VK_DOWN;
    case SDL_SCANCODE_HOME:
        return VK_HOME;
    case SDL_SCANCODE_END:
        return VK_END;
    case SDL_SCANCODE_PAGEUP:
        return VK_PRIOR;
    case SDL_SCANCODE_PAGEDOWN:
        return VK_NEXT;
    case SDL_SCANCODE_INSERT:
        return VK_INSERT;
    case SDL_SCANCODE_DELETE:
        return VK_DELETE;
    case SDL_SCANCODE_PAUSE:
        return VK_PAUSE;
    default:
        return 0;
    }
}

// Mouse positions come in window points; the view's pixels may be more (a HiDPI screen).
void TranslateMouse(Uint32 windowId, int button, bool down, int x, int y) {
    HWND window = WindowFromId(windowId);
    if (window == nullptr)
        return;
    int pointsWide = 0, pointsHigh = 0, pixelsWide = 0, pixelsHigh = 0;
    SDL_GetWindowSize(window->sdlWindow, &pointsWide, &pointsHigh);
    Layer::ViewSize(window, &pixelsWide, &pixelsHigh);
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
    RECT client = Layer::ClientFromOuter(window->outer, window->style);
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        Layer::TranslateCloseBox(window);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED: // only the view changes; black until the next frame
        if (Layer::ShownThroughServer(window->sdlWindow))
            Layer::RepaintServerView(window->sdlWindow);
        else if (SDL_Surface* surface = SDL_GetWindowSurface(window->sdlWindow)) {
            SDL_FillRect(surface, nullptr, 0);
            SDL_UpdateWindowSurface(window->sdlWindow);
        }
        break;
    case SDL_WINDOWEVENT_MOVED:
        if (event.data1 != client.left || event.data2 != client.top) {
            Layer::RefreshWindowFromSdl(window);
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
        Layer::ShowFrame(window);
        break;
    default:
        break;
    }
}

void HandleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        HandleWindowEvent(event.window);
        break;
    case SDL_QUIT: // the session is ending
        Layer::RequestClose();
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        int virtualKey = VirtualKeyFromSdl(event.key.keysym.scancode);
        if (virtualKey == 0)
            break;
        bool extended = false;
        int scan = Layer::ScanCodeForKey(virtualKey, &extended);
        bool alt = (event.key.keysym.mod & KMOD_ALT) != 0 && virtualKey != VK_MENU;
        if (virtualKey == VK_MENU && event.type == SDL_KEYUP)
            alt = false;
        Layer::TranslateKey(WindowFromId(event.key.windowID), virtualKey, scan, extended,
                            event.type == SDL_KEYDOWN, event.key.repeat != 0, alt);
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

} // namespace

namespace Layer {

bool CreateSdlWindow(HWND window) {
    if (Headless())
        return true;
    if (!StartVideo())
        return false;
    RECT client = ClientFromOuter(window->outer, window->style);
    int width = std::max(1, static_cast<int>(client.right - client.left));
    int height = std::max(1, static_cast<int>(client.bottom - client.top));
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    if (window->style & WS_THICKFRAME) // resizable, can be maximised and made full screen
        flags |= SDL_WINDOW_RESIZABLE;
    int scale = StartScaleOf(window);
    if (!(window->style & (WS_CAPTION | WS_THICKFRAME)))
        flags |= SDL_WINDOW_BORDERLESS;
    window->sdlWindow = SDL_CreateWindow(Cp932ToUtf8(window->title.c_str()).c_str(), client.left,
                                         client.top, width * scale, height * scale, flags);
    if (window->sdlWindow == nullptr)
        return false;
    SDL_SetWindowData(window->sdlWindow, "hwnd", window);
    WatchX11Connection(window->sdlWindow);
    int iconWidth = 0, iconHeight = 0;
    const uint32_t* argb = nullptr;
    if (IconPixels(window->icon, &iconWidth, &iconHeight, &argb)) {
        SDL_Surface* icon =
            SDL_CreateRGBSurfaceFrom(const_cast<uint32_t*>(argb), iconWidth, iconHeight, 32,
                                     iconWidth * 4, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
        if (icon != nullptr) {
            SDL_SetWindowIcon(window->sdlWindow, icon); // _NET_WM_ICON on X11
            SDL_FreeSurface(icon);
        }
    }
    return true;
}

void DestroySdlWindow(HWND window) {
    if (window->sdlWindow != nullptr) {
        ForgetServerView(window->sdlWindow);
        SDL_DestroyWindow(window->sdlWindow);
    }
    window->sdlWindow = nullptr;
}

void ShowSdlWindow(HWND window, bool show) {
    if (window->sdlWindow == nullptr)
        return;
    if (show) {
        SDL_ShowWindow(window->sdlWindow);
        ShowFrame(window);
    } else {
        SDL_HideWindow(window->sdlWindow);
    }
}

void PlaceSdlWindow(HWND window) {
    if (window->sdlWindow == nullptr)
        return;
    if (window->fullScreen)
        return; // the view keeps the screen; the window's new place shows when it comes back
    RECT client = ClientFromOuter(window->outer, window->style);
    int scale = StartScaleOf(window);
    SDL_SetWindowPosition(window->sdlWindow, client.left, client.top);
    SDL_SetWindowSize(window->sdlWindow,
                      scale * std::max(1, static_cast<int>(client.right - client.left)),
                      scale * std::max(1, static_cast<int>(client.bottom - client.top)));
}

void SetSdlFullScreen(HWND window, bool fullScreen) {
    SDL_SetWindowFullscreen(window->sdlWindow, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

void SetSdlWindowTitle(HWND window) {
    if (window->sdlWindow != nullptr)
        SDL_SetWindowTitle(window->sdlWindow, Cp932ToUtf8(window->title.c_str()).c_str());
}

void SetSdlWindowTopmost(HWND window) {
    if (window->sdlWindow != nullptr)
        SDL_SetWindowAlwaysOnTop(window->sdlWindow, window->topmost ? SDL_TRUE : SDL_FALSE);
}

void RefreshWindowFromSdl(HWND window) {
    if (window->sdlWindow == nullptr)
        return;
    // The size changes only through SetWindowPos and resize events; the place may move freely.
    int x = 0, y = 0;
    SDL_GetWindowPosition(window->sdlWindow, &x, &y);
    RECT client = ClientFromOuter(window->outer, window->style);
    client = RECT{x, y, x + (client.right - client.left), y + (client.bottom - client.top)};
    window->outer = OuterFromClient(client, window->style);
}

void PumpSdlEvents() {
    if (!videoStarted)
        return;
    // SDL is pumped when the X connection has input, and at least every 10 ms for what SDL does
    // on its own schedule; in between, only events already queued are taken.
    static Uint32 lastPump = 0;
    Uint32 now = SDL_GetTicks();
    if (X11InputWaiting(0) != 0 || now - lastPump >= 10) {
        SDL_PumpEvents();
        lastPump = now;
    }
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
        HandleEvent(event);
}

bool WaitSdlEvent(int timeoutMs) {
    if (!videoStarted) {
        SDL_Delay(static_cast<Uint32>(timeoutMs));
        return false;
    }
    if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
        return true;
    int waiting = X11InputWaiting(timeoutMs);
    return waiting >= 0 ? waiting > 0 : SDL_WaitEventTimeout(nullptr, timeoutMs) != 0;
}

void SetSdlCursorVisible(bool visible) {
    if (videoStarted)
        SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool SdlScreenSize(int* width, int* height) {
    SDL_DisplayMode mode;
    if (!videoStarted || SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return false;
    *width = mode.w;
    *height = mode.h;
    return true;
}

} // namespace Layer
