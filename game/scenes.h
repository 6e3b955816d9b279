// The game's scene numbers and scene functions, registered by the start-up scene.
#pragma once

#include <cstdint>

// The scene numbers: the slots of the application object's scene table that the program fills.
// Slots 6 to 255 stay empty.
namespace Scene {
constexpr int32_t startup = 0;
constexpr int32_t title = 1;
constexpr int32_t stage = 2;
constexpr int32_t clear = 3;
constexpr int32_t ending = 4;
constexpr int32_t gameOver = 5;
} // namespace Scene

void TitleScene();
void StageScene();
void ClearScene();
void EndingScene();
void GameOverScene();
// Closes the ending text if the ending scene holds it open (the program calls it as it ends).
void CloseEndingText();
// Registers the five game scenes under their numbers (the start-up scene's last step but one).
void RegisterGameScenes();

// One stage frame when 20 ms have passed: board, rules, numbers, effects, countdown, Present.
void StageFrame();
// The board cell under the mouse, from the client area's real size; -1, -1 when it has no size.
void MouseToCell(int32_t& mouseColumn, int32_t& mouseRow);
