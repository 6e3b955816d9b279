// The interval-timer slots the game uses. Slots belong to no one: the ending runs only when no
// stage does, so it reuses the stage's slots 0 and 1 for its own timing.
#pragma once

#include <cstdint>

namespace TimerSlot {
constexpr int32_t resetAll = -1;    // stamps every slot with the current time
constexpr int32_t stageFrame = 0;   // one stage frame every 20 ms
constexpr int32_t endingMosaic = 0; // one mosaic step of the ending every 100 ms (shared)
constexpr int32_t newTile = 1;      // a new tile on the stage every second
constexpr int32_t endingLine = 1;   // the ending's next line after 5 s (shared)
constexpr int32_t countdown = 2;    // the stage's one-second countdown
constexpr int32_t focusPulse = 3;   // the focused tile's pulse every 200 ms
constexpr int32_t clearCaption = 5; // one more letter of the clear caption every 500 ms
constexpr int32_t firstGrowth = 10; // growth steps of new tiles, slots 10 to 26 (below)

// The growth slot of a cell is 10 + column x row, so cells share slots ((2, 1) and (1, 2), all of
// row 0 and column 0): deliberate, it decides which of two growing tiles advances first.
constexpr int32_t Growth(int32_t column, int32_t row) {
    return firstGrowth + column * row;
}
} // namespace TimerSlot
