// SceneHost: the part of the application object that scenes use: the main window and the scene
// table. The application object (app/gameapp.h) is one; code below it reaches it as sceneHost.
#pragma once

#include <windows.h>

#include <cstdint>

typedef void (*SceneFunc)();

class SceneHost {
public:
    static constexpr int sceneCount = 256;

    HWND window = nullptr;
    SceneFunc scenes[sceneCount] = {};
    int32_t currentScene = 0;

    // Stores func in slot index; false for a null function, an occupied slot or an index outside
    // the table.
    bool RegisterScene(int32_t index, SceneFunc func);
    // Makes slot index current from the next turn on; false for an index outside the table or an
    // empty slot.
    bool SwitchScene(int32_t index);
};

// The application object's window and scene table.
extern SceneHost& sceneHost;
