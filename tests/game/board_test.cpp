// Board drawing in pixels, every sprite cell in a colour of its own, and the order of random draws.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "core/inputstate.h"
#include "core/intervaltimer.h"
#include "core/scenehost.h"
#include "game/board.h"
#include "game/gamestate.h"
#include "game/rules.h"
#include "game/scenes.h"
#include "game/timerslots.h"
#include "graphics/graphics.h"
#include "platformtest.h"
#include "support/ddsupport.h"
#include "support/testwindow.h"

namespace {

enum Sheet { mapChips = 1, glyphs = 2, explosions = 3 };
constexpr uint32_t background = 0x222222;

// The colour of cell index of a sheet: never black (the key) and never the background.
uint32_t Colour(Sheet sheet, int index) {
    return static_cast<uint32_t>(sheet) << 20 | static_cast<uint32_t>(index + 1) << 8 | 0x55;
}

class BoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformTest::Reset();
        PlatformTest::SetClock(100000);
        CheckInterval(0, TimerSlot::resetAll);
        // A frameless window whose client area is the 640 x 480 the mouse mapping assumes.
        window = MakeTestWindow("BoardTest", WS_POPUP, 0, 0, 640, 480);
        sceneHost.window = window;
        ASSERT_TRUE(graphics.InitDisplay(window, 320, 240, 32, true, nullptr));
        gameState = GameState{};
        ResetBoardTables();
        gameState.selColumn = -1;
        GameState& g = gameState;
        MakeSheet(g.mapChipImage, 288, 32, mapChips, 32, 32, 9);
        // The cursor frame and the marker show only their 2 x 2 corners; the rest is keyed out.
        for (int sprite : {Cell::cursor, Cell::marker}) {
            graphics.FillRect(g.mapChipImage, 32 * sprite, 0, 32 * sprite + 32, 32, 0);
            for (int corner = 0; corner < 4; ++corner) {
                int x = 32 * sprite + (corner % 2) * 30, y = (corner / 2) * 30;
                graphics.FillRect(g.mapChipImage, x, y, x + 2, y + 2, Colour(mapChips, sprite));
            }
        }
        MakeSheet(g.stringImage, 312, 72, glyphs, 24, 24, 13);
        MakeSheet(g.explosionImage, 512, 48, explosions, 32, 48, 16);
        graphics.CreateOffscreenSurface(g.screenImage, 320, 240); // black
        graphics.FillSurface(graphics.backSurface, background);
    }
    void TearDown() override {
        gameState = GameState{};
        graphics.directDraw->Release();
        static_cast<DisplayBlock&>(graphics) = DisplayBlock{};
        graphics.RecordFrameMetrics();
        sceneHost.window = nullptr;
        PlatformTest::Reset();
    }
    // Written through Lock: the display's clipper would cut fills beyond x = 320.
    static void MakeSheet(IDirectDrawSurface*& sheet, int width, int height, Sheet which,
                          int cellWidth, int cellHeight, int columns) {
        ASSERT_TRUE(graphics.CreateOffscreenSurface(sheet, width, height));
        std::vector<uint32_t> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(Colour(which, y / cellHeight * columns + x / cellWidth));
        ASSERT_TRUE(WritePixels(sheet, pixels));
        graphics.SetColorKey(sheet, 0, 0);
    }
    std::vector<uint32_t> Pixels() const { return ReadPixels(graphics.backSurface); }
    uint32_t At(int x, int y) const { return Pixels()[static_cast<size_t>(y) * 320 + x]; }
    RECT Box(uint32_t colour, int* count = nullptr) const {
        return Bounds(Pixels(), 320, colour, count);
    }
    HWND window = nullptr;
};

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(BoardTest, CellSquaresShowTheWholeSpriteOfTheirKindAtEverySize) {
    struct Case {
        int column, row, kind, size;
        RECT box;
    };
    const Case cases[] = {
        {0, 0, 3, 2, {20, 41, 49, 70}},     {0, 0, 0, 4, {4, 25, 65, 86}},
        {1, 2, 6, 0, {60, 113, 73, 126}},   {1, 2, 5, 1, {56, 109, 77, 130}},
        {4, 4, 1, 3, {140, 161, 185, 206}}, {2, 3, 2, 2, {84, 137, 113, 166}},
    };
    for (const Case& c : cases) {
        graphics.FillSurface(graphics.backSurface, background);
        DrawCell(c.column, c.row, c.kind, c.size);
        int count = 0;
        EXPECT_TRUE(c.box == Box(Colour(mapChips, c.kind), &count)) << c.kind << " size " << c.size;
        EXPECT_EQ((c.box.right - c.box.left) * (c.box.bottom - c.box.top), count) << c.kind;
    }
    graphics.FillSurface(graphics.backSurface, background);
    DrawCell(0, 0, 3, 5);
    DrawCell(0, 0, 3, -1);
    EXPECT_EQ(320, Box(Colour(mapChips, 3)).left) << "sizes outside 0 to 4 draw nothing";
    DrawCell(2, 2, Cell::empty, Cell::normalSize);
    DrawCell(0, 0, Cell::black, Cell::normalSize);
    int count = 0;
    Box(0, &count);
    EXPECT_EQ(2 * 29 * 29, count) << "both negative kinds paint black squares";
}

TEST_F(BoardTest, FocusPulsesTheTileOverABlackSquareUnderTheCursorFrame) {
    gameState.cellKind[CellIndex(1, 1)] = 4;
    const int sides[] = {21, 29, 21, 13}; // pulse phases 1, 2, 3, 0
    for (int side : sides) {
        graphics.FillSurface(graphics.backSurface, background);
        PlatformTest::AdvanceClock(200);
        DrawFocus(1, 1);
        RECT tile = Box(Colour(mapChips, 4));
        EXPECT_EQ(side, tile.right - tile.left) << "phase " << gameState.cursorPhase;
        EXPECT_TRUE((RECT{52, 73, 81, 102}) == Box(Colour(mapChips, Cell::cursor)));
    }
    EXPECT_EQ(0u, At(57, 90)) << "black behind the small tile, inside the frame";
    graphics.FillSurface(graphics.backSurface, background);
    DrawFocus(0, 5); // off the board: nothing
    DrawFocus(3, 3); // an empty cell gets the frame only
    EXPECT_EQ(320, Box(0).left);
    EXPECT_TRUE((RECT{116, 137, 145, 166}) == Box(Colour(mapChips, Cell::cursor)));
}

TEST_F(BoardTest, GrowingTilesStepThroughTheirSizesAndCellsSharingASlotTakeTurns) {
    GameState& g = gameState;
    int early = CellIndex(2, 1), late = CellIndex(1, 2); // both use slot 12
    ASSERT_EQ(TimerSlot::Growth(2, 1), TimerSlot::Growth(1, 2));
    g.appearKind[early] = 3;
    g.appearKind[late] = 5;
    g.appearKind[cellCount - 1] = 4; // a slot of its own: it grows as the early one
    // Square sides drawn at each 100 ms tick (0: nothing), and the steps reached.
    const int sides[] = {13, 13, 21, 29, 45, 61, 45, 29, 0};
    for (int tick = 0; tick < 9; ++tick) {
        graphics.FillSurface(graphics.backSurface, background);
        UpdateAppearing();
        RECT box = Box(Colour(mapChips, 3));
        EXPECT_EQ(sides[tick], std::max<LONG>(0, box.right - box.left)) << "tick " << tick;
        RECT last = Box(Colour(mapChips, 4));
        EXPECT_EQ(sides[tick], std::max<LONG>(0, last.right - last.left)) << "last, " << tick;
        EXPECT_EQ(0, g.appearStep[late]) << "the later cell waits, tick " << tick;
        PlatformTest::AdvanceClock(100);
    }
    EXPECT_EQ(std::make_pair(3, Cell::empty),
              std::make_pair(g.cellKind[early], g.appearKind[early]))
        << "landed";
    UpdateAppearing();
    EXPECT_EQ(1, g.appearStep[late]) << "now the later cell advances";
}

TEST_F(BoardTest, ATileLandingBesideTwoOfItsKindExplodesInTheSameFrame) {
    GameState& g = gameState;
    g.cellKind[0] = g.cellKind[1] = 2;
    g.appearKind[2] = 2;
    g.appearStep[2] = 7;
    g.clearQuota = 20;
    PlatformTest::AdvanceClock(100);
    UpdateAppearing();
    FindMatches();
    EXPECT_EQ(2, g.cellKind[2]);
    EXPECT_EQ((std::vector<int32_t>(3, Cell::exploding)),
              std::vector<int32_t>(g.exploding, g.exploding + 3));
}

TEST_F(BoardTest, ExplosionShowsFramesZeroToThirteenUnderItsLabelThenEmptiesTheCell) {
    gameState.cellKind[24] = 2;
    gameState.exploding[24] = Cell::exploding;
    for (int frame = 0; frame < 14; ++frame) {
        graphics.FillSurface(graphics.backSurface, background);
        UpdateExplosions();
        RECT box = Box(Colour(explosions, frame));
        EXPECT_EQ(std::make_tuple(131, 195, 216), std::make_tuple(box.left, box.right, box.bottom));
        // The label "100" at (147, 138), 25-pixel glyphs: "1" is glyph 27, "0" glyph 26.
        EXPECT_EQ(
            (std::vector<uint32_t>{Colour(glyphs, 27), Colour(glyphs, 26), Colour(glyphs, 26)}),
            (std::vector<uint32_t>{At(150, 140), At(175, 140), At(200, 140)}))
            << frame;
    }
    EXPECT_EQ(0u, At(160, 180)) << "the emptied cell is painted black in the last frame";
    EXPECT_EQ(std::make_pair(Cell::empty, Cell::empty),
              std::make_pair(gameState.exploding[24], gameState.cellKind[24]));
}

TEST_F(BoardTest, SpriteTextTakesEachCharactersOwnGlyphAndSkipsSpaces) {
    DrawSpriteText(graphics.backSurface, 0, 100, "C AN09Z", 40);
    const int expected[] = {2, -1, 0, 13, 26, 35, 25}; // glyph numbers; -1: a gap
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(expected[i] < 0 ? background : Colour(glyphs, expected[i]), At(40 * i + 20, 120))
            << i;
    EXPECT_EQ(Colour(glyphs, 25), At(279, 139)) << "each glyph fills its 40 x 40 place";
    EXPECT_EQ(background, At(280, 120));
}

TEST_F(BoardTest, MouseMapsToCellsOfTheClientArea) {
    struct Case {
        int clientWidth, clientHeight, x, y, column, row;
    };
    const Case cases[] = {
        {640, 480, 70, 70, 0, 0},   {640, 480, 63, 200, -1, 2}, {640, 480, 383, 383, 4, 4},
        {640, 480, 384, 100, 5, 0}, {632, 449, 126, 117, 1, 0}, {0, 0, 70, 70, -1, -1},
        {9, 480, 70, 70, -1, -1},   {640, 7, 70, 70, -1, -1},
    };
    for (const Case& c : cases) {
        MoveWindow(window, 0, 0, c.clientWidth, c.clientHeight, FALSE);
        inputState.mouseX = c.x;
        inputState.mouseY = c.y;
        int32_t column = 99, row = 99;
        MouseToCell(column, row);
        EXPECT_EQ(std::make_pair(c.column, c.row), std::make_pair(column, row))
            << c.clientWidth << "x" << c.clientHeight << " " << c.x << "," << c.y;
    }
}

TEST_F(BoardTest, RandomDrawsComeInTheirFixedOrder) {
    // Dealing: a kind, then a one-in-twenty draw, for each cell in turn.
    srand(4711);
    DealBoard();
    srand(4711);
    for (int i = 0; i < cellCount; ++i) {
        int kind = rand() % 6;
        EXPECT_EQ(rand() % 20 == 0 ? Cell::special : kind, gameState.cellKind[i]) << i;
    }
    // Spawning: column, row, then one in ten special, else a kind; an occupied cell draws two.
    ResetBoardTables();
    srand(99);
    SpawnTile();
    srand(99);
    int column = rand() % 5, row = rand() % 5;
    int kind = rand() % 10 == 0 ? Cell::special : rand() % 6;
    EXPECT_EQ(kind, gameState.appearKind[CellIndex(column, row)]);
    // A frame of stage 3 with no tile due draws exactly four values for its two waves.
    gameState.screenWave = 1;
    gameState.timeLeft = 50;
    CheckInterval(0, TimerSlot::resetAll);
    PlatformTest::AdvanceClock(25);
    srand(5);
    StageFrame();
    int next = rand();
    srand(5);
    for (int draw = 0; draw < 8; ++draw)
        rand();
    EXPECT_EQ(rand(), next);
}

TEST_F(BoardTest, AStageFrameDrawsEveryCellUpToTheLast) {
    // Kinds (column + 2 x row) mod 5: no two neighbours alike, so nothing explodes.
    for (int i = 0; i < cellCount; ++i)
        gameState.cellKind[i] = (i % boardSize + 2 * (i / boardSize)) % 5;
    gameState.timeLeft = 50;
    PlatformTest::AdvanceClock(25);
    StageFrame();
    for (int i = 0; i < cellCount; ++i)
        EXPECT_EQ(Colour(mapChips, gameState.cellKind[i]),
                  At(32 * (i % boardSize) + 34, 32 * (i / boardSize) + 55))
            << "cell " << i;
}

TEST_F(BoardTest, RedDigitOnlyBelowTenSecondsAndTheMosaicSharpensAtEveryTenSeconds) {
    gameState.stage = 4;
    gameState.mosaicSize = 10;
    gameState.clearQuota = 80;
    for (int timeLeft : {10, 9, 0}) {
        gameState.timeLeft = timeLeft;
        PlatformTest::AdvanceClock(25); // a frame is due, no second has passed
        StageFrame();
        RECT red = Box(0xFF0000);
        EXPECT_EQ(timeLeft < 10, red.left < 320) << timeLeft;
        EXPECT_TRUE(timeLeft >= 10 || (red.left >= 75 && red.top >= 65)) << timeLeft;
    }
    // Each tick that reaches a multiple of ten seconds takes one off the block size, down to 1.
    gameState.timeLeft = 99;
    for (int second = 98; second >= 0; --second) {
        PlatformTest::AdvanceClock(1000);
        StageFrame();
        ASSERT_EQ(second, gameState.timeLeft);
        EXPECT_EQ(std::max(1, std::min(10, second / 10 + (second % 10 != 0))), gameState.mosaicSize)
            << "at " << second << " s";
    }
}

} // namespace
