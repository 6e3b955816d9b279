// SDL windows for window records: made, shown, placed, titled and sized as the records say.
#include <SDL.h>

#include <algorithm>

#include "screen/screeninternal.h"
#include "kernel/testhooks.h"
#include "screen/view.h"

namespace {

bool videoStarted = false;

} // namespace

namespace Layer {

bool VideoStarted() {
    return videoStarted;
}

} // namespace Layer

namespace {

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
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0)
        return 1;
    return Layer::StartScaleIn(window, usable.w, usable.h);
}

} // namespace

namespace Layer {

int StartScaleIn(HWND window, int usableWidth, int usableHeight) {
    if (!(window->style & WS_THICKFRAME))
        return 1;
    RECT client = ClientRectOf(window);
    RECT outer = OuterFromClient(client, window->style);
    int width = client.right - client.left, height = client.bottom - client.top;
    return StartScale(width, height, (outer.right - outer.left) - width,
                      (outer.bottom - outer.top) - height, usableWidth, usableHeight);
}

bool CreateSdlWindow(HWND window) {
    RECT client = ClientRectOf(window);
    int width = std::max(1, static_cast<int>(client.right - client.left));
    int height = std::max(1, static_cast<int>(client.bottom - client.top));
    window->sizedForWidth = width;
    window->sizedForHeight = height;
    if (Headless()) {
        RecallView(window);
        SetHeadlessViewSize(window);
        return true;
    }
    if (!StartVideo())
        return false;
    RecallView(window);
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    if (window->style & WS_THICKFRAME) // resizable, can be maximised and made full screen
        flags |= SDL_WINDOW_RESIZABLE;
    int scale = StartScaleOf(window);
    if (!(window->style & (WS_CAPTION | WS_THICKFRAME)))
        flags |= SDL_WINDOW_BORDERLESS;
    if (window->normalViewWidth <= 0 || window->normalViewHeight <= 0) {
        window->normalViewWidth = width * scale;
        window->normalViewHeight = height * scale;
    }
    if (window->maximized)
        flags |= SDL_WINDOW_MAXIMIZED;
    if (window->fullScreen)
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window->sdlWindow =
        SDL_CreateWindow(Cp932ToUtf8(window->title.c_str()).c_str(), client.left, client.top,
                         window->normalViewWidth, window->normalViewHeight, flags);
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
    RememberView(window);
    if (window->sdlWindow != nullptr) {
        ForgetServerView(window->sdlWindow);
        ForgetEightBitWindow(window->sdlWindow);
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
    RECT client = ClientRectOf(window);
    SDL_SetWindowPosition(window->sdlWindow, client.left, client.top);
    int width = std::max(1, static_cast<int>(client.right - client.left));
    int height = std::max(1, static_cast<int>(client.bottom - client.top));
    if (width == window->sizedForWidth && height == window->sizedForHeight)
        return; // moved only: the view keeps the size the player gave it
    // A new client size: the view starts again at the largest whole scale.
    int scale = StartScaleOf(window);
    window->sizedForWidth = width;
    window->sizedForHeight = height;
    window->normalViewWidth = scale * width;
    window->normalViewHeight = scale * height;
    if (!window->maximized)
        SDL_SetWindowSize(window->sdlWindow, scale * width, scale * height);
}

void SetSdlFullScreen(HWND window, bool fullScreen) {
    SDL_SetWindowFullscreen(window->sdlWindow, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
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
    RECT client = ClientRectOf(window);
    client = RECT{x, y, x + (client.right - client.left), y + (client.bottom - client.top)};
    window->outer = OuterFromClient(client, window->style);
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
