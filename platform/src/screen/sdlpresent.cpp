// Presentation: frame pacing, and DirectDraw's picture scaled into a window's view through SDL.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <cstring>

#include "screen/screeninternal.h"
#include "mmsystem.h"
#include "kernel/testhooks.h"
#include "screen/view.h"

namespace Layer {

namespace {

double nextFrame = 0; // the earliest moment, in milliseconds, for the next frame shown
bool framesShown = false;

double Now() {
    DWORD virtualNow = 0;
    if (VirtualClock(&virtualNow))
        return virtualNow;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The display's refresh period; 60 Hz where the display does not say.
double RefreshPeriod() {
    static double period = [] {
        SDL_DisplayMode mode{};
        bool known = SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDesktopDisplayMode(0, &mode) == 0 &&
                     mode.refresh_rate > 0;
        return 1000.0 / (known ? mode.refresh_rate : 60);
    }();
    return period;
}

} // namespace

void PaceFrame() {
    double now = Now();
    // (A clock that went back, as a test's may, never makes a frame wait longer than a refresh.)
    if (framesShown && now < nextFrame && nextFrame - now <= RefreshPeriod()) {
        auto wait = static_cast<DWORD>(std::ceil(nextFrame - now));
        if (!AdvanceVirtualClock(wait))
            SDL_Delay(wait); // a sleep, not a spin: the processor rests until then
        now = Now();
    }
    framesShown = true;
    nextFrame = now + RefreshPeriod();
}

void ResetPacing() {
    framesShown = false;
    nextFrame = 0;
}

namespace {

// The view's pixels for one present: the SDL window's surface, locked, or the headless copy.
struct ViewPixels {
    uint32_t* pixels = nullptr;
    int width = 0, height = 0, pitch = 0; // pitch in pixels
    SDL_Surface* surface = nullptr;
};

bool OpenView(HWND window, ViewPixels* view) {
    if (window->sdlWindow == nullptr) {
        ViewSize(window, &view->width, &view->height);
        window->shownPixels.resize(static_cast<size_t>(view->width) * view->height);
        view->pixels = window->shownPixels.data();
        view->pitch = view->width;
        return view->width > 0 && view->height > 0;
    }
    SDL_Surface* surface = SDL_GetWindowSurface(window->sdlWindow);
    if (surface == nullptr || surface->format->BytesPerPixel != 4 || SDL_LockSurface(surface) != 0)
        return false;
    *view = ViewPixels{static_cast<uint32_t*>(surface->pixels), surface->w, surface->h,
                       surface->pitch / 4, surface};
    return true;
}

void CloseView(HWND window, const ViewPixels& view) {
    if (view.surface == nullptr)
        return;
    SDL_UnlockSurface(view.surface);
    SDL_UpdateWindowSurface(window->sdlWindow);
}

} // namespace

void ViewSize(HWND window, int* width, int* height) {
    if (window->sdlWindow != nullptr) {
        SDL_GetWindowSizeInPixels(window->sdlWindow, width, height);
        return;
    }
    RECT client = ClientFromOuter(window->outer, window->style);
    *width =
        window->viewWidth > 0 ? window->viewWidth : static_cast<int>(client.right - client.left);
    *height =
        window->viewHeight > 0 ? window->viewHeight : static_cast<int>(client.bottom - client.top);
}

void ShowFrame(HWND window) {
    if (window->sdlWindow == nullptr)
        return;
    if (ShownThroughServer(window->sdlWindow))
        RepaintServerView(window->sdlWindow); // the next frame shows it all again
    else if (SDL_GetWindowSurface(window->sdlWindow) != nullptr)
        SDL_UpdateWindowSurface(window->sdlWindow);
}

// A frame's way to the screen where the X server cannot read the primary surface itself (see
// ShowThroughServer): the primary surface's unlock (or the blit) calls this with its client part,
// and one nearest-neighbour copy scales it into the view (the SDL window's own surface),
// letterboxed, which SDL then hands to the display server.
void PresentToWindow(HWND window, const uint32_t* pixels, int width, int height, int pitch) {
    RECT client = ClientFromOuter(window->outer, window->style);
    int clientWidth = client.right - client.left, clientHeight = client.bottom - client.top;
    ViewPixels view;
    if (clientWidth <= 0 || clientHeight <= 0 || width <= 0 || height <= 0 ||
        !OpenView(window, &view))
        return;
    ScalePicture(pixels, width, height, pitch, view.pixels, view.width, view.height, view.pitch,
                 FitView(clientWidth, clientHeight, view.width, view.height));
    CloseView(window, view);
}

void TranslateViewMouse(HWND window, int button, bool down, int viewX, int viewY) {
    if (!IsLiveWindow(window))
        return;
    RECT client = ClientFromOuter(window->outer, window->style);
    int clientWidth = client.right - client.left, clientHeight = client.bottom - client.top;
    int width = 0, height = 0, x = 0, y = 0;
    ViewSize(window, &width, &height);
    if (!ViewToClient(FitView(clientWidth, clientHeight, width, height), clientWidth, clientHeight,
                      viewX, viewY, &x, &y))
        return; // the black bars belong to no window
    if (button < 0)
        TranslateMouseMove(window, x, y);
    else
        TranslateMouseButton(window, button, down, x, y);
}

void ToggleFullScreen(HWND window) {
    if (!IsLiveWindow(window) || (window->style & WS_CHILD))
        return;
    window->fullScreen = !window->fullScreen;
    if (window->sdlWindow != nullptr) {
        SetSdlFullScreen(window, window->fullScreen);
        return;
    }
    // Headless: the view takes the screen's size, and back.
    window->viewWidth = window->fullScreen ? GetSystemMetrics(SM_CXSCREEN) : 0;
    window->viewHeight = window->fullScreen ? GetSystemMetrics(SM_CYSCREEN) : 0;
}

} // namespace Layer
