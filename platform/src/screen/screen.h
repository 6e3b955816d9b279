// What the screen offers the rest of the layer: the choice of its driver, and presentation (the
// one way DirectDraw's frames reach the windows' views).
#pragma once

#include <cstdint>

#include "windows.h"

namespace Layer {

// The screen's drivers: headless (views kept in memory, no input but what a test injects; message
// boxes recorded), or the display SDL finds (through the X server's own paths when it is X11).
// Chosen once, before any window: by the program's entry, or by a test.
enum class ScreenKind { headless, display };
void ChooseScreen(ScreenKind kind);

// Pixels of a DirectDraw surface as the screen reads them; pitch in pixels.
struct ScreenPixels {
    uint32_t* bits = nullptr;
    int width = 0, height = 0, pitch = 0;
};
// A plain stretch (no colour key, effects or clipper) of source pixels over dest of the primary
// surface, which DirectDraw may leave to the screen instead of making it.
struct OfferedStretch {
    ScreenPixels source; // the source rectangle's pixels
    RECT dest;
};
// The screen's side of a windowed primary surface: its pixels in memory the X server reads (once
// it can), and the copies of stretches left to the server.
struct PrimaryScreen;
// Whether the screen makes a plain stretch of a sourceWidth x sourceHeight picture over dest of
// the primary itself: where the one window over the primary shows exactly dest through the X
// server, which then makes the stretch on the screen from a copy. DirectDraw asks before it makes
// the stretch; a yes holds for the present that follows.
bool ScreenMakesStretch(PrimaryScreen** screen, const ScreenPixels& primary, const RECT& dest,
                        int sourceWidth, int sourceHeight);
// The one way a frame reaches the screen, called once per frame by DirectDraw when a windowed
// primary surface changed. It finds the shown windows whose client areas lie on the primary once,
// paces the frame to the display, and shows each window's part: through the X server from shared
// memory where it can, else by the layer's own scaling copy. It may move the pixels into that
// shared memory: pixels->bits says where they are afterwards.
// With a stretch the screen said it makes, the frame is that stretch: the screen keeps a copy of
// its source in kept, which DirectDraw makes in the primary's pixels before they are read or
// changed, and which stays until the next present.
void PresentPrimary(PrimaryScreen** screen, ScreenPixels* pixels, const OfferedStretch* stretch,
                    ScreenPixels* kept);
// A full-screen front buffer: paced, and scaled into the cooperative window's client area.
void PresentFrontBuffer(HWND window, const ScreenPixels& pixels);
// Returns once the X server has read the primary's pixels shown last: call before changing them.
void BeforePrimaryChanges(PrimaryScreen* screen);
void DeletePrimaryScreen(PrimaryScreen* screen);

} // namespace Layer
