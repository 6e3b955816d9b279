// The choice of the screen's driver: headless, or SDL's display (with the X server's own paths
// when SDL runs on X11), made once and handed to windowing.
#include <SDL.h>

#include <cstring>

#include "screen/sdlscreen.h"

namespace Layer {

ScreenBackEnd* NewHeadlessScreen();
ScreenBackEnd* NewX11Screen();

namespace {

// Each driver is made once and never destroyed: exit handlers may still call the layer.
ScreenBackEnd* chosen = nullptr;

ScreenBackEnd& Driver(ScreenKind kind) {
    static ScreenBackEnd* headless = NewHeadlessScreen();
    static ScreenBackEnd* sdl = new SdlScreen;
    static ScreenBackEnd* x11 = NewX11Screen();
    if (kind == ScreenKind::headless)
        return *headless;
    // SDL's video starts here, so that its driver is known; where it cannot start, the SDL driver
    // tries again with the first window, which then fails as it would have.
    const char* video = StartVideo() ? SDL_GetCurrentVideoDriver() : nullptr;
    return video != nullptr && strcmp(video, "x11") == 0 ? *x11 : *sdl;
}

} // namespace

void ChooseScreen(ScreenKind kind) {
    chosen = &Driver(kind);
    ResetPacing();
    UseScreen(chosen);
}

// Until a driver is chosen, windowing's null driver makes no views and this shows nothing.
ScreenBackEnd& Back() {
    return chosen != nullptr ? *chosen : Driver(ScreenKind::headless);
}

} // namespace Layer
