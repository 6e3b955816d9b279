// The game's pictures: the images every scene draws from, the title picture, and the frame's
// present with the recovery of lost surfaces.
#include "images.h"

#include <initializer_list>

#include "core/scenehost.h"
#include "gamestate.h"
#include "graphics/graphics.h"

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
    if (g.titleImage != nullptr)
        LoadTitleImage();
    for (IDirectDrawSurface* page : {g.clearSnapshot, g.endingSurface, g.gameOverSnapshot})
        graphics.FillSurface(page, 0);
    return true;
}

} // namespace

void LoadTitleImage() {
    graphics.LoadBitmapSurface(gameState.titleImage, 0, 0, 320, 280, ".\\Title.bmp", 0, 0);
    graphics.SetColorKey(gameState.titleImage, 0, 0);
}

void PresentFrame() {
    // Pending until every surface is back: the primary and back surfaces may return while a
    // later one still refuses, and then Present succeeds again before the pictures are reloaded.
    static bool restorePending = false;
    if (graphics.Present(sceneHost.window) == DDERR_SURFACELOST || restorePending)
        restorePending = !RestoreLostSurfaces();
}
