// The game's state and the helpers every scene shares: board tables, dealing, stage set-up, music,
// keys.
#include "gamestate.h"

#include <cstdlib>
#include <initializer_list>

#include "core/scenehost.h"
#include "core/inputstate.h"
#include "graphics/graphics.h"
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

namespace {

// The four images loaded at start-up: file, size and whether black is transparent.
struct GameImage {
    IDirectDrawSurface* GameState::*surface;
    const char* fileName;
    int32_t width;
    int32_t height;
    bool keyed;
};
constexpr GameImage gameImages[] = {
    {&GameState::screenImage, ".\\ScreenImage.bmp", 320, 240, false},
    {&GameState::mapChipImage, ".\\MapChip.bmp", 288, 32, true},
    {&GameState::stringImage, ".\\String.bmp", 312, 72, true},
    {&GameState::explosionImage, ".\\Explosion.bmp", 512, 48, true},
};

} // namespace

void LoadGameImages() {
    for (const GameImage& image : gameImages)
        graphics.LoadBitmapSurface(gameState.*image.surface, 0, 0, image.width, image.height,
                                   image.fileName, 0, 0);
    for (const GameImage& image : gameImages)
        if (image.keyed)
            graphics.SetColorKey(gameState.*image.surface, 0, 0);
}

namespace {

// Brings a lost surface back; false when the display does not allow it yet.
bool Restored(IDirectDrawSurface* surface) {
    return surface == nullptr || surface->IsLost() != DDERR_SURFACELOST ||
           SUCCEEDED(surface->Restore());
}

// Restores every surface of the game and draws again what they held: the pictures from their
// files, the frozen frames and the ending's page black (their pictures are gone with the loss).
// False when a surface cannot be restored yet; the next frame tries again.
bool RestoreLostSurfaces() {
    GameState& g = gameState;
    IDirectDrawSurface* const surfaces[] = {
        graphics.primarySurface, graphics.backSurface, g.screenImage, g.mapChipImage,
        g.stringImage,           g.explosionImage,     g.titleImage,  g.clearSnapshot,
        g.endingSurface,         g.gameOverSnapshot};
    for (IDirectDrawSurface* surface : surfaces)
        if (!Restored(surface))
            return false;
    LoadGameImages();
    if (g.titleImage != nullptr) {
        graphics.LoadBitmapSurface(g.titleImage, 0, 0, 320, 280, ".\\Title.bmp", 0, 0);
        graphics.SetColorKey(g.titleImage, 0, 0);
    }
    for (IDirectDrawSurface* page : {g.clearSnapshot, g.endingSurface, g.gameOverSnapshot})
        graphics.FillSurface(page, 0);
    return true;
}

} // namespace

void PresentFrame() {
    if (graphics.Present(sceneHost.window) == DDERR_SURFACELOST)
        RestoreLostSurfaces();
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
