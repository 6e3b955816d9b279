// The SDL screen driver: SDL windows for window records (made, shown, placed, titled and sized as
// the records say), their surfaces as the views' pixels, SDL's events and its wait.
#include <SDL.h>

#include <algorithm>
#include <ctime>
#include <vector>

#include "screen/sdlscreen.h"
#include "screen/view.h"

namespace {

bool videoStarted = false;

// A window with a sizing frame starts, and is put back whenever the program resizes it, at the
// largest whole scale that fits the desktop's usable area with its frame; others at 1.
int StartScaleOf(HWND window) {
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0)
        return 1;
    return Layer::StartScaleIn(window, usable.w, usable.h);
}

void SetIcon(SDL_Window* sdlWindow, HICON icon) {
    int width = 0, height = 0;
    const uint32_t* argb = nullptr;
    if (!Layer::IconPixels(icon, &width, &height, &argb))
        return;
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceFrom(const_cast<uint32_t*>(argb), width, height, 32, width * 4,
                                 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    if (surface != nullptr) {
        SDL_SetWindowIcon(sdlWindow, surface); // _NET_WM_ICON on X11
        SDL_FreeSurface(surface);
    }
}

// SDL's own box: the stand-in where the IPA fonts cannot be found.
int ShowSdlBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    int escape = Layer::BoxEscapeAnswer(type);
    std::vector<SDL_MessageBoxButtonData> buttons;
    for (const Layer::BoxButton& button : Layer::BoxButtons(type)) {
        Uint32 flags = (buttons.empty() ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0) |
                       (button.answer == escape ? SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT : 0);
        buttons.push_back({flags, button.answer, button.label});
    }
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    if ((type & 0xF0) == MB_ICONERROR)
        flags = SDL_MESSAGEBOX_ERROR;
    else if ((type & 0xF0) == MB_ICONWARNING)
        flags = SDL_MESSAGEBOX_WARNING;
    SDL_MessageBoxData data{flags,        Layer::SdlWindowOf(owner),        caption.c_str(),
                            text.c_str(), static_cast<int>(buttons.size()), buttons.data(),
                            nullptr};
    int pressed = 0;
    if (SDL_ShowMessageBox(&data, &pressed) != 0)
        return 0;
    return pressed > 0 ? pressed : IDCANCEL;
}

} // namespace

namespace Layer {

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

SDL_Window* SdlWindowOf(HWND window) {
    return window != nullptr && IsLiveWindow(window) && window->view != nullptr
               ? window->view->sdlWindow
               : nullptr;
}

void TakeSdlEvents() {
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
        HandleSdlEvent(event);
}

HWND WindowOfSdl(SDL_Window* sdlWindow) {
    if (sdlWindow == nullptr)
        return nullptr;
    auto* window = static_cast<HWND>(SDL_GetWindowData(sdlWindow, "hwnd"));
    return IsLiveWindow(window) ? window : nullptr;
}

int StartScaleIn(HWND window, int usableWidth, int usableHeight) {
    if (!(window->style & WS_THICKFRAME))
        return 1;
    RECT client = ClientRectOf(window);
    RECT outer = OuterFromClient(client, window->style);
    int width = client.right - client.left, height = client.bottom - client.top;
    return StartScale(width, height, (outer.right - outer.left) - width,
                      (outer.bottom - outer.top) - height, usableWidth, usableHeight);
}

bool SdlScreen::MakeView(HWND window) {
    if (!StartVideo())
        return false;
    RECT client = ClientRectOf(window);
    auto* view = new WindowView;
    view->sizedForWidth = std::max(1, static_cast<int>(client.right - client.left));
    view->sizedForHeight = std::max(1, static_cast<int>(client.bottom - client.top));
    window->view = view;
    RecallView(window);
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    if (window->style & WS_THICKFRAME) // resizable, can be maximised and made full screen
        flags |= SDL_WINDOW_RESIZABLE;
    if (!(window->style & (WS_CAPTION | WS_THICKFRAME)))
        flags |= SDL_WINDOW_BORDERLESS;
    if (window->parent != nullptr) // an owned window (a message box): not in the task bar
        flags |= SDL_WINDOW_SKIP_TASKBAR;
    if (window->topmost)
        flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    int scale = StartScaleOf(window);
    if (view->normalViewWidth <= 0 || view->normalViewHeight <= 0) {
        view->normalViewWidth = view->sizedForWidth * scale;
        view->normalViewHeight = view->sizedForHeight * scale;
    }
    if (view->maximized)
        flags |= SDL_WINDOW_MAXIMIZED;
    if (view->fullScreen)
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    view->sdlWindow =
        SDL_CreateWindow(Cp932ToUtf8(window->title.c_str()).c_str(), client.left, client.top,
                         view->normalViewWidth, view->normalViewHeight, flags);
    if (view->sdlWindow == nullptr) {
        delete view;
        window->view = nullptr;
        return false;
    }
    SDL_SetWindowData(view->sdlWindow, "hwnd", window);
    if (SDL_Window* owner = SdlWindowOf(window->parent))
        SDL_SetWindowModalFor(view->sdlWindow, owner);
    SetIcon(view->sdlWindow, window->icon);
    return true;
}

void SdlScreen::DestroyView(HWND window) {
    if (window->view == nullptr)
        return;
    SDL_Window* sdlWindow = window->view->sdlWindow;
    window->view->maximized = (SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_MAXIMIZED) != 0;
    RememberView(window);
    SDL_DestroyWindow(sdlWindow);
    delete window->view;
    window->view = nullptr;
}

void SdlScreen::ShowView(HWND window, bool show) {
    SDL_Window* sdlWindow = SdlWindowOf(window);
    if (sdlWindow == nullptr)
        return;
    if (show) {
        SDL_ShowWindow(sdlWindow);
        if (window->parent != nullptr)
            SDL_RaiseWindow(sdlWindow); // an owned window comes up over its owner, with the keys
        ShowFrameAgain(window);
    } else {
        SDL_HideWindow(sdlWindow);
    }
}

void SdlScreen::PlaceView(HWND window) {
    SDL_Window* sdlWindow = SdlWindowOf(window);
    if (sdlWindow == nullptr || window->view->fullScreen)
        return; // the view keeps the screen; the window's new place shows when it comes back
    WindowView* view = window->view;
    RECT client = ClientRectOf(window);
    SDL_SetWindowPosition(sdlWindow, client.left, client.top);
    int width = std::max(1, static_cast<int>(client.right - client.left));
    int height = std::max(1, static_cast<int>(client.bottom - client.top));
    if (width == view->sizedForWidth && height == view->sizedForHeight)
        return; // moved only: the view keeps the size the player gave it
    // A new client size: the view starts again at the largest whole scale.
    int scale = StartScaleOf(window);
    view->sizedForWidth = width;
    view->sizedForHeight = height;
    view->normalViewWidth = scale * width;
    view->normalViewHeight = scale * height;
    if (!view->maximized)
        SDL_SetWindowSize(sdlWindow, scale * width, scale * height);
}

void SdlScreen::SetViewTopmost(HWND window) {
    if (SDL_Window* sdlWindow = SdlWindowOf(window))
        SDL_SetWindowAlwaysOnTop(sdlWindow, window->topmost ? SDL_TRUE : SDL_FALSE);
}

void SdlScreen::ReadViewPlace(HWND window) {
    SDL_Window* sdlWindow = SdlWindowOf(window);
    if (sdlWindow == nullptr)
        return;
    // The size changes only through SetWindowPos and resize events; the place may move freely.
    int x = 0, y = 0;
    SDL_GetWindowPosition(sdlWindow, &x, &y);
    RECT client = ClientRectOf(window);
    client = RECT{x, y, x + (client.right - client.left), y + (client.bottom - client.top)};
    window->outer = OuterFromClient(client, window->style);
}

void SdlScreen::SetCursorVisible(bool visible) {
    if (videoStarted)
        SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool SdlScreen::ScreenSize(int* width, int* height) {
    SDL_DisplayMode mode;
    if (!videoStarted || SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return false;
    *width = mode.w;
    *height = mode.h;
    return true;
}

void SdlScreen::PumpInput() {
    if (!videoStarted)
        return;
    SDL_PumpEvents();
    TakeSdlEvents();
}

bool SdlScreen::WaitFor(int64_t nanoseconds) {
    if (nanoseconds <= 0)
        return false;
    if (!videoStarted) {
        timespec wait{static_cast<time_t>(nanoseconds / 1000000000),
                      static_cast<long>(nanoseconds % 1000000000)};
        nanosleep(&wait, nullptr);
        return false;
    }
    if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
        return true;
    // SDL's own wait, to the millisecond.
    return SDL_WaitEventTimeout(nullptr, static_cast<int>((nanoseconds + 999999) / 1000000)) != 0;
}

bool SdlScreen::WaitForInput(int milliseconds) {
    WaitFor(int64_t{milliseconds} * 1000000);
    return true;
}

int SdlScreen::ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                              UINT type) {
    int answer = RunMessageBoxWindow(owner, text, caption, type);
    return answer >= 0 ? answer : ShowSdlBox(owner, text, caption, type);
}

void SdlScreen::ViewSize(HWND window, int* width, int* height) {
    if (SDL_Window* sdlWindow = SdlWindowOf(window)) {
        SDL_GetWindowSizeInPixels(sdlWindow, width, height);
        return;
    }
    RECT client = ClientRectOf(window);
    *width = client.right - client.left;
    *height = client.bottom - client.top;
}

void SdlScreen::ApplyFullScreen(HWND window) {
    if (SDL_Window* sdlWindow = SdlWindowOf(window))
        SDL_SetWindowFullscreen(sdlWindow,
                                window->view->fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

void SdlScreen::ViewResized(HWND window) {
    SDL_Window* sdlWindow = SdlWindowOf(window);
    if (SDL_Surface* surface = sdlWindow != nullptr ? SDL_GetWindowSurface(sdlWindow) : nullptr) {
        SDL_FillRect(surface, nullptr, 0);
        SDL_UpdateWindowSurface(sdlWindow);
    }
}

void SdlScreen::ShowFrameAgain(HWND window) {
    SDL_Window* sdlWindow = SdlWindowOf(window);
    if (sdlWindow != nullptr && SDL_GetWindowSurface(sdlWindow) != nullptr)
        SDL_UpdateWindowSurface(sdlWindow);
}

bool SdlScreen::OpenView(HWND window, ViewPixels* view) {
    SDL_Window* sdlWindow = SdlWindowOf(window);
    SDL_Surface* surface = sdlWindow != nullptr ? SDL_GetWindowSurface(sdlWindow) : nullptr;
    if (surface == nullptr || surface->w <= 0 || surface->h <= 0)
        return false;
    if (surface->format->format != SDL_PIXELFORMAT_RGB888 &&
        surface->format->format != SDL_PIXELFORMAT_ARGB8888) {
        // A screen of another depth or order (16 or 8 bits): the picture is drawn as the
        // surfaces keep pixels, and SDL converts it into the window's format on the way out.
        std::vector<uint32_t>& pixels = window->view->shownPixels;
        pixels.resize(static_cast<size_t>(surface->w) * surface->h);
        *view = ViewPixels{pixels.data(), surface->w, surface->h, surface->w, surface, true};
        return true;
    }
    if (SDL_LockSurface(surface) != 0)
        return false;
    *view = ViewPixels{static_cast<uint32_t*>(surface->pixels), surface->w, surface->h,
                       surface->pitch / 4, surface};
    return true;
}

void SdlScreen::CloseView(HWND window, const ViewPixels& view) {
    auto* surface = static_cast<SDL_Surface*>(view.surface);
    if (surface == nullptr)
        return;
    if (view.converted) {
        SDL_Surface* drawn = SDL_CreateRGBSurfaceWithFormatFrom(
            view.pixels, view.width, view.height, 32, view.pitch * 4, SDL_PIXELFORMAT_RGB888);
        if (drawn == nullptr)
            return;
        SDL_BlitSurface(drawn, nullptr, surface, nullptr);
        SDL_FreeSurface(drawn);
    } else {
        SDL_UnlockSurface(surface);
    }
    SDL_UpdateWindowSurface(window->view->sdlWindow);
}

} // namespace Layer
