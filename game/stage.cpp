// The stage scene and its frame.
#include <cstdlib>

#include "core/scenehost.h"
#include "core/inputstate.h"
#include "core/intervaltimer.h"
#include "board.h"
#include "gamestate.h"
#include "images.h"
#include "graphics/graphics.h"
#include "rules.h"
#include "scenes.h"
#include "timerslots.h"

namespace {

// A fresh random wave value: the difference of two draws of 0 to 14.
int WaveValue() {
    int first = rand() % 15;
    return first - rand() % 15;
}

void DrawNumbers() {
    const GameState& g = gameState;
    char text[32];
    wsprintfA(text, "%08d", g.score);
    DrawSpriteText(graphics.backSurface, 100, 208, text, 20);
    wsprintfA(text, "%02d", g.stage);
    DrawSpriteText(graphics.backSurface, 275, 58, text, 15);
    wsprintfA(text, "%02d", g.timeLeft);
    DrawSpriteText(graphics.backSurface, 260, 112, text, 15);
    wsprintfA(text, "%03d", g.clearQuota);
    DrawSpriteText(graphics.backSurface, 270, 166, text, 15);
}

} // namespace

void MouseToCell(int32_t& mouseColumn, int32_t& mouseRow) {
    RECT client{};
    GetClientRect(sceneHost.window, &client);
    int cellWidth = (client.right / 2) / 5;
    // The double nearest to 2/15, not an exact 1/7.5: deliberate, it fixes which pixel rows map
    // to which cell.
    auto cellHeight = static_cast<int>(client.bottom * 0.13333333333333333);
    if (cellWidth == 0 || cellHeight == 0) {
        mouseColumn = -1;
        mouseRow = -1;
        return;
    }
    mouseColumn = inputState.mouseX / cellWidth - 1;
    mouseRow = inputState.mouseY / cellHeight - 1;
}

void StageFrame() {
    GameState& g = gameState;
    if (!CheckInterval(20, TimerSlot::stageFrame))
        return;
    graphics.BltStretch(graphics.backSurface, g.screenImage, DDBLT_WAIT);
    int32_t mouseColumn = -1;
    int32_t mouseRow = -1;
    MouseToCell(mouseColumn, mouseRow);
    if (CheckInterval(1000, TimerSlot::newTile))
        SpawnTile();
    for (int i = 0; i < cellCount; ++i)
        DrawCell(i % boardSize, i / boardSize, g.cellKind[i], Cell::normalSize);
    UpdateAppearing();
    DrawFocus(mouseColumn, mouseRow);
    DrawNumbers();
    SelectionStep(mouseColumn, mouseRow);
    HandleSwapClick(mouseColumn, mouseRow);
    FindMatches();
    UpdateExplosions();
    graphics.Mosaic(graphics.backSurface, 19, 40, 179, 200, g.mosaicSize);
    if (g.screenWave == 1) {
        int phase = WaveValue();
        int amplitude = WaveValue();
        graphics.WaveColumnsSurface(graphics.backSurface, phase, amplitude, false, 0);
        phase = WaveValue();
        amplitude = WaveValue();
        graphics.WaveRowsSurface(graphics.backSurface, phase, amplitude, false, 0);
    }
    if (g.timeLeft < 10) {
        char text[16];
        wsprintfA(text, "%d", g.timeLeft);
        graphics.DrawText(graphics.backSurface, text, 75, 65, 100, 0x0000FF, 0);
    }
    if (CheckInterval(1000, TimerSlot::countdown)) {
        if (g.timeLeft > 0)
            g.timeLeft -= 1;
        else
            StartScene(Scene::gameOver);
        if (g.timeLeft % 10 == 0 && g.mosaicSize > 1)
            g.mosaicSize -= 1;
    }
    PresentFrame();
}

void StageScene() {
    if (gameState.sceneStart == 1) {
        SetUpStage();
        gameState.sceneStart = 0;
    }
    HandleGlobalKeys();
    StageFrame();
}
