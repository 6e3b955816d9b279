// The choice of the screen's driver: headless, or the display's (which the build brings: SDL's,
// with the X server's own paths when SDL runs on X11; or the browser's), made once and handed to
// windowing.
#include "screen/sdlscreen.h"

namespace Layer {

ScreenBackEnd* NewHeadlessScreen();
// The display's driver for this build; SDL's video is started first, so that its driver is known.
ScreenBackEnd* NewDisplayScreen();

namespace {

// Each driver is made once and never destroyed: exit handlers may still call the layer.
ScreenBackEnd* chosen = nullptr;

ScreenBackEnd& Driver(ScreenKind kind) {
    static ScreenBackEnd* headless = NewHeadlessScreen();
    if (kind == ScreenKind::headless)
        return *headless;
    static ScreenBackEnd* display = NewDisplayScreen();
    return *display;
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
