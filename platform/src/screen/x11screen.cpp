// The X11 screen driver: SDL's windows on an X server, with the server's own paths beside SDL's:
// the program rests on the connection's socket, frames go through shared memory and the server's
// scaling, and an 8-bit screen gets its pictures in its own colours.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <ctime>

#include "screen/sdlscreen.h"
#include "screen/x11.h"

namespace Layer {

namespace {

Display* display = nullptr; // the X connection SDL's windows use

// The X server went away (the session ended, the server died): nothing can be shown any more, and
// the exit handlers would talk to the dead connection, so the program ends here, at once.
int ConnectionLost(Display*) {
    static const char message[] = "The connection to the X server was lost.\n";
    ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    (void)written;
    _exit(1);
}

// True while a window manager of today's kind runs on the screen (it names its window on the root
// window): it, not the program, places a full-screen window.
bool WindowManagerRunning() {
    if (display == nullptr)
        return true;
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    bool named = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                    XA_WINDOW, &type, &format, &count, &left, &data) == Success &&
                 type == XA_WINDOW && count == 1;
    if (data != nullptr)
        XFree(data);
    return named;
}

// With no window manager SDL's full-screen request leaves the X window where and as large as it
// was, so the layer places it itself: over the whole screen, and back at the window's place and
// the view's own size.
void PlaceWithoutWindowManager(HWND window, SDL_Window* sdlWindow) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdlWindow, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    Window xWindow = info.info.x11.window;
    WindowView* view = window->view;
    if (view->fullScreen) {
        int screen = DefaultScreen(display);
        XMoveResizeWindow(display, xWindow, 0, 0,
                          static_cast<unsigned>(DisplayWidth(display, screen)),
                          static_cast<unsigned>(DisplayHeight(display, screen)));
        XRaiseWindow(display, xWindow);
    } else {
        RECT client = ClientRectOf(window);
        XMoveResizeWindow(display, xWindow, client.left, client.top,
                          static_cast<unsigned>(std::max(1, view->normalViewWidth)),
                          static_cast<unsigned>(std::max(1, view->normalViewHeight)));
    }
    XSync(display, False);
}

class X11Screen : public SdlScreen {
public:
    bool MakeView(HWND window) override {
        if (!SdlScreen::MakeView(window))
            return false;
        WatchX11Connection(window->view->sdlWindow);
        return true;
    }
    // (The window is already marked as being destroyed, which SdlWindowOf refuses: its view's
    // server resources must still go, or a later SDL window at the same address would inherit
    // them and draw into an X window that no longer exists.)
    void DestroyView(HWND window) override {
        if (SDL_Window* sdlWindow = window->view != nullptr ? window->view->sdlWindow : nullptr) {
            ForgetServerView(sdlWindow);
            ForgetEightBitWindow(sdlWindow);
        }
        SdlScreen::DestroyView(window);
    }
    // SDL is pumped when the connection has input, and at least every 10 ms for what SDL does on
    // its own schedule; in between, only events already queued are taken.
    void PumpInput() override {
        static Uint32 lastPump = 0;
        Uint32 now = SDL_GetTicks();
        if (X11InputWaiting(0) == 0 && now - lastPump < 10) {
            TakeSdlEvents();
            return;
        }
        lastPump = now;
        SdlScreen::PumpInput();
    }
    bool WaitFor(int64_t nanoseconds) override {
        if (nanoseconds <= 0)
            return false;
        if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
            return true;
        int waiting = X11InputWaiting(nanoseconds);
        return waiting >= 0 ? waiting > 0 : SdlScreen::WaitFor(nanoseconds);
    }
    void ViewSize(HWND window, int* width, int* height) override {
        SDL_Window* sdlWindow = SdlWindowOf(window);
        if (sdlWindow == nullptr || !ServerViewSize(sdlWindow, width, height))
            SdlScreen::ViewSize(window, width, height);
    }
    void ApplyFullScreen(HWND window) override {
        SdlScreen::ApplyFullScreen(window);
        SDL_Window* sdlWindow = SdlWindowOf(window);
        if (sdlWindow == nullptr)
            return;
        if (!WindowManagerRunning())
            PlaceWithoutWindowManager(window, sdlWindow);
        RepaintServerView(sdlWindow); // the window's size, as it now is, is asked again
    }
    void ViewResized(HWND window) override {
        if (ShowsThroughServer(window))
            RepaintServerView(window->view->sdlWindow);
        else
            SdlScreen::ViewResized(window);
    }
    void ShowFrameAgain(HWND window) override {
        if (ShowsThroughServer(window))
            RepaintServerView(window->view->sdlWindow); // the next frame shows it all again
        else
            SdlScreen::ShowFrameAgain(window);
    }
    bool OpenView(HWND window, ViewPixels* view) override {
        SDL_Window* sdlWindow = SdlWindowOf(window);
        if (sdlWindow == nullptr || SDL_GetWindowSurface(sdlWindow) != nullptr)
            return SdlScreen::OpenView(window, view);
        // An 8-bit screen, where SDL makes no window surface: the picture is drawn as the
        // surfaces keep pixels and put into the window by Xlib, in the screen's colours.
        ViewSize(window, &view->width, &view->height);
        std::vector<uint32_t>& pixels = window->view->shownPixels;
        pixels.resize(static_cast<size_t>(view->width) * view->height);
        *view = ViewPixels{pixels.data(), view->width, view->height, view->width, nullptr, true};
        return view->width > 0 && view->height > 0;
    }
    void CloseView(HWND window, const ViewPixels& view) override {
        if (view.surface == nullptr && view.converted)
            PutEightBitPicture(window->view->sdlWindow, view.pixels, view.width, view.height);
        else
            SdlScreen::CloseView(window, view);
    }
    SharedPixels* NewShared(int width, int height) override {
        return SharedPixelsPossible() ? NewSharedPixels(width, height) : nullptr;
    }
    void DeleteShared(SharedPixels* shared) override { DeleteSharedPixels(shared); }
    uint32_t* SharedData(SharedPixels* shared) override { return SharedPixelData(shared); }
    void WaitForReads(SharedPixels* shared) override { WaitForServerReads(shared); }
    bool ShowsThroughServer(HWND window) override {
        SDL_Window* sdlWindow = SdlWindowOf(window);
        return sdlWindow != nullptr && ShownThroughServer(sdlWindow);
    }
    bool ShowShared(HWND window, SharedPixels* shared, int x, int y, int width,
                    int height) override {
        SDL_Window* sdlWindow = SdlWindowOf(window);
        return sdlWindow != nullptr && ShowThroughServer(sdlWindow, shared, x, y, width, height);
    }
    bool ShowSharedStretch(HWND window, SharedPixels* source, int sourceWidth, int sourceHeight,
                           int clientWidth, int clientHeight) override {
        SDL_Window* sdlWindow = SdlWindowOf(window);
        return sdlWindow != nullptr &&
               ShowStretchThroughServer(sdlWindow, source, sourceWidth, sourceHeight, clientWidth,
                                        clientHeight);
    }
};

} // namespace

void WatchX11Connection(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (display == nullptr && SDL_GetWindowWMInfo(window, &info) &&
        info.subsystem == SDL_SYSWM_X11) {
        display = info.info.x11.display;
        XSetIOErrorHandler(ConnectionLost);
    }
}

Display* X11Display() {
    return display;
}

int X11InputWaiting(int64_t timeoutNanoseconds) {
    if (display == nullptr)
        return -1;
    if (XEventsQueued(display, QueuedAlready) > 0)
        return 1;
    pollfd socket{ConnectionNumber(display), POLLIN, 0};
    timespec wait{static_cast<time_t>(timeoutNanoseconds / 1000000000),
                  static_cast<long>(timeoutNanoseconds % 1000000000)};
    return ppoll(&socket, 1, &wait, nullptr) != 0 ? 1 : 0; // input, or a signal (a stop request)
}

// The desktop's display: SDL's, through the X server's own paths when SDL runs on X11. Where SDL's
// video cannot start, the SDL driver tries again with the first window, which then fails as it
// would have.
ScreenBackEnd* NewDisplayScreen() {
    const char* video = StartVideo() ? SDL_GetCurrentVideoDriver() : nullptr;
    if (video != nullptr && strcmp(video, "x11") == 0)
        return new X11Screen;
    return new SdlScreen;
}

} // namespace Layer
