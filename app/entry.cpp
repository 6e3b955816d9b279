// The program entry: sets the window's title and icon, registers the start-up scene and runs.
#include <windows.h>

#include "game/scenes.h"
#include "gameapp.h"
#include "startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // A DLL loaded by name (DirectMusic's, the device dialog's, those the system pulls in) is
    // never looked for in the current folder, which may be one another account controls.
    SetDllDirectoryA("");
    gameApp.title = "Quellmark. Programmed by Dorvane";
    gameApp.iconName = MAKEINTRESOURCE(101);
    gameApp.RegisterScene(Scene::startup, StartupScene);
    gameApp.Run(instance, 320, 240, 32, false, true);
    CloseEndingText();
    return -1;
}
