// GameApp: the application object: its display, window, scene table, main loop and run.
#pragma once

#include "graphics/graphics.h"

typedef void (*SceneFunc)();

class GameApp : public Graphics {
public:
    static constexpr int sceneCount = 256;

    HWND window = nullptr;
    SceneFunc scenes[sceneCount] = {};
    int32_t currentScene = 0;
    LPCSTR iconName = nullptr;
    LPCSTR className = nullptr;
    LPCSTR cursorName = nullptr;
    LPCSTR title = nullptr;
    HBRUSH background = nullptr;
    DWORD style = 0;

    GameApp();
    ~GameApp();
    GameApp(const GameApp&) = delete;
    GameApp& operator=(const GameApp&) = delete;

    // Stores func in slot index; false for a null function, an occupied slot or an index outside
    // the table.
    bool RegisterScene(int32_t index, SceneFunc func);
    // Makes slot index current from the next turn on; false for an index outside the table or an
    // empty slot.
    bool SwitchScene(int32_t index);
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
