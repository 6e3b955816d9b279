// The headless screen driver, for test programs: a view is a picture kept in memory at the size
// the player would have given it, input comes only from a test's injection, and message boxes are
// recorded and answered at once.
#include "screen/screeninternal.h"
#include "kernel/testhooks.h"

namespace Layer {

namespace {

// The view's size: the screen's in full screen, else the size the player gave it (0 x 0: the
// client area's).
void KeepViewSize(WindowView* view) {
    view->viewWidth = view->fullScreen ? GetSystemMetrics(SM_CXSCREEN) : view->normalViewWidth;
    view->viewHeight = view->fullScreen ? GetSystemMetrics(SM_CYSCREEN) : view->normalViewHeight;
}

// What it does not override is the null driver's: no input, no rest (the tests' loops run on the
// virtual clock), a wait for input that says none can come.
class HeadlessScreen : public ScreenBackEnd {
public:
    bool MakeView(HWND window) override {
        RECT client = ClientRectOf(window);
        window->view = new WindowView;
        window->view->sizedForWidth = client.right - client.left;
        window->view->sizedForHeight = client.bottom - client.top;
        RecallView(window);
        KeepViewSize(window->view);
        return true;
    }
    void DestroyView(HWND window) override {
        if (window->view == nullptr)
            return;
        RememberView(window);
        delete window->view;
        window->view = nullptr;
    }
    int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                       UINT type) override {
        return RecordMessageBox(owner, text.c_str(), caption.c_str(), type);
    }
    void ViewSize(HWND window, int* width, int* height) override {
        RECT client = ClientRectOf(window);
        const WindowView* view = window->view;
        *width = view != nullptr && view->viewWidth > 0
                     ? view->viewWidth
                     : static_cast<int>(client.right - client.left);
        *height = view != nullptr && view->viewHeight > 0
                      ? view->viewHeight
                      : static_cast<int>(client.bottom - client.top);
    }
    void ApplyFullScreen(HWND window) override { KeepViewSize(window->view); }
    bool OpenView(HWND window, ViewPixels* view) override {
        if (window->view == nullptr)
            return false;
        ViewSize(window, &view->width, &view->height);
        window->view->shownPixels.resize(static_cast<size_t>(view->width) * view->height);
        view->pixels = window->view->shownPixels.data();
        view->pitch = view->width;
        return view->width > 0 && view->height > 0;
    }
};

} // namespace

ScreenBackEnd* NewHeadlessScreen() {
    return new HeadlessScreen;
}

} // namespace Layer
