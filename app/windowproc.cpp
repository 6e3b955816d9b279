// GameWindowProc: the main window's messages turned into InputState.
#include "core/inputstate.h"
#include "gameapp.h"

InputState inputState;

LRESULT CALLBACK GameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        inputState.sizeState = static_cast<int32_t>(wParam);
        return 1;
    case WM_ACTIVATE:
        inputState.activeState = LOWORD(wParam);
        return 1;
    case WM_CLOSE:
        // Only ends the main loop; the window is destroyed after it.
        PostQuitMessage(0);
        return 1;
    case WM_QUIT:
        DestroyWindow(window);
        return -1;
    case WM_KEYDOWN:
        inputState.keyCode = static_cast<int32_t>(wParam);
        return 1;
    case WM_KEYUP:
        inputState.keyCode = 0;
        return 1;
    case WM_MOUSEMOVE:
        // Unsigned 16-bit halves of lParam, in client pixels.
        inputState.mouseY = HIWORD(lParam);
        inputState.mouseX = LOWORD(lParam);
        return 1;
    case WM_LBUTTONDOWN:
        inputState.leftButton = 1;
        return 1;
    case WM_LBUTTONUP:
        inputState.leftButton = 0;
        return 1;
    case WM_RBUTTONDOWN:
        inputState.rightButton = 1;
        return 1;
    case WM_RBUTTONUP:
        inputState.rightButton = 0;
        return 1;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
