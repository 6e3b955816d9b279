// The view of a window (what the real screen shows of it): its size, full screen, and input at
// its pixels: the mouse mapped back to client pixels, and the keys that belong to the view.
#include <algorithm>

#include "screen/screeninternal.h"
#include "screen/view.h"

namespace Layer {

void TranslateViewMouse(HWND window, int button, bool down, int viewX, int viewY) {
    if (!IsLiveWindow(window))
        return;
    RECT client = ClientRectOf(window);
    int clientWidth = client.right - client.left, clientHeight = client.bottom - client.top;
    int width = 0, height = 0, x = 0, y = 0;
    ViewSize(window, &width, &height);
    ViewRect place = FitView(clientWidth, clientHeight, width, height);
    if (!ViewToClient(place, clientWidth, clientHeight, viewX, viewY, &x, &y)) {
        // The black bars belong to no window, but a button released there (or past the view)
        // reaches the window at the nearest client pixel, as a release under mouse capture does
        // on Windows: no button stays pressed for the program.
        if (button < 0 || down || place.width <= 0 || place.height <= 0)
            return;
        ViewToClient(place, clientWidth, clientHeight,
                     std::clamp(viewX, place.x, place.x + place.width - 1),
                     std::clamp(viewY, place.y, place.y + place.height - 1), &x, &y);
    }
    if (button < 0)
        TranslateMouseMove(window, x, y);
    else
        TranslateMouseButton(window, button, down, x, y);
}

void ToggleFullScreen(HWND window) {
    if (!IsLiveWindow(window) || window->view == nullptr)
        return;
    window->view->fullScreen = !window->view->fullScreen;
    Back().ApplyFullScreen(window);
}

void TranslateViewKey(HWND window, int virtualKey, int scanCode, bool extended, bool down,
                      bool repeat, bool altHeld) {
    // F11 and Alt+Enter belong to the view: they toggle full screen and never reach the program.
    if (virtualKey == VK_F11 || (virtualKey == VK_RETURN && altHeld)) {
        if (down && !repeat && IsLiveWindow(window))
            ToggleFullScreen(window);
        return;
    }
    TranslateKey(window, virtualKey, scanCode, extended, down, repeat, altHeld);
}

} // namespace Layer
