// Board drawing and its animations: cells, focus, growing tiles, explosions and sprite-font text.
#include "board.h"

#include <cstring>

#include "core/intervaltimer.h"
#include "gamestate.h"
#include "graphics/graphics.h"
#include "timerslots.h"

namespace {

constexpr int sizeOffsets[5] = {8, 4, 0, -8, -16};
constexpr int growthSizes[7] = {0, 1, 2, 3, 4, 3, 2};
constexpr int pulseSizes[4] = {0, 1, 2, 1};
constexpr DWORD spriteBlit = DDBLT_WAIT | DDBLT_KEYSRC;

} // namespace

void DrawCell(int32_t column, int32_t row, int32_t kind, int32_t sizeIndex) {
    if (sizeIndex < 0 || sizeIndex > 4)
        return;
    int o = sizeOffsets[sizeIndex];
    int left = 32 * column + 20 + o;
    int top = 32 * row + 41 + o;
    int right = 32 * column + 49 - o;
    int bottom = 32 * row + 70 - o;
    if (kind < 0)
        graphics.FillRect(graphics.backSurface, left, top, right, bottom, 0);
    else
        graphics.BltRect(graphics.backSurface, left, top, right, bottom, gameState.mapChipImage,
                         32 * kind, 0, 32 * kind + 32, 32, spriteBlit);
}

void DrawFocus(int32_t mouseColumn, int32_t mouseRow) {
    GameState& g = gameState;
    int column = g.selColumn != -1 ? g.selColumn : mouseColumn;
    int row = g.selColumn != -1 ? g.selRow : mouseRow;
    if (!InsideBoard(column, row))
        return;
    int kind = g.cellKind[CellIndex(column, row)];
    if (kind != Cell::empty) {
        if (CheckInterval(200, TimerSlot::focusPulse))
            g.cursorPhase = (g.cursorPhase + 1) % 4;
        DrawCell(column, row, Cell::black, Cell::normalSize);
        DrawCell(column, row, kind, pulseSizes[g.cursorPhase]);
    }
    DrawCell(column, row, Cell::cursor, Cell::normalSize);
}

void UpdateAppearing() {
    GameState& g = gameState;
    for (int i = 0; i < cellCount; ++i) {
        if (g.appearKind[i] == Cell::empty)
            continue;
        int column = i % boardSize;
        int row = i / boardSize;
        int step = g.appearStep[i];
        int size = step < 7 ? growthSizes[step] : -1; // step 7 draws nothing
        if (CheckInterval(100, TimerSlot::Growth(column, row)))
            g.appearStep[i] += 1;
        if (g.appearStep[i] > 7) {
            g.cellKind[i] = g.appearKind[i];
            g.appearKind[i] = Cell::empty;
            g.appearStep[i] = 0;
        } else {
            DrawCell(column, row, g.appearKind[i], size);
        }
    }
}

void UpdateExplosions() {
    GameState& g = gameState;
    for (int i = 0; i < cellCount; ++i) {
        if (g.exploding[i] == Cell::empty)
            continue;
        int column = i % boardSize;
        int row = i / boardSize;
        DrawSpriteText(graphics.backSurface, 32 * column + 19, 32 * row + 10, "100", 25);
        int frame = g.explodeFrame[i];
        g.explodeFrame[i] = frame + 1;
        graphics.BltRect(graphics.backSurface, 32 * column + 3, 32 * row + 24, 32 * column + 67,
                         32 * row + 88, gameState.explosionImage, 32 * frame, 1, 32 * frame + 32,
                         47, spriteBlit);
        if (g.explodeFrame[i] > 13) {
            g.exploding[i] = Cell::empty;
            g.cellKind[i] = Cell::empty;
            g.appearKind[i] = Cell::empty;
            g.explodeFrame[i] = 0;
            DrawCell(column, row, Cell::empty, Cell::normalSize);
        }
    }
}

void DrawSpriteText(IDirectDrawSurface* surface, int32_t x, int32_t y, const char* text,
                    int32_t size) {
    size_t length = strlen(text);
    for (size_t i = 0; i < length; ++i, x += size) {
        char c = text[i];
        if (c == ' ')
            continue;
        // Digits follow the letters in the sheet: "0" (code 48) is glyph 26, hence code - 22.
        int glyph = (c >= '0' && c <= '9') ? c - 22 : c - 65;
        int glyphRow = glyph / 13;
        int glyphColumn = glyph - 13 * glyphRow;
        graphics.BltRect(surface, x, y, x + size, y + size, gameState.stringImage, 24 * glyphColumn,
                         24 * glyphRow, 24 * glyphColumn + 24, 24 * glyphRow + 24, spriteBlit);
    }
}
