// The screen inside the layer: the SDL windows that show top-level windows, their views, the X
// server's shared pixels and scaling, frame pacing and presentation. It sits above windowing
// (user/), whose records it shows and whose input translation it feeds.
#pragma once

#include <cstdint>

#include "user/userinternal.h"

struct _XDisplay;

namespace Layer {

// The view kept between runs (viewmemory.cpp): read and written whole; RecallView gives a new
// window with a sizing frame the view of the last run (fitted to the screen), RememberView keeps
// a closing one's.
struct ViewMemory {
    int width = 0, height = 0;
    bool maximized = false, fullScreen = false;
};
bool ReadViewMemory(ViewMemory* memory);
bool WriteViewMemory(const ViewMemory& memory);
void RecallView(HWND window);
void RememberView(HWND window);
// A frame was shown in this turn of the program's loop (screen/idle.cpp).
void NoteFrameShown();
// How long an idle turn rests, given the program's clock readings of its last three frames (the
// newest last; known: how many frames in a row had one), whether the turn before showed a frame,
// the clock now and how far into its millisecond: 0 not at all, -1 a millisecond's poll, else
// that many nanoseconds, to the next frame's millisecond.
int64_t IdleRest(const DWORD readings[3], int known, bool frameLastTurn, DWORD now,
                 int64_t intoMillisecond);
// Waits up to nanoseconds for input from the display (true when some came, or a signal).
bool WaitSdlEventFor(int64_t nanoseconds);
// On an 8-bit X screen, where SDL makes no window surface: puts the view's XRGB picture into the
// window in the screen's pixel values (x11eightbit.cpp); false where that cannot be done.
bool PutEightBitPicture(SDL_Window* window, const uint32_t* pixels, int width, int height);
void ForgetEightBitWindow(SDL_Window* window);
// Whether SDL's video has been started (by the first window).
bool VideoStarted();
// The whole scale a window starts its view at on a desktop whose usable area is that large: the
// largest at which the client area and its frame fit, at least 1; 1 for a window without a
// sizing frame.
int StartScaleIn(HWND window, int usableWidth, int usableHeight);
// On X11: remembers an SDL window's connection; then X11InputWaiting answers 1 when the X server
// sent something, Xlib queued events or a signal came (waiting up to that long for it), else 0;
// -1 elsewhere.
void WatchX11Connection(SDL_Window* window);
int X11InputWaiting(int64_t timeoutNanoseconds);
// That connection (an Xlib Display), null until a window on X11 was made.
_XDisplay* X11Display();
// The key table's scan code and extended bit of a virtual key (0 for keys it does not know).
int ScanCodeForKey(int virtualKey, bool* extended);
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
// The size of a window shown through the server, as the server has it; false for other windows.
bool ServerViewSize(SDL_Window* window, int* width, int* height);
// The next picture shown through the server paints the bars again and asks for the window's size
// (a resize, a full-screen switch, an uncovering).
void RepaintServerView(SDL_Window* window);
void ForgetServerView(SDL_Window* window);
// Shows the view's pixels again (after the window was uncovered).
void ShowFrame(HWND window);
// The view's size in pixels.
void ViewSize(HWND window, int* width, int* height);
void SetSdlFullScreen(HWND window, bool fullScreen);
// Switches the view between desktop full screen and a window (F11, Alt+Enter).
void ToggleFullScreen(HWND window);
// Headless windows keep their view's size in the record: the screen's in full screen, else the
// size the player gave it (0 x 0: the client area's).
void SetHeadlessViewSize(HWND window);
// A mouse event at a pixel of the view (button -1: a move); dropped on the black bars.
void TranslateViewMouse(HWND window, int button, bool down, int viewX, int viewY);
// A key pressed or released in the view: F11 and Alt+Enter toggle full screen, the rest goes to
// the window as Windows' key messages.
void TranslateViewKey(HWND window, int virtualKey, int scanCode, bool extended, bool down,
                      bool repeat, bool altHeld);

// Shows at most one frame per refresh of the display (60 Hz where the display does not say): a
// frame that comes sooner waits, sleeping, for the next refresh.
void PaceFrame();
void ResetPacing();
// Stretches width x height pixels (pitch in pixels) over a window's client area with the Blt
// rule and shows them in its view by the layer's own scaling copy.
void PresentToWindow(HWND window, const uint32_t* pixels, int width, int height, int pitch);

// Pixels of a DirectDraw surface as the screen reads them; pitch in pixels.
struct ScreenPixels {
    uint32_t* bits = nullptr;
    int width = 0, height = 0, pitch = 0;
};
// A plain stretch (no colour key, effects or clipper) of source pixels over dest of the primary
// surface, which DirectDraw offers to leave to the screen instead of making it.
struct OfferedStretch {
    ScreenPixels source; // the source rectangle's pixels
    RECT dest;
};
// The screen's side of a windowed primary surface: its pixels in memory the X server reads (once
// it can), and the copies of stretches left to the server. Made by PresentPrimary.
struct PrimaryScreen;
// The one way a frame reaches the screen, called by DirectDraw when a windowed primary surface
// changed. It finds the shown windows whose client areas lie on the primary once, paces the frame
// to the display, and shows each window's part: through the X server from shared memory where it
// can, else by the layer's own scaling copy. It may move the pixels into that shared memory:
// pixels->bits says where they are afterwards.
// With a stretch offered (before DirectDraw makes it), it shows nothing and returns false unless
// the one window over the primary shows exactly the stretch's destination through the server;
// then the server makes the stretch on the screen from a copy, and the primary's pixels lack it
// until TakePendingStretch hands it to DirectDraw.
bool PresentPrimary(PrimaryScreen** screen, ScreenPixels* pixels, const OfferedStretch* offered);
// A full-screen front buffer: paced, and scaled into the cooperative window's client area.
void PresentFrontBuffer(HWND window, const ScreenPixels& pixels);
// The stretch left to the server that the primary's pixels do not hold yet, if any: its copy and
// destination. DirectDraw makes it in the pixels before they are read or changed.
bool TakePendingStretch(PrimaryScreen* screen, ScreenPixels* copy, RECT* dest);
// Returns once the X server has read the primary's pixels shown last: call before changing them.
void BeforePrimaryChanges(PrimaryScreen* screen);
void DeletePrimaryScreen(PrimaryScreen* screen);

} // namespace Layer
