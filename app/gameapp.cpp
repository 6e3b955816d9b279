// GameApp construction and destruction, and the main loop.
#include "gameapp.h"
#include "core/release.h"

GameApp::~GameApp() {
    ReleaseAndClear(directDraw);
    if (window != nullptr)
        DestroyWindow(window);
}

void GameApp::MainLoop() {
    MSG message;
    for (;;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (GetMessageA(&message, nullptr, 0, 0) == 0)
                return; // WM_QUIT
            TranslateMessage(&message);
            if (DispatchMessageA(&message) == -1)
                return; // the window procedure destroyed the window
        }
        scenes[currentScene]();
    }
}
