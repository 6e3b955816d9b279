// The screen inside the layer: the SDL windows that show top-level windows, their views, the X
// server's shared pixels and scaling, frame pacing and presentation. It sits above windowing
// (user/), whose records it shows and whose input translation it feeds.
#pragma once

#include <cstdint>

#include "user/userinternal.h"

namespace Layer {

// On X11: remembers an SDL window's connection; then X11InputWaiting answers 1 when the X server
// sent something or Xlib queued events (waiting up to timeoutMs for it), else 0; -1 elsewhere.
void WatchX11Connection(SDL_Window* window);
int X11InputWaiting(int timeoutMs);
// Pixels in memory shared with a local X server, which reads them without a copy; null where that
// is not possible (another video driver, a remote server, an unusual visual).
struct SharedPixels;
bool SharedPixelsPossible();
SharedPixels* NewSharedPixels(int width, int height);
void DeleteSharedPixels(SharedPixels* shared);
uint32_t* SharedPixelData(SharedPixels* shared);
// Shows the width x height part at (x, y) of shared pixels in an SDL window's view, letterboxed,
// the server doing the scaling; false where the window cannot be shown that way.
bool ShowThroughServer(SDL_Window* window, SharedPixels* shared, int x, int y, int width,
                       int height);
bool ShownThroughServer(SDL_Window* window);
// Shows source (sourceWidth x sourceHeight shared pixels) stretched over a clientWidth x
// clientHeight client area by DirectDraw's stretch rule, and that scaled into the view, all made
// by the server; false where the window cannot be shown that way.
bool ShowStretchThroughServer(SDL_Window* window, SharedPixels* source, int sourceWidth,
                              int sourceHeight, int clientWidth, int clientHeight);
// Returns once the server has read the shared pixels shown last: call before writing them.
void WaitForServerReads(SharedPixels* shared);
// The next picture shown through the server paints the bars again (a resize, an uncovering).
void RepaintServerView(SDL_Window* window);
void ForgetServerView(SDL_Window* window);
// Shows the view's pixels again (after the window was uncovered).
void ShowFrame(HWND window);
// The view's size in pixels.
void ViewSize(HWND window, int* width, int* height);
void SetSdlFullScreen(HWND window, bool fullScreen);
// A mouse event at a pixel of the view (button -1: a move); dropped on the black bars.
void TranslateViewMouse(HWND window, int button, bool down, int viewX, int viewY);

// Shows at most one frame per refresh of the display (60 Hz where the display does not say): a
// frame that comes sooner waits, sleeping, for the next refresh.
void PaceFrame();
void ResetPacing();
// Stretches width x height pixels (pitch in pixels) over a window's client area with the Blt
// rule and shows them.
void PresentToWindow(HWND window, const uint32_t* pixels, int width, int height, int pitch);

} // namespace Layer
