// Presentation: the one way a frame reaches the screen (PresentPrimary), frame pacing, and the
// layer's own scaling copy of a picture into a window's view.
#include <SDL.h>

#include <algorithm>
#include <vector>
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
    bool converted = false; // drawn into shownPixels, then converted into the surface's format
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
    if (surface == nullptr) {
        // An 8-bit screen: the picture is drawn as the surfaces keep pixels and put into the
        // window by Xlib, in the screen's colours.
        ViewSize(window, &view->width, &view->height);
        window->shownPixels.resize(static_cast<size_t>(view->width) * view->height);
        *view = ViewPixels{
            window->shownPixels.data(), view->width, view->height, view->width, nullptr, true};
        return view->width > 0 && view->height > 0;
    }
    if (surface->w <= 0 || surface->h <= 0)
        return false;
    if (surface->format->format != SDL_PIXELFORMAT_RGB888 &&
        surface->format->format != SDL_PIXELFORMAT_ARGB8888) {
        // A screen of another depth or order (16 or 8 bits): the picture is drawn as the
        // surfaces keep pixels, and SDL converts it into the window's format on the way out.
        window->shownPixels.resize(static_cast<size_t>(surface->w) * surface->h);
        *view = ViewPixels{
            window->shownPixels.data(), surface->w, surface->h, surface->w, surface, true};
        return true;
    }
    if (SDL_LockSurface(surface) != 0)
        return false;
    *view = ViewPixels{static_cast<uint32_t*>(surface->pixels), surface->w, surface->h,
                       surface->pitch / 4, surface};
    return true;
}

void CloseView(HWND window, const ViewPixels& view) {
    if (view.surface == nullptr) {
        if (view.converted)
            PutEightBitPicture(window->sdlWindow, view.pixels, view.width, view.height);
        return;
    }
    if (view.converted) {
        SDL_Surface* drawn = SDL_CreateRGBSurfaceWithFormatFrom(
            view.pixels, view.width, view.height, 32, view.pitch * 4, SDL_PIXELFORMAT_RGB888);
        if (drawn == nullptr)
            return;
        SDL_BlitSurface(drawn, nullptr, view.surface, nullptr);
        SDL_FreeSurface(drawn);
    } else {
        SDL_UnlockSurface(view.surface);
    }
    SDL_UpdateWindowSurface(window->sdlWindow);
}

} // namespace

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
    RECT client = ClientRectOf(window);
    int clientWidth = client.right - client.left, clientHeight = client.bottom - client.top;
    ViewPixels view;
    if (clientWidth <= 0 || clientHeight <= 0 || width <= 0 || height <= 0 ||
        !OpenView(window, &view))
        return;
    ScalePicture(pixels, width, height, pitch, view.pixels, view.width, view.height, view.pitch,
                 FitView(clientWidth, clientHeight, view.width, view.height));
    CloseView(window, view);
}

struct PrimaryScreen {
    SharedPixels* shared = nullptr; // the primary's own pixels, once the X server reads them
    bool triedSharing = false;
    // Copies of stretches left to the server, two in turn: while the server still reads one, the
    // program writes the other.
    struct Copy {
        SharedPixels* pixels = nullptr;
        int width = 0, height = 0;
    };
    Copy copies[2];
    int current = 0;
    bool pending = false; // the current copy is shown but not made in the primary's pixels
    RECT pendingDest{};
    bool paced = false; // an offered stretch paced the frame that the next present shows
};

namespace {

struct ShownWindow {
    HWND window;
    RECT client; // in the primary surface's coordinates, which are the screen's
};

// The shown windows whose client areas lie wholly on a width x height primary surface.
std::vector<ShownWindow> WindowsOn(int width, int height) {
    std::vector<ShownWindow> shown;
    for (HWND window : LiveWindows()) {
        if (!window->visible)
            continue;
        RECT client = ClientRectOf(window);
        if (client.left >= 0 && client.top >= 0 && client.right <= width &&
            client.bottom <= height && client.left < client.right && client.top < client.bottom)
            shown.push_back({window, client});
    }
    return shown;
}

// Leaves a plain stretch to the X server: true when the one window over the primary shows
// exactly its destination through the server and the server took it.
bool ShowStretch(PrimaryScreen* screen, const std::vector<ShownWindow>& windows,
                 const OfferedStretch& offered) {
    const ScreenPixels& from = offered.source;
    if (screen->shared == nullptr || windows.size() != 1 ||
        !SameRect(windows[0].client, offered.dest) || windows[0].window->sdlWindow == nullptr ||
        !ShownThroughServer(windows[0].window->sdlWindow) ||
        (screen->pending && !SameRect(screen->pendingDest, offered.dest)))
        return false;
    screen->current ^= 1;
    PrimaryScreen::Copy& copy = screen->copies[screen->current];
    if (copy.pixels == nullptr || copy.width != from.width || copy.height != from.height) {
        DeleteSharedPixels(copy.pixels);
        copy = {NewSharedPixels(from.width, from.height), from.width, from.height};
        if (copy.pixels == nullptr) {
            screen->pending = false;
            return false;
        }
    }
    WaitForServerReads(copy.pixels);
    uint32_t* to = SharedPixelData(copy.pixels);
    for (int y = 0; y < from.height; ++y)
        std::copy_n(from.bits + static_cast<size_t>(y) * from.pitch, from.width,
                    to + static_cast<size_t>(y) * from.width);
    PaceFrame();
    const RECT& client = windows[0].client;
    if (!ShowStretchThroughServer(windows[0].window->sdlWindow, copy.pixels, from.width,
                                  from.height, client.right - client.left,
                                  client.bottom - client.top)) {
        screen->paced = true;    // the pixels' own present comes next, in this frame
        screen->pending = false; // DirectDraw makes this stretch, over the same rectangle
        return false;
    }
    screen->pending = true;
    screen->pendingDest = offered.dest;
    return true;
}

} // namespace

bool PresentPrimary(PrimaryScreen** screenState, ScreenPixels* pixels,
                    const OfferedStretch* offered) {
    if (*screenState == nullptr)
        *screenState = new PrimaryScreen;
    PrimaryScreen* screen = *screenState;
    NoteFrameShown();
    std::vector<ShownWindow> windows = WindowsOn(pixels->width, pixels->height);
    if (offered != nullptr)
        return ShowStretch(screen, windows, *offered);
    if (!screen->paced)
        PaceFrame();
    screen->paced = false;
    // The pixels move, once, into memory the X server reads without a copy.
    if (!screen->triedSharing && SharedPixelsPossible()) {
        screen->triedSharing = true;
        screen->shared = NewSharedPixels(pixels->pitch, pixels->height);
        if (screen->shared != nullptr) {
            std::copy_n(pixels->bits, static_cast<size_t>(pixels->pitch) * pixels->height,
                        SharedPixelData(screen->shared));
            pixels->bits = SharedPixelData(screen->shared);
        }
    }
    for (const ShownWindow& shown : windows) {
        const RECT& client = shown.client;
        int width = client.right - client.left, height = client.bottom - client.top;
        if (shown.window->sdlWindow == nullptr ||
            !ShowThroughServer(shown.window->sdlWindow, screen->shared, client.left, client.top,
                               width, height))
            PresentToWindow(shown.window,
                            pixels->bits + static_cast<size_t>(client.top) * pixels->pitch +
                                client.left,
                            width, height, pixels->pitch);
    }
    return true;
}

void PresentFrontBuffer(HWND window, const ScreenPixels& pixels) {
    PaceFrame();
    if (IsLiveWindow(window))
        PresentToWindow(window, pixels.bits, pixels.width, pixels.height, pixels.pitch);
}

bool TakePendingStretch(PrimaryScreen* screen, ScreenPixels* copy, RECT* dest) {
    if (screen == nullptr || !screen->pending)
        return false;
    screen->pending = false;
    const PrimaryScreen::Copy& current = screen->copies[screen->current];
    *copy =
        ScreenPixels{SharedPixelData(current.pixels), current.width, current.height, current.width};
    *dest = screen->pendingDest;
    return true;
}

void BeforePrimaryChanges(PrimaryScreen* screen) {
    if (screen != nullptr)
        WaitForServerReads(screen->shared);
}

void DeletePrimaryScreen(PrimaryScreen* screen) {
    if (screen == nullptr)
        return;
    for (PrimaryScreen::Copy& copy : screen->copies)
        DeleteSharedPixels(copy.pixels);
    DeleteSharedPixels(screen->shared);
    delete screen;
}

} // namespace Layer
