// GameState: the one record of the puzzle game, its board tables, and the helpers all scenes share.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <cstdio>

constexpr int boardSize = 5;
constexpr int cellCount = boardSize * boardSize;
// The ending's mosaic size when a line appears; it sharpens by one every 100 ms, down to 0.
constexpr int32_t endingMosaicStart = 20;

// What a cell of the board tables holds, and the sprites of the map-chip sheet: tile kinds are
// also sprite numbers (kind k is the sprite at x = 32k).
namespace Cell {
constexpr int32_t empty = -1;     // cellKind, appearKind: no tile; exploding: not exploding
constexpr int32_t black = -2;     // DrawCell: a black square
constexpr int32_t kindCount = 6;  // the ordinary kinds 0 to 5
constexpr int32_t special = 6;    // the sparkle tile, which blasts a whole kind
constexpr int32_t cursor = 7;     // sprite: the cursor frame
constexpr int32_t marker = 8;     // sprite: the selection marker
constexpr int32_t exploding = 1;  // exploding: the tile is exploding
constexpr int32_t normalSize = 2; // DrawCell size index of a tile at rest
} // namespace Cell

struct GameState {
    int32_t sceneStart = 1;
    int32_t stage = 0;
    int32_t score = 0;
    int32_t timeLeft = 0;
    int32_t clearQuota = 0;
    int32_t mosaicSize = 0;
    int32_t screenWave = 0;
    int32_t selColumn = 0;
    int32_t selRow = 0;
    int32_t cursorPhase = 0;
    IDirectDrawSurface* titleImage = nullptr;
    int32_t titleWavePhase = 0;
    int32_t titleWaveAmplitude = 0;
    IDirectDrawSurface* clearSnapshot = nullptr;
    int32_t clearChars = 0;
    FILE* endingFile = nullptr;
    IDirectDrawSurface* endingSurface = nullptr;
    int32_t endingMosaic = endingMosaicStart;
    IDirectDrawSurface* gameOverSnapshot = nullptr;

    // The board: one entry per cell, index = column + 5 x row.
    int32_t cellKind[cellCount] = {};
    int32_t matchCount[cellCount] = {};
    int32_t appearKind[cellCount] = {};
    int32_t appearStep[cellCount] = {};
    int32_t exploding[cellCount] = {};
    int32_t explodeFrame[cellCount] = {};

    // The four images loaded at start-up and kept for the whole run.
    IDirectDrawSurface* screenImage = nullptr;
    IDirectDrawSurface* mapChipImage = nullptr;
    IDirectDrawSurface* stringImage = nullptr;
    IDirectDrawSurface* explosionImage = nullptr;
};

extern GameState gameState;

inline int CellIndex(int column, int row) {
    return column + boardSize * row;
}
inline bool InsideBoard(int column, int row) {
    return column >= 0 && column < boardSize && row >= 0 && row < boardSize;
}

// Every cell empty: no tile, no growing tile, no explosion, counters at 0.
void ResetBoardTables();
// A random kind in every cell (1 in 20 of them the special kind 6).
void DealBoard();
// The stage scene's start: next stage number, 99 seconds, quota, effects, music, a fresh board.
void SetUpStage();
// Stops slot 0, loads fileName into it and plays it (repeats -1: without end, 0: once).
void PlaySceneMusic(const char* fileName, int32_t repeats);
// Esc ends the program, F1 deals a new board, F2 clears the stage, F3 ends the game.
void HandleGlobalKeys();
// Sets the scene start flag and switches to scene, which starts over on its next turn.
void StartScene(int32_t scene);
