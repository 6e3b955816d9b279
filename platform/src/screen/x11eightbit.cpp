// Pictures on an 8-bit X screen, where SDL makes no window surface: the layer's copy of the view,
// turned into the screen's pixel values (eightbitcolours.cpp) and put into the window by Xlib.
//
// On a PseudoColor or GrayScale screen the layer allocates a colour cube of six levels a primary
// in the default colour map (the one the server shows) and gives the window that map; every
// picture pixel takes the nearest cube colour. On a TrueColor screen the pixel is built from the
// visual's masks (DirectColor alike: SDL fills such a window's colour map with straight ramps).
// Other visuals are not drawn.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <map>
#include <vector>

#include "screen/x11.h"

namespace Layer {

namespace {

// A window's way to its screen: its visual's pixel for each 15-bit colour, and an image buffer.
struct EightBitWindow {
    bool usable = false;
    GC gc = nullptr;
    Visual* visual = nullptr;
    std::vector<unsigned char> lookup; // 32768 entries: the pixel of each RGB 5-5-5 colour
    std::vector<char> data;
    XImage* image = nullptr;
};

std::map<SDL_Window*, EightBitWindow>& Windows() {
    static auto* windows = new std::map<SDL_Window*, EightBitWindow>;
    return *windows;
}

bool Prepare(Display* display, Window xWindow, EightBitWindow& eight) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, xWindow, &attributes) == 0 || attributes.depth != 8)
        return false;
    Visual* visual = attributes.visual;
    eight.visual = visual;
    if (visual->c_class == TrueColor || visual->c_class == DirectColor) {
        eight.lookup = MaskedLookup(visual->red_mask, visual->green_mask, visual->blue_mask);
        // SDL gives a DirectColor window a map of its own holding straight ramps; with no window
        // manager to install it, the server would show the window through another.
        if (visual->c_class == DirectColor)
            XInstallColormap(display, attributes.colormap);
    } else if (visual->c_class == PseudoColor || visual->c_class == GrayScale) {
        int screen = DefaultScreen(display);
        if (visual != DefaultVisual(display, screen))
            return false;
        Colormap shown = DefaultColormap(display, screen);
        unsigned long cube[216];
        for (int i = 0; i < 216; ++i) {
            XColor colour{};
            colour.red = static_cast<unsigned short>(i / 36 * 0xFFFF / 5);
            colour.green = static_cast<unsigned short>(i / 6 % 6 * 0xFFFF / 5);
            colour.blue = static_cast<unsigned short>(i % 6 * 0xFFFF / 5);
            colour.flags = DoRed | DoGreen | DoBlue;
            if (XAllocColor(display, shown, &colour) == 0)
                return false;
            cube[i] = colour.pixel;
        }
        XSetWindowColormap(display, xWindow, shown);
        eight.lookup = CubeLookup(cube);
    } else {
        return false;
    }
    eight.gc = XCreateGC(display, xWindow, 0, nullptr);
    return true;
}

} // namespace

bool PutEightBitPicture(SDL_Window* sdlWindow, const uint32_t* pixels, int width, int height) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (width <= 0 || height <= 0 || !SDL_GetWindowWMInfo(sdlWindow, &info) ||
        info.subsystem != SDL_SYSWM_X11)
        return false;
    Display* display = info.info.x11.display;
    Window xWindow = info.info.x11.window;
    auto found = Windows().find(sdlWindow);
    if (found == Windows().end()) {
        found = Windows().emplace(sdlWindow, EightBitWindow{}).first;
        found->second.usable = Prepare(display, xWindow, found->second);
    }
    EightBitWindow& eight = found->second;
    if (!eight.usable)
        return false;
    if (eight.image == nullptr || eight.image->width != width || eight.image->height != height) {
        if (eight.image != nullptr) {
            eight.image->data = nullptr; // the buffer is the vector's
            XDestroyImage(eight.image);
        }
        int pitch = EightBitPitch(width);
        eight.data.assign(static_cast<size_t>(pitch) * height, 0);
        eight.image =
            XCreateImage(display, eight.visual, 8, ZPixmap, 0, eight.data.data(),
                         static_cast<unsigned>(width), static_cast<unsigned>(height), 32, pitch);
        if (eight.image == nullptr)
            return false;
    }
    ToEightBit(eight.lookup, pixels, width, height,
               reinterpret_cast<unsigned char*>(eight.data.data()), eight.image->bytes_per_line);
    XPutImage(display, xWindow, eight.gc, eight.image, 0, 0, 0, 0, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    XFlush(display);
    return true;
}

void ForgetEightBitWindow(SDL_Window* sdlWindow) {
    auto found = Windows().find(sdlWindow);
    if (found == Windows().end())
        return;
    if (found->second.image != nullptr) {
        found->second.image->data = nullptr;
        XDestroyImage(found->second.image);
    }
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (found->second.gc != nullptr && SDL_GetWindowWMInfo(sdlWindow, &info))
        XFreeGC(info.info.x11.display, found->second.gc);
    Windows().erase(found);
}

} // namespace Layer
