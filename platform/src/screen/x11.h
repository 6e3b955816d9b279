// The X server's own paths, for the X11 screen driver: the connection and its socket, pixels in
// memory the server reads without a copy and scales itself, and 8-bit screens' colours.
#pragma once

#include <cstdint>
#include <vector>

#include "screen/screeninternal.h"

struct _XDisplay;

namespace Layer {

// Remembers an SDL window's connection; then X11InputWaiting answers 1 when the X server sent
// something, Xlib queued events or a signal came (waiting up to that long for it), else 0; -1
// while there is no connection.
void WatchX11Connection(SDL_Window* window);
int X11InputWaiting(int64_t timeoutNanoseconds);
// That connection (an Xlib Display), null until a window on X11 was made.
_XDisplay* X11Display();
// Shared pixels: null where that is not possible (a remote server, an unusual visual).
bool SharedPixelsPossible();
SharedPixels* NewSharedPixels(int width, int height);
void DeleteSharedPixels(SharedPixels* shared);
uint32_t* SharedPixelData(SharedPixels* shared);
// Shows the width x height part at (x, y) of shared pixels in an SDL window's view, letterboxed,
// the server doing the scaling; false where the window cannot be shown that way.
bool ShowThroughServer(SDL_Window* window, SharedPixels* shared, int x, int y, int width,
                       int height);
bool ShownThroughServer(SDL_Window* window);
// Shows source stretched over a clientWidth x clientHeight client area by DirectDraw's stretch
// rule, and that scaled into the view, all made by the server; false where it cannot be.
bool ShowStretchThroughServer(SDL_Window* window, SharedPixels* source, int sourceWidth,
                              int sourceHeight, int clientWidth, int clientHeight);
// Returns once the server has read the shared pixels shown last: call before writing them.
void WaitForServerReads(SharedPixels* shared);
// Returns once the server has made every picture sent to it (they go on a connection of their
// own, which SDL's does not wait for).
void FinishServerPictures();
// The size of a window shown through the server, as the server has it; false for other windows.
bool ServerViewSize(SDL_Window* window, int* width, int* height);
// The next picture shown through the server paints the bars again and asks for the window's size
// (a resize, a full-screen switch, an uncovering).
void RepaintServerView(SDL_Window* window);
void ForgetServerView(SDL_Window* window);
// On an 8-bit X screen, where SDL makes no window surface: puts the view's XRGB picture into the
// window in the screen's pixel values; false where that cannot be done.
bool PutEightBitPicture(SDL_Window* window, const uint32_t* pixels, int width, int height);
void ForgetEightBitWindow(SDL_Window* window);
// An 8-bit screen's pixel for each RGB 5-5-5 colour (red highest): on a TrueColor or DirectColor
// visual, each level's nearest step of its mask's field; on a colour-mapped one, the pixel of the
// nearest colour of a 6 x 6 x 6 cube (cube[red * 36 + green * 6 + blue]).
std::vector<unsigned char> MaskedLookup(unsigned long redMask, unsigned long greenMask,
                                        unsigned long blueMask);
std::vector<unsigned char> CubeLookup(const unsigned long cube[216]);
// The bytes a row of an 8-bit image takes (rows start on 4-byte boundaries), and a width x height
// XRGB picture turned into such rows through a lookup (the top 5 bits of each channel).
int EightBitPitch(int width);
void ToEightBit(const std::vector<unsigned char>& lookup, const uint32_t* pixels, int width,
                int height, unsigned char* out, int pitch);

} // namespace Layer
