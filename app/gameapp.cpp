// GameApp construction and destruction, the scene table and the main loop.
#include "gameapp.h"
#include "release.h"

void DisplayBlock::RecordFrameMetrics() {
    frameWidth = GetSystemMetrics(SM_CXFRAME);
    frameHeight = GetSystemMetrics(SM_CYFRAME);
    menuHeight = GetSystemMetrics(SM_CYMENU);
}

GameApp::GameApp() {
    RecordFrameMetrics();
}

GameApp::~GameApp() {
    ReleaseAndClear(directDraw);
    if (window != nullptr)
        DestroyWindow(window);
}

bool GameApp::RegisterScene(int32_t index, SceneFunc func) {
    if (func == nullptr || index < 0 || index >= sceneCount || scenes[index] != nullptr)
        return false;
    scenes[index] = func;
    return true;
}

bool GameApp::SwitchScene(int32_t index) {
    if (index < 0 || index >= sceneCount || scenes[index] == nullptr)
        return false;
    currentScene = index;
    return true;
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
