// The game's state and the helpers every scene shares: board tables, dealing, stage set-up, music,
// keys.
#include "gamestate.h"

#include <cstdlib>

#include "app/gameapp.h"
#include "app/inputstate.h"
#include "sound/musicplayer.h"

GameState gameState;

void ResetBoardTables() {
    for (int i = 0; i < cellCount; ++i) {
        gameState.cellKind[i] = -1;
        gameState.appearKind[i] = -1;
        gameState.exploding[i] = -1;
        gameState.appearStep[i] = 0;
        gameState.explodeFrame[i] = 0;
        gameState.matchCount[i] = 0;
    }
}

void DealBoard() {
    for (int i = 0; i < cellCount; ++i) {
        gameState.cellKind[i] = rand() % 6;
        if (rand() % 20 == 0)
            gameState.cellKind[i] = 6;
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
    gameApp.SwitchScene(scene);
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
        StartScene(3);
        break;
    case VK_F3:
        StartScene(5);
        break;
    default:
        break;
    }
}
