// Pictures shown through the X server that SDL's windows are on: shared memory, and XRender
// scaling the view.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrender.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include <cstring>
#include <map>

#include "screen/x11.h"
#include "screen/view.h"

namespace Layer {

struct SharedPixels {
    XShmSegmentInfo segment{};
    XImage* image = nullptr;
    unsigned long pending = 0; // the last put's request number, until the server has done it
};

namespace {

// The pictures' own connection to the server of SDL's windows. Their requests and the completion
// events of shared-memory puts go on it, not on SDL's connection, on whose socket the program
// rests: a completion after every frame would otherwise wake the program once more per frame.
Display* display() {
    static Display* own = nullptr;
    static bool opened = false;
    if (!opened && X11Display() != nullptr) {
        opened = true;
        own = XOpenDisplay(DisplayString(X11Display()));
    }
    return own;
}

// A pixmap of the server's, of depth 24, with a picture of it that samples the nearest pixel.
struct ServerPixmap {
    Pixmap pixmap = 0;
    Picture picture = 0;
    int width = 0, height = 0;
};

// What the server needs per SDL window: the X window, a GC, an XRender picture of the window,
// pixmaps for the client picture at its own size (for scaled views) and for a deferred stretch's
// source, and where the picture was last placed (the bars are painted again when that changes).
struct ServerView {
    bool usable = false;
    Window window = 0;
    GC gc = nullptr;
    Picture target = 0;
    ServerPixmap client;
    ServerPixmap source;
    ViewRect place{-1, -1, -1, -1};
    int viewWidth = -1, viewHeight = -1;
    // The X window's real size, asked of the server again after every change SDL reports or the
    // layer asks for: without a window manager a full-screen request leaves the window as it was,
    // while SDL takes the size it asked for.
    int realWidth = -1, realHeight = -1;
};

// Never destroyed: windows are still destroyed by the program's own exit handlers.
std::map<SDL_Window*, ServerView>& Views() {
    static auto* views = new std::map<SDL_Window*, ServerView>;
    return *views;
}

bool trappedError = false;
int TrapError(Display*, XErrorEvent*) {
    trappedError = true;
    return 0;
}

// A visual that keeps pixels as the surfaces do: depth 24 in 32-bit words, 0x00RRGGBB.
bool KeepsSurfacePixels(const Visual* visual, int depth) {
    return depth == 24 && visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 &&
           visual->blue_mask == 0xFF;
}

// Shared memory and XRender on a local server whose default visual keeps pixels as the surfaces
// do, least significant byte first.
bool ServerUsable() {
    static int usable = -1;
    if (usable >= 0 || display() == nullptr)
        return usable == 1;
    int event = 0, error = 0;
    Visual* visual = DefaultVisual(display(), DefaultScreen(display()));
    const char* name = DisplayString(display());
    usable = XShmQueryExtension(display()) && XRenderQueryExtension(display(), &event, &error) &&
             name != nullptr && (name[0] == ':' || strncmp(name, "unix:", 5) == 0) &&
             KeepsSurfacePixels(visual, DefaultDepth(display(), DefaultScreen(display()))) &&
             ImageByteOrder(display()) == LSBFirst;
    return usable == 1;
}

ServerView* ViewOf(SDL_Window* sdlWindow) {
    auto found = Views().find(sdlWindow);
    if (found != Views().end())
        return found->second.usable ? &found->second : nullptr;
    ServerView& view = Views()[sdlWindow];
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    XWindowAttributes attributes{};
    if (!ServerUsable() || !SDL_GetWindowWMInfo(sdlWindow, &info) ||
        info.subsystem != SDL_SYSWM_X11 || info.info.x11.display != X11Display() ||
        (XSync(X11Display(), False), // the window exists on the server before it is used here
         !XGetWindowAttributes(display(), info.info.x11.window, &attributes)) ||
        !KeepsSurfacePixels(attributes.visual, attributes.depth))
        return nullptr;
    XRenderPictFormat* format = XRenderFindVisualFormat(display(), attributes.visual);
    if (format == nullptr)
        return nullptr;
    view.window = info.info.x11.window;
    view.gc = XCreateGC(display(), view.window, 0, nullptr);
    XSetForeground(display(), view.gc, BlackPixel(display(), DefaultScreen(display())));
    view.target = XRenderCreatePicture(display(), view.window, format, 0, nullptr);
    view.usable = true;
    return &view;
}

void FreePixmap(ServerPixmap& pixmap) {
    if (pixmap.picture != 0)
        XRenderFreePicture(display(), pixmap.picture);
    if (pixmap.pixmap != 0)
        XFreePixmap(display(), pixmap.pixmap);
    pixmap = ServerPixmap{};
}

// Makes the pixmap width x height, anew when its size differs; false where the server cannot.
bool SizePixmap(const ServerView& view, ServerPixmap& pixmap, int width, int height) {
    if (pixmap.pixmap != 0 && pixmap.width == width && pixmap.height == height)
        return true;
    FreePixmap(pixmap);
    pixmap.pixmap = XCreatePixmap(display(), view.window, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), 24);
    XRenderPictFormat* format = XRenderFindStandardFormat(display(), PictStandardRGB24);
    if (pixmap.pixmap == 0 || format == nullptr)
        return false;
    pixmap.picture = XRenderCreatePicture(display(), pixmap.pixmap, format, 0, nullptr);
    XRenderSetPictureFilter(display(), pixmap.picture, FilterNearest, nullptr, 0);
    pixmap.width = width;
    pixmap.height = height;
    return true;
}

// DirectDraw's stretch from `from` to `to` pixels as a transform of the server's nearest filter.
// The server samples destination pixel c at source (step * (c + 1/2), rounded, + offset - 1/65536)
// in 16.16 fixed point; an offset of 1/65536 - round(step / 2) makes that step * c, truncated:
// the 16.16 rule of the layer's own stretch, pixel for pixel.
void StretchTransform(Picture picture, int fromWidth, int fromHeight, int toWidth, int toHeight) {
    auto step = [](int from, int to) {
        return static_cast<XFixed>((static_cast<int64_t>(from) << 16) / to);
    };
    auto offset = [](XFixed s) {
        return static_cast<XFixed>(1 - ((static_cast<int64_t>(s) * 0x8000 + 0x8000) >> 16));
    };
    XFixed x = step(fromWidth, toWidth), y = step(fromHeight, toHeight);
    XTransform transform{{{x, 0, offset(x)}, {0, y, offset(y)}, {0, 0, XDoubleToFixed(1)}}};
    XRenderSetPictureTransform(display(), picture, &transform);
}

// The pixmap the client picture is put into before the server scales it into the window; its
// picture samples the nearest pixel: for whole scales each pixel repeats exactly, as in the
// layer's own copy; for other scales the server takes the pixel under each view pixel's centre.
bool ScaledSource(ServerView& view, int width, int height, const ViewRect& place) {
    if (!SizePixmap(view, view.client, width, height))
        return false;
    XTransform scale{{{XDoubleToFixed(static_cast<double>(width) / place.width), 0, 0},
                      {0, XDoubleToFixed(static_cast<double>(height) / place.height), 0},
                      {0, 0, XDoubleToFixed(1)}}};
    XRenderSetPictureTransform(display(), view.client.picture, &scale);
    return true;
}

// The client picture, scaled, into its place in the window.
void CompositeScaled(const ServerView& view, const ViewRect& place) {
    XRenderComposite(display(), PictOpSrc, view.client.picture, None, view.target, 0, 0, 0, 0,
                     place.x, place.y, static_cast<unsigned>(place.width),
                     static_cast<unsigned>(place.height));
}

// Black over the view outside the picture.
void PaintBars(const ServerView& view, int viewWidth, int viewHeight, const ViewRect& place) {
    ViewRect bars[4];
    XRectangle rectangles[4];
    int count = BarsAround(place, viewWidth, viewHeight, bars);
    for (int i = 0; i < count; ++i)
        rectangles[i] = XRectangle{static_cast<short>(bars[i].x), static_cast<short>(bars[i].y),
                                   static_cast<unsigned short>(bars[i].width),
                                   static_cast<unsigned short>(bars[i].height)};
    if (count > 0)
        XFillRectangles(display(), view.window, view.gc, rectangles, count);
}

// A window's server view, its size and the picture's place in it, for one picture shown.
struct Showing {
    ServerView* view = nullptr;
    int viewWidth = 0, viewHeight = 0;
    ViewRect place{};
};

// Paints the bars when the picture's place changed, and sends the requests on their way.
void FinishShowing(const Showing& showing) {
    ServerView& view = *showing.view;
    const ViewRect& place = showing.place;
    if (std::memcmp(&place, &view.place, sizeof place) != 0 ||
        showing.viewWidth != view.viewWidth || showing.viewHeight != view.viewHeight) {
        PaintBars(view, showing.viewWidth, showing.viewHeight, place);
        view.place = place;
        view.viewWidth = showing.viewWidth;
        view.viewHeight = showing.viewHeight;
    }
    XFlush(display());
}

} // namespace

bool SharedPixelsPossible() {
    return ServerUsable();
}

SharedPixels* NewSharedPixels(int width, int height) {
    if (!ServerUsable() || width <= 0 || height <= 0)
        return nullptr;
    auto* shared = new SharedPixels;
    Visual* visual = DefaultVisual(display(), DefaultScreen(display()));
    shared->image = XShmCreateImage(display(), visual, 24, ZPixmap, nullptr, &shared->segment,
                                    static_cast<unsigned>(width), static_cast<unsigned>(height));
    bool made = shared->image != nullptr && shared->image->bits_per_pixel == 32 &&
                shared->image->bytes_per_line == width * 4;
    if (made) {
        shared->segment.shmid =
            shmget(IPC_PRIVATE, static_cast<size_t>(width) * height * 4, IPC_CREAT | 0600);
        made = shared->segment.shmid >= 0;
    }
    if (made) {
        shared->segment.shmaddr = static_cast<char*>(shmat(shared->segment.shmid, nullptr, 0));
        shared->segment.readOnly = True;
        made = shared->segment.shmaddr != reinterpret_cast<char*>(-1);
        shmctl(shared->segment.shmid, IPC_RMID, nullptr); // freed when both sides let go
    }
    if (made) {
        // A server that cannot reach this memory answers with an error: trap it, do not exit.
        XSync(display(), False);
        trappedError = false;
        auto previous = XSetErrorHandler(TrapError);
        XShmAttach(display(), &shared->segment);
        XSync(display(), False);
        XSetErrorHandler(previous);
        made = !trappedError;
        if (!made)
            shmdt(shared->segment.shmaddr);
    }
    if (!made) {
        if (shared->image != nullptr)
            XDestroyImage(shared->image);
        delete shared;
        return nullptr;
    }
    shared->image->data = shared->segment.shmaddr;
    return shared;
}

void DeleteSharedPixels(SharedPixels* shared) {
    if (shared == nullptr)
        return;
    WaitForServerReads(shared);
    XShmDetach(display(), &shared->segment);
    XSync(display(), False);
    shmdt(shared->segment.shmaddr);
    shared->image->data = nullptr;
    XDestroyImage(shared->image);
    delete shared;
}

uint32_t* SharedPixelData(SharedPixels* shared) {
    return reinterpret_cast<uint32_t*>(shared->segment.shmaddr);
}

namespace {

// Puts width x height shared pixels from (x, y) into a drawable at (toX, toY). The put asks for a
// completion event, so that the program knows when the server is done with the shared pixels
// without waiting for it now (see WaitForServerReads).
void Put(const ServerView& view, Drawable drawable, SharedPixels* shared, int x, int y, int toX,
         int toY, int width, int height) {
    shared->pending = NextRequest(display());
    XShmPutImage(display(), drawable, view.gc, shared->image, x, y, toX, toY,
                 static_cast<unsigned>(width), static_cast<unsigned>(height), True);
}

// The window's server view and the picture's place in it, for a client area of the given size;
// false where the window cannot be shown through the server.
bool Prepare(SDL_Window* sdlWindow, int clientWidth, int clientHeight, Showing* showing) {
    showing->view = ViewOf(sdlWindow);
    if (showing->view == nullptr)
        return false;
    ServerViewSize(sdlWindow, &showing->viewWidth, &showing->viewHeight);
    showing->place = FitView(clientWidth, clientHeight, showing->viewWidth, showing->viewHeight);
    return true;
}

} // namespace

void FinishServerPictures() {
    if (display() != nullptr)
        XSync(display(), False);
}

bool ServerViewSize(SDL_Window* sdlWindow, int* width, int* height) {
    ServerView* view = ViewOf(sdlWindow);
    if (view == nullptr)
        return false;
    XWindowAttributes attributes{};
    // SDL's own requests (a resize) are done by the server before the size is asked on this
    // connection.
    if (view->realWidth < 0 && (XSync(X11Display(), False), true) &&
        XGetWindowAttributes(display(), view->window, &attributes)) {
        view->realWidth = attributes.width;
        view->realHeight = attributes.height;
    }
    if (view->realWidth < 0) {
        SDL_GetWindowSizeInPixels(sdlWindow, width, height);
        return true;
    }
    *width = view->realWidth;
    *height = view->realHeight;
    return true;
}

bool ShowThroughServer(SDL_Window* sdlWindow, SharedPixels* shared, int x, int y, int width,
                       int height) {
    Showing showing;
    if (shared == nullptr || !Prepare(sdlWindow, width, height, &showing))
        return false;
    ServerView& view = *showing.view;
    const ViewRect& place = showing.place;
    if (place.width <= 0 || place.height <= 0)
        return true;
    if (place.width == width && place.height == height) {
        Put(view, view.window, shared, x, y, place.x, place.y, width, height);
    } else {
        if (!ScaledSource(view, width, height, place))
            return false;
        Put(view, view.client.pixmap, shared, x, y, 0, 0, width, height);
        CompositeScaled(view, place);
    }
    FinishShowing(showing);
    return true;
}

bool ShowStretchThroughServer(SDL_Window* sdlWindow, SharedPixels* source, int sourceWidth,
                              int sourceHeight, int clientWidth, int clientHeight) {
    Showing showing;
    if (source == nullptr || !Prepare(sdlWindow, clientWidth, clientHeight, &showing))
        return false;
    ServerView& view = *showing.view;
    const ViewRect& place = showing.place;
    if (place.width <= 0 || place.height <= 0)
        return true;
    if (!SizePixmap(view, view.source, sourceWidth, sourceHeight))
        return false;
    StretchTransform(view.source.picture, sourceWidth, sourceHeight, clientWidth, clientHeight);
    Put(view, view.source.pixmap, source, 0, 0, 0, 0, sourceWidth, sourceHeight);
    if (place.width == clientWidth && place.height == clientHeight) {
        XRenderComposite(display(), PictOpSrc, view.source.picture, None, view.target, 0, 0, 0, 0,
                         place.x, place.y, static_cast<unsigned>(clientWidth),
                         static_cast<unsigned>(clientHeight));
    } else {
        // The client picture first, as the primary surface would hold it, then the view of it.
        if (!ScaledSource(view, clientWidth, clientHeight, place))
            return false;
        XRenderComposite(display(), PictOpSrc, view.source.picture, None, view.client.picture, 0, 0,
                         0, 0, 0, 0, static_cast<unsigned>(clientWidth),
                         static_cast<unsigned>(clientHeight));
        CompositeScaled(view, place);
    }
    FinishShowing(showing);
    return true;
}

void WaitForServerReads(SharedPixels* shared) {
    if (shared == nullptr || shared->pending == 0)
        return;
    // Usually the completion came while the program drew its next frame: taking it off the
    // connection (without waiting) shows it. Only otherwise does the program wait.
    XEvent completion;
    int completionType = XShmGetEventBase(display()) + ShmCompletion;
    for (int tries = 0; tries < 2 && XLastKnownRequestProcessed(display()) < shared->pending;
         ++tries)
        XCheckTypedEvent(display(), completionType, &completion);
    if (XLastKnownRequestProcessed(display()) < shared->pending)
        XSync(display(), False);
    shared->pending = 0;
}

bool ShownThroughServer(SDL_Window* sdlWindow) {
    return ViewOf(sdlWindow) != nullptr;
}

void RepaintServerView(SDL_Window* sdlWindow) {
    auto found = Views().find(sdlWindow);
    if (found != Views().end()) {
        found->second.place = ViewRect{-1, -1, -1, -1};
        found->second.realWidth = found->second.realHeight = -1;
    }
}

void ForgetServerView(SDL_Window* sdlWindow) {
    auto found = Views().find(sdlWindow);
    if (found == Views().end())
        return;
    ServerView& view = found->second;
    if (view.usable) {
        FreePixmap(view.client);
        FreePixmap(view.source);
        XRenderFreePicture(display(), view.target);
        XFreeGC(display(), view.gc);
        XSync(display(), False); // before SDL destroys the window, which frees its picture too
    }
    Views().erase(found);
}

} // namespace Layer
