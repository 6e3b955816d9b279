// The browser's screen driver: SDL's windows on the page's canvas (the SDL driver, whose waits
// yield to the browser under ASYNCIFY), with message boxes shown in the page itself.
#include <emscripten.h>

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

class WebScreen : public SdlScreen {
public:
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
