// Presentation: DirectDraw's picture stretched over a window's client area and shown through SDL.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <cstring>

#include "ddinternal.h"
#include "mmsystem.h"
#include "testhooks.h"

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

// The picture goes straight into the window's own surface; PaceFrame has already kept the frames
// to the display's rate.
void ShowFrame(HWND window) {
    if (window->sdlWindow == nullptr)
        return;
    SDL_Surface* target = SDL_GetWindowSurface(window->sdlWindow);
    if (target == nullptr)
        return;
    if (window->shownPixels.empty() || target->w > window->shownWidth ||
        target->h > window->shownHeight)
        SDL_FillRect(target, nullptr, 0); // black where no picture covers the window
    if (!window->shownPixels.empty() && target->format->BytesPerPixel == 4 &&
        SDL_LockSurface(target) == 0) {
        int rows = std::min(target->h, window->shownHeight);
        int columns = std::min(target->w, window->shownWidth);
        for (int y = 0; y < rows; ++y)
            memcpy(static_cast<uint8_t*>(target->pixels) +
                       static_cast<ptrdiff_t>(y) * target->pitch,
                   window->shownPixels.data() + static_cast<size_t>(y) * window->shownWidth,
                   static_cast<size_t>(columns) * 4);
        SDL_UnlockSurface(target);
    }
    SDL_UpdateWindowSurface(window->sdlWindow);
}

void PresentToWindow(HWND window, const uint32_t* pixels, int width, int height, int pitch) {
    RECT client = ClientFromOuter(window->outer, window->style);
    int clientWidth = client.right - client.left;
    int clientHeight = client.bottom - client.top;
    if (clientWidth <= 0 || clientHeight <= 0 || width <= 0 || height <= 0)
        return;
    window->shownWidth = clientWidth;
    window->shownHeight = clientHeight;
    window->shownPixels.resize(static_cast<size_t>(clientWidth) * clientHeight);
    std::vector<int> columns(static_cast<size_t>(clientWidth));
    for (int x = 0; x < clientWidth; ++x)
        columns[x] = StretchOffset(x, width, clientWidth);
    for (int y = 0; y < clientHeight; ++y) {
        const uint32_t* sourceRow =
            pixels +
            static_cast<ptrdiff_t>(static_cast<int64_t>(y) * height / clientHeight) * pitch;
        uint32_t* row = window->shownPixels.data() + static_cast<size_t>(y) * clientWidth;
        for (int x = 0; x < clientWidth; ++x)
            row[x] = sourceRow[columns[x]];
    }
    ShowFrame(window);
}

} // namespace Layer
