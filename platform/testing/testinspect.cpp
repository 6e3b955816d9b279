// The layer's test inspections and injected input: what a window shows, fonts, dialogs, music,
// the cursor count, and user input that goes through the real translation. Test programs only.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "ddraw/ddinternal.h"
#include "audio/dmusicobjects.h"
#include "audio/midifile.h"
#include "gdi/gdiinternal.h"
#include "screen/x11.h"
#include "user/userinternal.h"
#include "platformtest.h"

void PlatformTest::InjectKey(HWND window, int virtualKey, bool down, bool altHeld) {
    bool extended = false;
    int scan = Layer::ScanCodeForKey(virtualKey, &extended);
    Layer::TranslateViewKey(window, virtualKey, scan, extended, down, false, altHeld);
}

void PlatformTest::InjectMouseMove(HWND window, int x, int y) {
    Layer::TranslateMouseMove(window, x, y);
}

void PlatformTest::InjectMouseButton(HWND window, int button, bool down, int x, int y) {
    Layer::TranslateMouseButton(window, button, down, x, y);
}

void PlatformTest::InjectCloseBox(HWND window) {
    Layer::TranslateCloseBox(window);
}

void PlatformTest::ResizeView(HWND window, int width, int height) {
    if (!Layer::IsLiveWindow(window))
        return;
    Layer::WindowView* view = window->view;
    if (view == nullptr)
        return;
    if (view->sdlWindow != nullptr) { // 0 x 0: back to the client area's size
        RECT client = Layer::ClientRectOf(window);
        SDL_SetWindowSize(view->sdlWindow, width > 0 ? width : client.right - client.left,
                          height > 0 ? height : client.bottom - client.top);
        Layer::Back().ViewResized(window); // as the resize's event would
    }
    view->viewWidth = width;
    view->viewHeight = height;
    view->normalViewWidth = width;
    view->normalViewHeight = height;
}

namespace {

// What an X server shows in an SDL window, read back from the server.
std::vector<uint32_t> ServerPixels(SDL_Window* sdlWindow, int width, int height) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdlWindow, &info) || info.subsystem != SDL_SYSWM_X11)
        return {};
    Display* display = info.info.x11.display;
    Layer::FinishServerPictures();
    XSync(display, False);
    XImage* image = XGetImage(display, info.info.x11.window, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return {};
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF);
    XDestroyImage(image);
    return pixels;
}

} // namespace

void PlatformTest::InjectViewMouse(HWND window, int button, bool down, int x, int y) {
    Layer::TranslateViewMouse(window, button, down, x, y);
}

bool PlatformTest::IsFullScreen(HWND window) {
    return Layer::IsLiveWindow(window) && window->view != nullptr && window->view->fullScreen;
}

std::vector<uint8_t> PlatformTest::EightBitImage(const std::vector<uint32_t>& picture, int width,
                                                 unsigned long redMask, unsigned long greenMask,
                                                 unsigned long blueMask) {
    std::vector<unsigned char> lookup;
    if (redMask == 0 && greenMask == 0 && blueMask == 0) {
        unsigned long cube[216];
        for (int i = 0; i < 216; ++i)
            cube[i] = 16 + static_cast<unsigned long>(i);
        lookup = Layer::CubeLookup(cube);
    } else {
        lookup = Layer::MaskedLookup(redMask, greenMask, blueMask);
    }
    int height = static_cast<int>(picture.size()) / width, pitch = Layer::EightBitPitch(width);
    std::vector<uint8_t> image(static_cast<size_t>(pitch) * height, 0);
    Layer::ToEightBit(lookup, picture.data(), width, height, image.data(), pitch);
    return image;
}

std::vector<uint32_t> PlatformTest::ShownPixels(HWND window, int* width, int* height) {
    if (!Layer::IsLiveWindow(window) || window->view == nullptr)
        return {};
    Layer::ViewSize(window, width, height);
    if (Layer::Back().ShowsThroughServer(window))
        return ServerPixels(window->view->sdlWindow, *width, *height);
    if (window->view->shownPixels.size() != static_cast<size_t>(*width) * *height)
        return {}; // nothing presented at this view size yet
    return window->view->shownPixels;
}

std::vector<uint32_t> PlatformTest::IconPixels(HICON icon, int* width, int* height) {
    const uint32_t* argb = nullptr;
    if (!Layer::IconPixels(icon, width, height, &argb))
        return {};
    return std::vector<uint32_t>(argb, argb + static_cast<size_t>(*width) * *height);
}

std::string PlatformTest::FontFileOf(HFONT font, bool* bold) {
    std::string file;
    if (!Layer::FontFile(font, &file, bold))
        return std::string();
    return file;
}

std::string PlatformTest::ReadMidi(const std::string& bytes, std::vector<MidiRecord>* events,
                                   int64_t* length) {
    // The bytes are copied to a buffer of exactly their size, so that a read past it is caught.
    std::vector<uint8_t> file(bytes.begin(), bytes.end());
    Layer::Song song;
    std::string error;
    if (!Layer::ParseMidi(file.data(), file.size(), &song, &error))
        return error;
    events->clear();
    for (const Layer::MidiEvent& e : song.events)
        events->push_back({e.time, e.status, e.data1, e.data2, e.tempo});
    *length = song.length;
    return "";
}

uint32_t PlatformTest::MidiTempoAt(const std::string& bytes, int64_t time) {
    Layer::Song song;
    std::string error;
    auto data = reinterpret_cast<const uint8_t*>(bytes.data());
    return Layer::ParseMidi(data, bytes.size(), &song, &error) ? Layer::TempoAt(song, time) : 0;
}

std::vector<int16_t> PlatformTest::RenderMusic(IDirectMusicPerformance* performance, int frames) {
    std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
    static_cast<Layer::PerformanceObject*>(performance)->Render(samples.data(), frames);
    return samples;
}

void PlatformTest::SegmentLoop(IDirectMusicSegment* segment, long* start, long* loopStart,
                               long* loopEnd, unsigned long* repeats) {
    auto* object = static_cast<Layer::SegmentObject*>(segment);
    *start = static_cast<long>(object->startPoint);
    *loopStart = static_cast<long>(object->loopStart);
    *loopEnd = static_cast<long>(object->loopEnd);
    *repeats = object->repeats;
}

int PlatformTest::LiveSegments() {
    return Layer::liveSegments;
}

int PlatformTest::CursorCount() {
    return Layer::CursorCount();
}

bool PlatformTest::IsTopmost(HWND window) {
    return Layer::IsLiveWindow(window) && window->topmost;
}

const uint32_t PlatformTest::lostFill = Layer::lostFill;

void PlatformTest::LoseSurfaces() {
    Layer::LoseAllSurfaces(false);
}

void PlatformTest::ChangeDisplayMode() {
    Layer::LoseAllSurfaces(true);
}

std::vector<uint32_t> PlatformTest::MessageBoxPicture(const std::string& text, UINT type,
                                                      int* width, int* height) {
    Layer::MessageBoxPicture picture;
    if (!Layer::DrawMessageBox(text, type, 0, -1, &picture))
        return {};
    *width = picture.width;
    *height = picture.height;
    return picture.pixels;
}

int PlatformTest::StartScale(HWND window, int usableWidth, int usableHeight) {
    return Layer::StartScaleIn(window, usableWidth, usableHeight);
}

void PlatformTest::ViewSize(HWND window, int* width, int* height) {
    Layer::ViewSize(window, width, height);
}

int64_t PlatformTest::IdleRest(const DWORD readings[3], int known, bool frameLastTurn, DWORD now,
                               int64_t intoMillisecond) {
    return Layer::IdleRest(readings, known, frameLastTurn, now, intoMillisecond);
}
