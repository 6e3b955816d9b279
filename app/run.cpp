// GameApp::Run: creates the window, runs the main loop and shuts down.
#include "errorlog.h"
#include "gameapp.h"

namespace {
constexpr const char* startupFailedText = "アプリケーションの初期化に失敗しました。";
} // namespace

bool GameApp::Run(HINSTANCE instance, int32_t width, int32_t height, int32_t bitsPerPixel,
                  bool chooseDevice, bool windowed) {
    (void)bitsPerPixel; // the display mode is set up by the display, which takes it from here
    (void)chooseDevice; // the display driver is chosen by the device dialog, which takes it
    if (windowed)
        style = WS_OVERLAPPEDWINDOW;
    if (!CreateMainWindow(&window, instance, width, height, true, false)) {
        ShowCursor(TRUE);
        if (window != nullptr) {
            DestroyWindow(window);
            window = nullptr;
        }
        WriteErrorLog(startupFailedText);
        return false;
    }
    MainLoop();
    if (directDraw != nullptr) {
        directDraw->Release();
        directDraw = nullptr;
    }
    if (window != nullptr)
        DestroyWindow(window);
    window = nullptr;
    return true;
}
