// The screen inside the layer: the views of top-level windows, the drivers that show them (chosen
// once: headless, SDL, or SDL with the X server's own paths), frame pacing and the idle rest. It
// sits above windowing (user/), whose records it shows and whose input translation it feeds.
#pragma once

#include <cstdint>
#include <vector>

#include "screen/screen.h"
#include "user/userinternal.h"

struct SDL_Window;

namespace Layer {

// A window's view: the window as shown on the real screen, which the user may resize or make full
// screen without the program seeing any change of its window. Its pixels are the SDL window's
// surface, or on the headless screen shownPixels (viewWidth x viewHeight; 0 x 0 means the client
// size); the client picture is scaled into it by one copy.
struct WindowView {
    SDL_Window* sdlWindow = nullptr;
    std::vector<uint32_t> shownPixels;
    int viewWidth = 0;
    int viewHeight = 0;
    bool fullScreen = false;
    // The view's size when neither maximised nor full screen (0 x 0: not known yet), whether it
    // is maximised, and the client size the SDL window was last sized for; kept between runs.
    int normalViewWidth = 0;
    int normalViewHeight = 0;
    bool maximized = false;
    int sizedForWidth = 0;
    int sizedForHeight = 0;
};

// The view's pixels for one present: the SDL window's surface, locked, or pixels in memory.
struct ViewPixels {
    uint32_t* pixels = nullptr;
    int width = 0, height = 0, pitch = 0; // pitch in pixels
    void* surface = nullptr;              // the driver's (an SDL surface)
    bool converted = false; // drawn into shownPixels, then converted into the screen's format
};

// Pixels in memory shared with a local X server, which reads them without a copy.
struct SharedPixels;

// A screen driver as the screen's own code sees it: windowing's interface, the view's pixels, and
// the X server's paths (which only the X11 driver has).
class ScreenBackEnd : public ScreenDriver {
public:
    void ShowPicture(HWND window, const uint32_t* pixels, int width, int height,
                     int pitch) override;
    // Waits up to nanoseconds for input (true when some came, or a signal).
    virtual bool WaitFor(int64_t /*nanoseconds*/) { return false; }
    // The view's size in pixels.
    virtual void ViewSize(HWND window, int* width, int* height) = 0;
    // The view went full screen or back (view->fullScreen says which), or was resized: what it
    // shows is black until the next frame.
    virtual void ApplyFullScreen(HWND window) = 0;
    virtual void ViewResized(HWND) {}
    // Shows the view's pixels again (after the window was uncovered).
    virtual void ShowFrameAgain(HWND) {}
    // The view's pixels to draw a frame into, and their way out to the screen.
    virtual bool OpenView(HWND window, ViewPixels* view) = 0;
    virtual void CloseView(HWND, const ViewPixels&) {}

    // Pixels shared with the X server (null where that is not possible), and the views it scales.
    virtual SharedPixels* NewShared(int, int) { return nullptr; }
    virtual void DeleteShared(SharedPixels*) {}
    virtual uint32_t* SharedData(SharedPixels*) { return nullptr; }
    // Returns once the server has read the shared pixels shown last: call before writing them.
    virtual void WaitForReads(SharedPixels*) {}
    virtual bool ShowsThroughServer(HWND) { return false; }
    // Shows the width x height part at (x, y) of shared pixels in the view, letterboxed, the
    // server doing the scaling; false where the window cannot be shown that way.
    virtual bool ShowShared(HWND, SharedPixels*, int, int, int, int) { return false; }
    // Shows source (sourceWidth x sourceHeight shared pixels) stretched over a clientWidth x
    // clientHeight client area by DirectDraw's stretch rule, and that scaled into the view, all
    // made by the server; false where the window cannot be shown that way.
    virtual bool ShowSharedStretch(HWND, SharedPixels*, int, int, int, int) { return false; }
};
// The chosen driver.
ScreenBackEnd& Back();

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
// The whole scale a window starts its view at on a desktop whose usable area is that large: the
// largest at which the client area and its frame fit, at least 1; 1 for a window without a
// sizing frame.
int StartScaleIn(HWND window, int usableWidth, int usableHeight);
// The key table's scan code and extended bit of a virtual key (0 for keys it does not know).
int ScanCodeForKey(int virtualKey, bool* extended);
// The view's size in pixels.
inline void ViewSize(HWND window, int* width, int* height) {
    Back().ViewSize(window, width, height);
}
// Switches the view between desktop full screen and a window (F11, Alt+Enter).
void ToggleFullScreen(HWND window);
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

} // namespace Layer
