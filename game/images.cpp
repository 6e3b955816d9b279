// The game's pictures: the images every scene draws from, the title picture, and the frame's
// present with the recovery of lost surfaces.
#include "images.h"

#include <initializer_list>
#include <iterator>

#include <windows.h>
#include <mmsystem.h>

#include "core/release.h"
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

// How a lost display comes back: its surfaces restored, or, after a change of display mode that
// they cannot survive, the display and every picture made anew.
enum class Recovery { none, restore, remake };

// The game's surfaces that hold pictures, in one list.
IDirectDrawSurface** const pictureSurfaces[] = {
    &gameState.screenImage,    &gameState.mapChipImage,    &gameState.stringImage,
    &gameState.explosionImage, &gameState.titleImage,      &gameState.clearSnapshot,
    &gameState.endingSurface,  &gameState.gameOverSnapshot};
IDirectDrawSurface** const pages[] = {&gameState.clearSnapshot, &gameState.endingSurface,
                                      &gameState.gameOverSnapshot};

// Draws again what the surfaces held: the pictures from their files, the frozen frames and the
// ending's page black (their pictures are gone with the loss).
void RedrawPictures(bool title) {
    LoadGameImages();
    if (title)
        LoadTitleImage();
    for (IDirectDrawSurface** page : pages)
        graphics.FillSurface(*page, 0);
}

// Brings every lost surface back and redraws the pictures: none when done, restore while the
// display refuses for now (the next frame tries again), remake when a surface was made in
// another display mode.
Recovery RestoreLostSurfaces() {
    IDirectDrawSurface* surfaces[2 + std::size(pictureSurfaces)] = {graphics.primarySurface,
                                                                    graphics.backSurface};
    for (size_t i = 0; i < std::size(pictureSurfaces); ++i)
        surfaces[2 + i] = *pictureSurfaces[i];
    for (IDirectDrawSurface* surface : surfaces) {
        if (surface == nullptr || surface->IsLost() != DDERR_SURFACELOST)
            continue;
        HRESULT restored = surface->Restore();
        if (restored == DDERR_WRONGMODE)
            return Recovery::remake;
        if (FAILED(restored))
            return Recovery::restore;
    }
    RedrawPictures(gameState.titleImage != nullptr);
    return Recovery::none;
}

// Makes the display and every picture anew, the frozen pages at their sizes. Once a second at
// most while the display cannot be made (each try logs its failure).
Recovery RemakeDisplay() {
    static DWORD lastTry = 0;
    static bool tried = false;
    DWORD now = timeGetTime();
    if (tried && now - lastTry < 1000)
        return Recovery::remake;
    tried = true;
    lastTry = now;
    int32_t widths[3] = {}, heights[3] = {};
    for (int i = 0; i < 3; ++i)
        graphics.GetSurfaceSize(*pages[i], &widths[i], &heights[i]);
    bool title = gameState.titleImage != nullptr;
    for (IDirectDrawSurface** picture : pictureSurfaces)
        ReleaseAndClear(*picture);
    if (!graphics.RemakeDisplay(sceneHost.window))
        return Recovery::remake;
    tried = false;
    for (int i = 0; i < 3; ++i)
        if (widths[i] > 0)
            graphics.CreateOffscreenSurface(*pages[i], widths[i], heights[i]);
    RedrawPictures(title);
    return Recovery::none;
}

} // namespace

void LoadTitleImage() {
    graphics.LoadBitmapSurface(gameState.titleImage, 0, 0, 320, 280, ".\\Title.bmp", 0, 0);
    graphics.SetColorKey(gameState.titleImage, 0, 0);
}

void PresentFrame() {
    // Pending until every surface is back: the primary and back surfaces may return while a
    // later one still refuses, and then Present succeeds again before the pictures are reloaded.
    static Recovery pending = Recovery::none;
    if (graphics.Present(sceneHost.window) == DDERR_SURFACELOST && pending == Recovery::none)
        pending = Recovery::restore;
    if (pending == Recovery::restore)
        pending = RestoreLostSurfaces();
    if (pending == Recovery::remake)
        pending = RemakeDisplay();
}
