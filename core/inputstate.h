// InputState, the mouse, button and key fields that the window procedure keeps for the scenes.
#pragma once

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
