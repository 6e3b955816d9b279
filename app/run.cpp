// GameApp::Run: lets the user pick a display driver if asked, creates the window and the display,
// runs the main loop and shuts down.
#include <cstring>

#include "devicedialog.h"
#include "core/errorlog.h"
#include "gameapp.h"
#include "core/release.h"

namespace {
constexpr const char* startupFailedText = "アプリケーションの初期化に失敗しました。";
} // namespace

bool GameApp::Run(HINSTANCE instance, int32_t width, int32_t height, int32_t bitsPerPixel,
                  bool chooseDevice, bool windowed) {
    auto fail = [&] {
        ShowCursor(TRUE);
        if (window != nullptr) {
            DestroyWindow(window);
            window = nullptr;
        }
        WriteErrorLog(startupFailedText);
        return false;
    };
    GUID chosenDevice{};
    GUID* device = nullptr;
    if (chooseDevice) {
        if (SelectDisplayDevice(nullptr, instance, &chosenDevice) == 0)
            return fail();
        // The primary driver is listed with an all-zero GUID: the display takes null for it.
        static const GUID primaryDriver{};
        if (memcmp(&chosenDevice, &primaryDriver, sizeof chosenDevice) != 0)
            device = &chosenDevice;
    }
    if (windowed)
        style = WS_OVERLAPPEDWINDOW;
    if (!CreateMainWindow(&window, instance, width, height, true, false))
        return fail();
    if (!InitDisplay(window, width, height, bitsPerPixel, windowed, device))
        return fail();
    MainLoop();
    ReleaseAndClear(directDraw);
    if (window != nullptr)
        DestroyWindow(window);
    window = nullptr;
    return true;
}
