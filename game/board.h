// Drawing the board: tiles at five sizes, the focus pulse, growing tiles, explosions, sprite text.
#pragma once

#include <ddraw.h>

#include <cstdint>

// Sprite kind of the map chips (negative: a black square) into the cell's square of sizeIndex
// 0 to 4 (2 is normal); other sizes draw nothing.
void DrawCell(int32_t column, int32_t row, int32_t kind, int32_t sizeIndex);
// The pulsing tile and cursor frame on the selected cell, else on the mouse cell.
void DrawFocus(int32_t mouseColumn, int32_t mouseRow);
// Advances and draws growing tiles; a finished one lands in the board.
void UpdateAppearing();
// Advances and draws explosions with their "100"; a finished one empties its cell.
void UpdateExplosions();
// Upper-case letters, digits and spaces from the sprite font, size x size pixels each.
void DrawSpriteText(IDirectDrawSurface* surface, int32_t x, int32_t y, const char* text,
                    int32_t size);
