// The scene table's two operations: registering a scene and switching to it.
#include "scenehost.h"

bool SceneHost::RegisterScene(int32_t index, SceneFunc func) {
    if (func == nullptr || index < 0 || index >= sceneCount || scenes[index] != nullptr)
        return false;
    scenes[index] = func;
    return true;
}

bool SceneHost::SwitchScene(int32_t index) {
    if (index < 0 || index >= sceneCount || scenes[index] == nullptr)
        return false;
    currentScene = index;
    return true;
}
