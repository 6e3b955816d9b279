// InputState, the mouse, button and key fields that the window procedure keeps for the scenes.
#pragma once

#include <windows.h>

#include <cstdint>

struct InputState {
    int32_t rightButton = 0;
    int32_t leftButton = 0;
    int32_t activeState = 0;
    int32_t mouseY = 0;
    int32_t mouseX = 0;
    int32_t keyCode = 0;
    int32_t sizeState = 0;
};

extern InputState inputState;

// The main window's procedure: records input into inputState, ends the loop on WM_CLOSE and passes
// every message it does not handle to DefWindowProcA.
LRESULT CALLBACK GameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
