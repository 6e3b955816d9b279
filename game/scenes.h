// The game's scene functions, registered by the start-up scene as scenes 1 to 5.
#pragma once

#include <cstdint>

void TitleScene();    // 1
void StageScene();    // 2
void ClearScene();    // 3
void EndingScene();   // 4
void GameOverScene(); // 5

// One stage frame when 20 ms have passed: board, rules, numbers, effects, countdown, Present.
void StageFrame();
// The board cell under the mouse, from the client area's real size; -1, -1 when it has no size.
void MouseToCell(int32_t& mouseColumn, int32_t& mouseRow);
