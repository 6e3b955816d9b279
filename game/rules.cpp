// The rules of play on the 5 x 5 board.
#include "rules.h"

#include <cstdlib>

#include "core/inputstate.h"
#include "board.h"
#include "gamestate.h"
#include "scenes.h"

void SpawnTile() {
    GameState& g = gameState;
    int column = rand() % boardSize;
    int row = rand() % boardSize;
    int i = CellIndex(column, row);
    if (g.cellKind[i] != Cell::empty || g.appearKind[i] != Cell::empty)
        return;
    g.appearKind[i] = rand() % 10 == 0 ? Cell::special : rand() % Cell::kindCount;
}

void SelectionStep(int32_t mouseColumn, int32_t mouseRow) {
    GameState& g = gameState;
    if (inputState.rightButton == 1)
        g.selColumn = -1;
    if (inputState.leftButton == 1 && g.selColumn == -1 && InsideBoard(mouseColumn, mouseRow) &&
        g.cellKind[CellIndex(mouseColumn, mouseRow)] != Cell::empty) {
        g.selColumn = mouseColumn;
        g.selRow = mouseRow;
    }
}

void HandleSwapClick(int32_t mouseColumn, int32_t mouseRow) {
    GameState& g = gameState;
    if (g.selColumn == -1)
        return;
    if (g.cellKind[CellIndex(g.selColumn, g.selRow)] == Cell::empty) {
        g.selColumn = -1;
        return;
    }
    DrawCell(g.selColumn, g.selRow, Cell::marker, Cell::normalSize);
    if (!InsideBoard(mouseColumn, mouseRow) ||
        g.cellKind[CellIndex(mouseColumn, mouseRow)] == Cell::empty)
        return;
    DrawCell(mouseColumn, mouseRow, Cell::marker, Cell::normalSize);
    if (inputState.leftButton == 1) {
        if (mouseColumn != g.selColumn || mouseRow != g.selRow) {
            SwapOrBlast(mouseColumn, mouseRow);
            g.selColumn = -1;
        }
        inputState.leftButton = 0;
    }
}

void SwapOrBlast(int32_t column, int32_t row) {
    GameState& g = gameState;
    int s = CellIndex(g.selColumn, g.selRow);
    int t = CellIndex(column, row);
    if (g.cellKind[s] != Cell::special) {
        int kind = g.cellKind[s];
        g.cellKind[s] = g.cellKind[t];
        g.cellKind[t] = kind;
        return;
    }
    int target = g.cellKind[t];
    for (int i = 0; i < cellCount; ++i)
        if (g.cellKind[i] == target)
            BlowUpTile(i);
    g.score += 100;
    g.exploding[s] = Cell::exploding;
}

void BlowUpTile(int32_t cell) {
    GameState& g = gameState;
    g.exploding[cell] = Cell::exploding;
    g.score += 100;
    g.clearQuota -= 1;
    if (g.clearQuota <= 0)
        StartScene(Scene::clear);
}

void CountLinked(int32_t column, int32_t row, int32_t& count) {
    const GameState& g = gameState;
    static const int steps[4][2] = {{0, -1}, {-1, 0}, {1, 0}, {0, 1}};
    int kind = g.cellKind[CellIndex(column, row)];
    for (const auto& step : steps) {
        int c = column + step[0];
        int r = row + step[1];
        if (!InsideBoard(c, r) || g.cellKind[CellIndex(c, r)] != kind)
            continue;
        if (count != 0) {
            count += 1;
        } else {
            count = 1;
            CountLinked(c, r, count);
        }
    }
}

void FindMatches() {
    GameState& g = gameState;
    for (int32_t& count : g.matchCount)
        count = 0;
    for (int i = 0; i < cellCount; ++i)
        if (g.cellKind[i] != Cell::empty && g.exploding[i] == Cell::empty &&
            g.appearKind[i] == Cell::empty)
            CountLinked(i % boardSize, i / boardSize, g.matchCount[i]);
    for (int i = 0; i < cellCount; ++i)
        if (g.matchCount[i] >= 3)
            BlowUpTile(i);
}
