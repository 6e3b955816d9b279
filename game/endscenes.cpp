// The clear, ending and game-over scenes.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/scenehost.h"
#include "core/inputstate.h"
#include "core/intervaltimer.h"
#include "core/release.h"
#include "board.h"
#include "gamestate.h"
#include "images.h"
#include "graphics/graphics.h"
#include "scenes.h"
#include "timerslots.h"

namespace {

constexpr char clearCaption[] = "CLEAR ";
constexpr int clearCaptionLast = static_cast<int>(sizeof clearCaption) - 2; // length 6 minus 1

// A left or right click, taken: both flags are cleared.
bool TakeClick() {
    if (inputState.leftButton != 1 && inputState.rightButton != 1)
        return false;
    inputState.leftButton = 0;
    inputState.rightButton = 0;
    return true;
}

// Shows the next line of the ending text on a black picture, if there is one.
void ShowNextEndingLine() {
    GameState& g = gameState;
    g.endingMosaic = endingMosaicStart;
    graphics.FillSurface(g.endingSurface, 0);
    char line[256];
    if (g.endingFile == nullptr || fgets(line, sizeof line, g.endingFile) == nullptr)
        return;
    size_t length = strlen(line);
    if (length == 0)
        return;
    line[length - 1] = ' ';
    graphics.DrawText(g.endingSurface, line, 0, 100, 15, 0x009B9B9B, 0);
}

} // namespace

void CloseEndingText() {
    if (gameState.endingFile != nullptr) {
        fclose(gameState.endingFile);
        gameState.endingFile = nullptr;
    }
}

void ClearScene() {
    GameState& g = gameState;
    if (g.sceneStart == 1) {
        g.clearChars = 0;
        graphics.CreateOffscreenSurface(g.clearSnapshot, 320, 240);
        graphics.BltStretch(g.clearSnapshot, graphics.backSurface, DDBLT_WAIT);
        PlaySceneMusic("Clear.mid", 0);
        g.sceneStart = 0;
    }
    if (CheckInterval(500, TimerSlot::clearCaption) && g.clearChars < clearCaptionLast)
        g.clearChars += 1;
    char shown[sizeof clearCaption] = {};
    memcpy(shown, clearCaption, static_cast<size_t>(g.clearChars));
    graphics.BltStretch(graphics.backSurface, g.clearSnapshot, DDBLT_WAIT);
    DrawSpriteText(graphics.backSurface, 0, 100, shown, 40);
    PresentFrame();
    HandleGlobalKeys();
    if (!TakeClick())
        return;
    if (g.clearChars < clearCaptionLast) {
        g.clearChars = clearCaptionLast; // the first click completes the caption
        return;
    }
    ReleaseAndClear(g.clearSnapshot);
    StartScene(g.stage >= 4 ? Scene::ending : Scene::stage);
}

void EndingScene() {
    GameState& g = gameState;
    if (g.sceneStart == 1) {
        CloseEndingText(); // left by a key earlier, the scene still held it
        g.endingFile = fopen(".\\Ending.dat", "r");
        PlaySceneMusic("Ending.mid", -1);
        graphics.CreateOffscreenSurface(g.endingSurface, 320, 240);
        g.sceneStart = 0;
    }
    // A missing file behaves as one at its end.
    if (g.endingFile == nullptr || feof(g.endingFile)) {
        g.endingMosaic = 0;
    } else if (CheckInterval(100, TimerSlot::endingMosaic)) {
        int32_t old = g.endingMosaic;
        g.endingMosaic -= 1;
        if (old <= 0 && CheckInterval(5000, TimerSlot::endingLine))
            ShowNextEndingLine();
    }
    graphics.BltStretch(graphics.backSurface, g.endingSurface, DDBLT_WAIT);
    graphics.MosaicSurface(graphics.backSurface, g.endingMosaic);
    PresentFrame();
    HandleGlobalKeys();
    if (!TakeClick())
        return;
    g.endingMosaic = endingMosaicStart;
    CloseEndingText();
    ReleaseAndClear(g.endingSurface);
    StartScene(Scene::title);
}

void GameOverScene() {
    GameState& g = gameState;
    if (g.sceneStart == 1) {
        PlaySceneMusic("Gameover.mid", -1);
        graphics.CreateOffscreenSurface(g.gameOverSnapshot, 320, 240);
        graphics.BltStretch(g.gameOverSnapshot, graphics.backSurface, DDBLT_WAIT);
        g.sceneStart = 0;
    }
    graphics.BltStretch(graphics.backSurface, g.gameOverSnapshot, DDBLT_WAIT);
    int phase = rand() % 200;
    graphics.WaveColumnsSurface(graphics.backSurface, phase, rand() % 200, true, 0);
    phase = rand() % 200;
    graphics.WaveRowsSurface(graphics.backSurface, phase, rand() % 200, true, 0);
    DrawSpriteText(graphics.backSurface, 30, 110, "GAME OVER", 30);
    PresentFrame();
    HandleGlobalKeys();
    if (!TakeClick())
        return;
    ReleaseAndClear(g.gameOverSnapshot);
    StartScene(Scene::title);
}
