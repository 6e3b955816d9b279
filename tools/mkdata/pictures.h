// The game's pictures, made at build time.
#pragma once

#include "picture.h"

Picture MakeScreenImage(); // 320 x 240 stage background
// Tile kind (0 to 6) drawn size x size pixels at (left, top); the map chip has them at 32.
void DrawTileAt(Picture& picture, int left, int top, int size, int kind);
Picture MakeMapChip();   // 288 x 32: six tiles, the special tile, cursor frame, selection marker
Picture MakeString();    // 312 x 72: 24 x 24 glyphs A to Z and 0 to 9
Picture MakeExplosion(); // 512 x 48: fourteen 32-pixel frames in rows 1 to 46
Picture MakeTitle();     // 320 x 280: title picture and the strip below it
