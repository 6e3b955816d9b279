// Resting on the X connection itself: SDL's own wait pumps its event queue (a socket read or two)
// several times a millisecond; here the socket is polled, and SDL is pumped only when the X server
// sent something or Xlib holds queued events. Other video drivers keep SDL's wait.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <poll.h>

#include "internal.h"

namespace {

Display* display = nullptr;

} // namespace

namespace Layer {

void WatchX11Connection(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (display == nullptr && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
        display = info.info.x11.display;
}

int X11InputWaiting(int timeoutMs) {
    if (display == nullptr)
        return -1;
    if (XEventsQueued(display, QueuedAlready) > 0)
        return 1;
    pollfd socket{ConnectionNumber(display), POLLIN, 0};
    return poll(&socket, 1, timeoutMs) > 0 ? 1 : 0;
}

} // namespace Layer
