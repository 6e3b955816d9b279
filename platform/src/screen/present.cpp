// Presentation: the one way a frame reaches the screen (PresentPrimary), frame pacing, and the
// layer's own scaling copy of a picture into a window's view.
#include <SDL.h>

#include <algorithm>
#include <vector>
#include <cmath>
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
    return static_cast<double>(MonotonicNanoseconds()) / 1e6;
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

// A frame's way to the screen where the X server cannot read the primary surface itself (see
// ShowThroughServer): the primary surface's unlock (or the blit) calls this with its client part,
// and one nearest-neighbour copy scales it into the view (the SDL window's own surface),
// letterboxed, which SDL then hands to the display server.
void PresentToWindow(HWND window, const uint32_t* pixels, int width, int height, int pitch) {
    RECT client = ClientRectOf(window);
    int clientWidth = client.right - client.left, clientHeight = client.bottom - client.top;
    ViewPixels view;
    if (clientWidth <= 0 || clientHeight <= 0 || width <= 0 || height <= 0 ||
        !Back().OpenView(window, &view))
        return;
    ScalePicture(pixels, width, height, pitch, view.pixels, view.width, view.height, view.pitch,
                 FitView(clientWidth, clientHeight, view.width, view.height));
    Back().CloseView(window, view);
}

void ScreenBackEnd::ShowPicture(HWND window, const uint32_t* pixels, int width, int height,
                                int pitch) {
    PresentToWindow(window, pixels, width, height, pitch);
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
};

namespace {

struct ShownWindow {
    HWND window;
    RECT client; // in the primary surface's coordinates, which are the screen's
};

// The shown windows whose client areas lie wholly on a width x height primary surface. The layer's
// own message boxes draw themselves.
std::vector<ShownWindow> WindowsOn(int width, int height) {
    std::vector<ShownWindow> shown;
    for (HWND window : LiveWindows()) {
        if (!window->visible || window->view == nullptr || window->className == "#32770")
            continue;
        RECT client = ClientRectOf(window);
        if (client.left >= 0 && client.top >= 0 && client.right <= width &&
            client.bottom <= height && client.left < client.right && client.top < client.bottom)
            shown.push_back({window, client});
    }
    return shown;
}

PrimaryScreen* ScreenOf(PrimaryScreen** state) {
    if (*state == nullptr)
        *state = new PrimaryScreen;
    return *state;
}

// Shows a stretch the screen makes: its source copied into the next copy, and that stretched by
// the server (or, should the server refuse now, by the layer's own copy) over the one window.
void ShowStretch(PrimaryScreen* screen, const std::vector<ShownWindow>& windows,
                 const ScreenPixels& from, ScreenPixels* kept) {
    screen->current ^= 1;
    const PrimaryScreen::Copy& copy = screen->copies[screen->current];
    Back().WaitForReads(copy.pixels);
    uint32_t* to = Back().SharedData(copy.pixels);
    for (int y = 0; y < from.height; ++y)
        std::copy_n(from.bits + static_cast<size_t>(y) * from.pitch, from.width,
                    to + static_cast<size_t>(y) * from.width);
    *kept = ScreenPixels{to, from.width, from.height, from.width};
    if (windows.size() != 1)
        return; // (the window went between the question and the present)
    const ShownWindow& shown = windows[0];
    const RECT& client = shown.client;
    if (!Back().ShowSharedStretch(shown.window, copy.pixels, from.width, from.height,
                                  client.right - client.left, client.bottom - client.top))
        PresentToWindow(shown.window, to, from.width, from.height, from.width);
}

} // namespace

bool ScreenMakesStretch(PrimaryScreen** state, const ScreenPixels& primary, const RECT& dest,
                        int sourceWidth, int sourceHeight) {
    PrimaryScreen* screen = ScreenOf(state);
    std::vector<ShownWindow> windows = WindowsOn(primary.width, primary.height);
    if (screen->shared == nullptr || windows.size() != 1 || !SameRect(windows[0].client, dest) ||
        !Back().ShowsThroughServer(windows[0].window))
        return false;
    PrimaryScreen::Copy& next = screen->copies[screen->current ^ 1];
    if (next.pixels == nullptr || next.width != sourceWidth || next.height != sourceHeight) {
        Back().DeleteShared(next.pixels);
        next = {Back().NewShared(sourceWidth, sourceHeight), sourceWidth, sourceHeight};
    }
    return next.pixels != nullptr;
}

void PresentPrimary(PrimaryScreen** state, ScreenPixels* pixels, const OfferedStretch* stretch,
                    ScreenPixels* kept) {
    PrimaryScreen* screen = ScreenOf(state);
    NoteFrameShown();
    std::vector<ShownWindow> windows = WindowsOn(pixels->width, pixels->height);
    PaceFrame();
    if (stretch != nullptr) {
        ShowStretch(screen, windows, stretch->source, kept);
        return;
    }
    // The pixels move, once, into memory the X server reads without a copy.
    if (!screen->triedSharing && !windows.empty()) {
        screen->triedSharing = true;
        screen->shared = Back().NewShared(pixels->pitch, pixels->height);
        if (screen->shared != nullptr) {
            std::copy_n(pixels->bits, static_cast<size_t>(pixels->pitch) * pixels->height,
                        Back().SharedData(screen->shared));
            pixels->bits = Back().SharedData(screen->shared);
        }
    }
    for (const ShownWindow& shown : windows) {
        const RECT& client = shown.client;
        int width = client.right - client.left, height = client.bottom - client.top;
        if (!Back().ShowShared(shown.window, screen->shared, client.left, client.top, width,
                               height))
            PresentToWindow(shown.window,
                            pixels->bits + static_cast<size_t>(client.top) * pixels->pitch +
                                client.left,
                            width, height, pixels->pitch);
    }
}

void PresentFrontBuffer(HWND window, const ScreenPixels& pixels) {
    PaceFrame();
    if (IsLiveWindow(window))
        PresentToWindow(window, pixels.bits, pixels.width, pixels.height, pixels.pitch);
}

void BeforePrimaryChanges(PrimaryScreen* screen) {
    if (screen != nullptr)
        Back().WaitForReads(screen->shared);
}

void DeletePrimaryScreen(PrimaryScreen* screen) {
    if (screen == nullptr)
        return;
    for (PrimaryScreen::Copy& copy : screen->copies)
        Back().DeleteShared(copy.pixels);
    Back().DeleteShared(screen->shared);
    delete screen;
}

} // namespace Layer
