// Test windows: registers a class (DefWindowProcA unless given a procedure) and makes one window.
#pragma once

#include <windows.h>

inline LRESULT CALLBACK DefaultTestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

inline HWND MakeTestWindow(const char* className, DWORD style = WS_POPUP, int x = 0, int y = 0,
                           int width = 100, int height = 100, WNDPROC procedure = nullptr) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure != nullptr ? procedure : DefaultTestProc;
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass); // fails harmlessly when the class is there already
    return CreateWindowExA(0, className, "", style, x, y, width, height, nullptr, nullptr, nullptr,
                           nullptr);
}
