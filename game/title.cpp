// The title scene (the title picture with its waving strip; a click starts a game) and the
// registration of the game's scenes.
#include "core/scenehost.h"
#include "core/inputstate.h"
#include "core/release.h"
#include "gamestate.h"
#include "images.h"
#include "graphics/graphics.h"
#include "scenes.h"

void TitleScene() {
    GameState& g = gameState;
    if (g.sceneStart == 1) {
        g.titleWavePhase = 0;
        g.titleWaveAmplitude = 5;
        LoadTitleImage();
        PlaySceneMusic("Title.mid", -1);
        g.sceneStart = 0;
    }
    HandleGlobalKeys();
    graphics.BltRect(graphics.backSurface, 0, 0, 320, 240, g.titleImage, 0, 0, 320, 240,
                     DDBLT_WAIT);
    g.titleWavePhase = (g.titleWavePhase + 5) % 65536;
    graphics.BltWave(graphics.backSurface, 60, 150, g.titleImage, 0, 240, 180, 280,
                     g.titleWavePhase, g.titleWaveAmplitude, true);
    PresentFrame();
    if (inputState.leftButton == 1 || inputState.rightButton == 1) {
        g.score = 0;
        g.stage = 0;
        inputState.rightButton = 0;
        inputState.leftButton = 0;
        ReleaseAndClear(g.titleImage);
        StartScene(Scene::stage);
    }
}

void RegisterGameScenes() {
    sceneHost.RegisterScene(Scene::title, TitleScene);
    sceneHost.RegisterScene(Scene::stage, StageScene);
    sceneHost.RegisterScene(Scene::clear, ClearScene);
    sceneHost.RegisterScene(Scene::ending, EndingScene);
    sceneHost.RegisterScene(Scene::gameOver, GameOverScene);
}
