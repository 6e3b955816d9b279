// The browser's screen driver: SDL's windows on the page's canvas (the SDL driver, whose waits
// yield to the browser under ASYNCIFY), with message boxes shown in the page itself.
#include <SDL.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>

#include <string>

#include "screen/sdlscreen.h"
#include "user/userinternal.h"

namespace Layer {

namespace {

// Shows a box in the page (the page's showMessageBox: text, caption, the buttons as "label\tanswer"
// lines, the answer of Esc) and waits, yielding to the browser, for the answer; 0 when the page
// has no boxes.
// (JavaScript, which clang-format would take apart)
// clang-format off
EM_ASYNC_JS(int, PageMessageBox, (const char* text, const char* caption, const char* buttons,
                                  int escape), {
    if (typeof globalThis.showMessageBox != "function")
        return 0;
    const list = UTF8ToString(buttons).split("\n").map(line => line.split("\t"))
                     .map(([label, answer]) => [label, Number(answer)]);
    return await globalThis.showMessageBox(UTF8ToString(text), UTF8ToString(caption), list,
                                           escape);
});
// clang-format on

// The page gives the canvas its size (the whole page, or the screen in full screen): a view always
// takes that size, and the view's own scaling letterboxes the picture in it and maps clicks back.
// SDL follows the page's later resizes itself.
void FitPage(HWND window) {
    SDL_Window* sdlWindow = SdlWindowOf(window);
    double width = 0, height = 0;
    if (sdlWindow == nullptr ||
        emscripten_get_element_css_size("#canvas", &width, &height) != EMSCRIPTEN_RESULT_SUCCESS)
        return;
    SDL_SetWindowSize(sdlWindow, std::max(1, static_cast<int>(width)),
                      std::max(1, static_cast<int>(height)));
}

// Full screen is the page's own: the canvas fills the screen, and SDL sees the page resized.
// (The browser allows it for a few seconds after the player's key press.)
// clang-format off
EM_JS(void, PageFullScreen, (int on), {
    const canvas = document.getElementById("canvas");
    if (on && !document.fullscreenElement)
        canvas.requestFullscreen().catch(error => console.warn("full screen refused:", error.message));
    else if (!on && document.fullscreenElement)
        document.exitFullscreen();
});
// clang-format on

class WebScreen : public SdlScreen {
public:
    bool MakeView(HWND window) override {
        if (!SdlScreen::MakeView(window))
            return false;
        FitPage(window);
        return true;
    }
    void PlaceView(HWND window) override {
        SdlScreen::PlaceView(window);
        FitPage(window);
    }
    // One yield to the browser for the whole rest: SDL's own wait would yield every millisecond,
    // each time unwinding and rewinding the program's stack. The page's events reach SDL's queue
    // while the program sleeps; they are handled when it wakes, by the next frame at the latest.
    bool WaitFor(int64_t nanoseconds) override {
        if (nanoseconds <= 0)
            return false;
        if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
            return true;
        emscripten_sleep(static_cast<unsigned>((nanoseconds + 999999) / 1000000));
        return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0;
    }
    void ApplyFullScreen(HWND window) override {
        if (SdlWindowOf(window) != nullptr)
            PageFullScreen(window->view->fullScreen ? 1 : 0);
    }
    int ShowMessageBox(HWND, const std::string& text, const std::string& caption,
                       UINT type) override {
        std::string buttons;
        for (const BoxButton& button : BoxButtons(type))
            buttons += (buttons.empty() ? "" : "\n") + std::string(button.label) + "\t" +
                       std::to_string(button.answer);
        return PageMessageBox(text.c_str(), caption.c_str(), buttons.c_str(),
                              BoxEscapeAnswer(type));
    }
};

} // namespace

ScreenBackEnd* NewDisplayScreen() {
    return new WebScreen;
}

} // namespace Layer
