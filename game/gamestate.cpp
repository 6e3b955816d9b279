// The game's state and the helpers every scene shares: board tables, dealing, stage set-up, music,
// keys.
#include "gamestate.h"

#include <cstdlib>

#include "core/scenehost.h"
#include "core/inputstate.h"
#include "scenes.h"
#include "sound/musicplayer.h"

GameState gameState;

void ResetBoardTables() {
    for (int i = 0; i < cellCount; ++i) {
        gameState.cellKind[i] = Cell::empty;
        gameState.appearKind[i] = Cell::empty;
        gameState.exploding[i] = Cell::empty;
        gameState.appearStep[i] = 0;
        gameState.explodeFrame[i] = 0;
        gameState.matchCount[i] = 0;
    }
}

void DealBoard() {
    for (int i = 0; i < cellCount; ++i) {
        gameState.cellKind[i] = rand() % Cell::kindCount;
        if (rand() % 20 == 0)
            gameState.cellKind[i] = Cell::special;
    }
}

void SetUpStage() {
    GameState& g = gameState;
    g.stage += 1;
    g.timeLeft = 99;
    g.selRow = -1;
    g.selColumn = -1;
    g.clearQuota = 20 * g.stage;
    g.screenWave = 0;
    g.mosaicSize = 1;
    PlaySceneMusic("Stage.mid", -1);
    ResetBoardTables();
    DealBoard();
    if (g.stage == 3) {
        g.screenWave = 1;
    } else if (g.stage == 4) {
        g.mosaicSize = 10;
        g.screenWave = 1;
    }
}

void PlaySceneMusic(const char* fileName, int32_t repeats) {
    musicPlayer.Stop(0);
    musicPlayer.Load(0, fileName);
    musicPlayer.Play(0, 0, 0, static_cast<uint32_t>(repeats));
}

void StartScene(int32_t scene) {
    gameState.sceneStart = 1;
    sceneHost.SwitchScene(scene);
}

void HandleGlobalKeys() {
    switch (inputState.keyCode) {
    case VK_ESCAPE:
        PostQuitMessage(0);
        break;
    case VK_F1:
        ResetBoardTables();
        DealBoard();
        break;
    case VK_F2:
        gameState.clearQuota = 0;
        StartScene(Scene::clear);
        break;
    case VK_F3:
        StartScene(Scene::gameOver);
        break;
    default:
        break;
    }
}
