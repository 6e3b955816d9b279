// Board rules: new tiles, selecting and swapping, the special tile's blast, groups and scoring.
#pragma once

#include <cstdint>

// Tries one random cell for a new growing tile (1 in 10 of them special).
void SpawnTile();
// Right button drops the selection; left button on a tile selects it when none is selected.
void SelectionStep(int32_t mouseColumn, int32_t mouseRow);
// Draws the selection markers and carries out a second click on another tile.
void HandleSwapClick(int32_t mouseColumn, int32_t mouseRow);
// Swaps the selected tile with (column, row), or blasts that tile's kind when the selected tile
// is the special one.
void SwapOrBlast(int32_t column, int32_t row);
// Marks one cell as exploding: 100 points and one tile off the quota; a met quota clears the stage.
void BlowUpTile(int32_t cell);
// Blows up every tile in an edge-connected group of three or more of one kind.
void FindMatches();
// The neighbour count behind FindMatches.
void CountLinked(int32_t column, int32_t row, int32_t& count);
