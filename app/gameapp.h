// GameApp: the application object: its display, window, scene table, main loop and run.
#pragma once

#include "core/scenehost.h"
#include "graphics/graphics.h"

// The display fields come first, then the window and the scene table (SceneHost), then the window
// class's fields.
class GameApp : public Graphics, public SceneHost {
public:
    LPCSTR iconName = nullptr;
    LPCSTR className = nullptr;
    LPCSTR cursorName = nullptr;
    LPCSTR title = nullptr;
    HBRUSH background = nullptr;
    DWORD style = 0;

    GameApp() = default; // the frame metrics are recorded by Graphics' constructor
    ~GameApp();
    GameApp(const GameApp&) = delete;
    GameApp& operator=(const GameApp&) = delete;

    // Handles at most one message per turn, then calls the current scene; ends on WM_QUIT or a
    // dispatch result of -1.
    void MainLoop();
    bool CreateMainWindow(HWND* outWindow, HINSTANCE instance, int32_t width, int32_t height,
                          bool show, bool cursorVisible);
    bool Run(HINSTANCE instance, int32_t width, int32_t height, int32_t bitsPerPixel,
             bool chooseDevice, bool windowed);
};

// The program's application object.
extern GameApp gameApp;

// The main window's procedure: records input into inputState, ends the loop on WM_CLOSE and passes
// every message it does not handle to DefWindowProcA.
LRESULT CALLBACK GameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
