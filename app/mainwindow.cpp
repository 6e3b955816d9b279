// GameApp::CreateMainWindow: registers the window class and creates the topmost main window.
#include "core/errorlog.h"
#include "gameapp.h"
#include "core/inputstate.h"

namespace {
constexpr const char* defaultClassName = "GameApp";
constexpr const char* windowFailedText = "ウィンドウの作成に失敗しました。";
} // namespace

bool GameApp::CreateMainWindow(HWND* outWindow, HINSTANCE instance, int32_t width, int32_t height,
                               bool show, bool cursorVisible) {
    WNDCLASSA windowClass{};
    windowClass.style = 0; // no CS_DBLCLKS: a double click arrives as two button-down messages
    windowClass.lpfnWndProc = GameWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.lpszMenuName = nullptr;
    windowClass.hbrBackground =
        background != nullptr ? background : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.hCursor =
        cursorName != nullptr ? LoadCursorA(instance, cursorName) : LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hIcon =
        iconName != nullptr ? LoadIconA(instance, iconName) : LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.lpszClassName = className != nullptr ? className : defaultClassName;

    UnregisterClassA(windowClass.lpszClassName, instance);
    if (RegisterClassA(&windowClass) == 0) {
        WriteErrorLog(windowFailedText);
        return false;
    }
    *outWindow = CreateWindowExA(0, windowClass.lpszClassName, title, style | WS_POPUP, 0, 0, width,
                                 height, nullptr, nullptr, instance, nullptr);
    if (*outWindow == nullptr) {
        WriteErrorLog(windowFailedText);
        return false;
    }
    if (show) {
        ShowWindow(*outWindow, SW_SHOWDEFAULT);
        SetWindowPos(*outWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    }
    ShowCursor(cursorVisible ? TRUE : FALSE);
    return true;
}
