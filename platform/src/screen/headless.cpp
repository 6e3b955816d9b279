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
    void ShowView(HWND, bool) override {}
    void PlaceView(HWND) override {}
    void SetViewTopmost(HWND) override {}
    void ReadViewPlace(HWND) override {}
    void SetCursorVisible(bool) override {}
    bool ScreenSize(int*, int*) override { return false; }
    void PumpInput() override {}
    bool WaitForInput(int) override { return false; }
    // The tests' loops run on the virtual clock: nothing to rest for.
    void BeginLoopTurn() override {}
    void RestWhileIdle() override {}
    int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                       UINT type) override {
        return RecordMessageBox(owner, text.c_str(), caption.c_str(), type);
    }
    bool WaitFor(int64_t) override { return false; }
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
    void ViewResized(HWND) override {}
    void ShowFrameAgain(HWND) override {}
    bool OpenView(HWND window, ViewPixels* view) override {
        if (window->view == nullptr)
            return false;
        ViewSize(window, &view->width, &view->height);
        window->view->shownPixels.resize(static_cast<size_t>(view->width) * view->height);
        view->pixels = window->view->shownPixels.data();
        view->pitch = view->width;
        return view->width > 0 && view->height > 0;
    }
    void CloseView(HWND, const ViewPixels&) override {}
};

} // namespace

ScreenBackEnd* NewHeadlessScreen() {
    return new HeadlessScreen;
}

} // namespace Layer
