// Board drawing in pixels: cell squares at every size, an explosion with its label, sprite text,
// the red countdown digit and the stage-4 mosaic.
#include <gtest/gtest.h>

#include <memory>

#include "app/gameapp.h"
#include "game/board.h"
#include "game/gamestate.h"
#include "game/scenes.h"
#include "core/intervaltimer.h"
#include "graphics/graphics.h"
#include "platformtest.h"
#include "support/ddsupport.h"
#include "support/tempfolder.h"
#include "support/testwindow.h"

namespace {

constexpr uint32_t sheetColour = 0x11AA33;

class BoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformTest::SetClock(100000);
        CheckInterval(0, -1);
        window = MakeTestWindow("BoardTest", WS_OVERLAPPEDWINDOW | WS_POPUP, 0, 0, 640, 480);
        ShowWindow(window, SW_SHOW);
        gameApp.window = window;
        ASSERT_TRUE(graphics.InitDisplay(window, 320, 240, 32, true, nullptr));
        gameState = GameState{};
        ResetBoardTables();
        // Sheets filled with one colour, keyed, so every drawn sprite pixel is that colour.
        for (IDirectDrawSurface** sheet : {&gameState.mapChipImage, &gameState.stringImage,
                                           &gameState.explosionImage, &gameState.screenImage}) {
            int width = sheet == &gameState.mapChipImage     ? 288
                        : sheet == &gameState.stringImage    ? 312
                        : sheet == &gameState.explosionImage ? 512
                                                             : 320;
            int height = sheet == &gameState.mapChipImage     ? 32
                         : sheet == &gameState.stringImage    ? 72
                         : sheet == &gameState.explosionImage ? 48
                                                              : 240;
            ASSERT_TRUE(graphics.CreateOffscreenSurface(*sheet, width, height));
            graphics.FillSurface(*sheet, sheet == &gameState.screenImage ? 0x000000 : sheetColour);
            graphics.SetColorKey(*sheet, 0, 0);
        }
        graphics.FillSurface(graphics.backSurface, 0x222222);
    }
    void TearDown() override {
        gameState = GameState{};
        graphics.directDraw->Release();
        static_cast<DisplayBlock&>(graphics) = DisplayBlock{};
        graphics.RecordFrameMetrics();
        DestroyWindow(window);
        gameApp.window = nullptr;
        PlatformTest::UseRealClock();
    }
    // The bounding box of pixels of the given colour on the back surface.
    RECT Box(uint32_t colour) {
        std::vector<uint32_t> pixels = ReadPixels(graphics.backSurface);
        RECT box{320, 240, 0, 0};
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                if (pixels[static_cast<size_t>(y) * 320 + x] == colour) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box;
    }
    HWND window = nullptr;
};

TEST_F(BoardTest, CellSquaresForEverySizeIndex) {
    struct Case {
        int column, row, size;
        RECT box;
    };
    const Case cases[] = {
        {0, 0, 2, {20, 41, 49, 70}},     {0, 0, 4, {4, 25, 65, 86}},
        {1, 2, 0, {60, 113, 73, 126}},   {1, 2, 1, {56, 109, 77, 130}},
        {4, 4, 3, {140, 161, 185, 206}}, {2, 3, 2, {84, 137, 113, 166}},
    };
    for (const Case& c : cases) {
        graphics.FillSurface(graphics.backSurface, 0x222222);
        DrawCell(c.column, c.row, 3, c.size);
        RECT box = Box(sheetColour);
        EXPECT_EQ(c.box.left, box.left) << c.column << "," << c.row << " size " << c.size;
        EXPECT_EQ(c.box.top, box.top);
        EXPECT_EQ(c.box.right, box.right);
        EXPECT_EQ(c.box.bottom, box.bottom);
    }
    graphics.FillSurface(graphics.backSurface, 0x222222);
    DrawCell(0, 0, 3, 5);
    DrawCell(0, 0, 3, -1);
    EXPECT_EQ(320, Box(sheetColour).left) << "sizes outside 0 to 4 draw nothing";
    DrawCell(2, 2, -1, 2);
    RECT black = Box(0x000000);
    EXPECT_EQ(84, black.left);
    EXPECT_EQ(113, black.right);
}

TEST_F(BoardTest, ExplosionInTheLastCellDrawsItsFramesAndItsLabel) {
    gameState.cellKind[24] = 2;
    gameState.exploding[24] = 1;
    UpdateExplosions();
    // The label "100" at (147, 138), 75 x 25, and the frame in (131, 152)-(195, 216).
    RECT box = Box(sheetColour);
    EXPECT_EQ(131, box.left);
    EXPECT_EQ(138, box.top);
    EXPECT_EQ(147 + 75, box.right);
    EXPECT_EQ(216, box.bottom);
    EXPECT_EQ(1, gameState.explodeFrame[24]);
    for (int frame = 1; frame < 14; ++frame)
        UpdateExplosions();
    EXPECT_EQ(-1, gameState.exploding[24]) << "fourteen frames, then the cell empties";
    EXPECT_EQ(-1, gameState.cellKind[24]);
}

TEST_F(BoardTest, SpriteTextPlacesOneGlyphPerSizeAndSkipsSpaces) {
    DrawSpriteText(graphics.backSurface, 0, 100, "C AR", 40);
    std::vector<uint32_t> pixels = ReadPixels(graphics.backSurface);
    auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * 320 + x]; };
    EXPECT_EQ(sheetColour, at(20, 120));
    EXPECT_EQ(0x222222u, at(60, 120)) << "the space leaves a gap";
    EXPECT_EQ(sheetColour, at(100, 120));
    EXPECT_EQ(sheetColour, at(159, 139));
    EXPECT_EQ(0x222222u, at(160, 120));
}

TEST_F(BoardTest, RedDigitOnlyBelowTenSecondsAndTheMosaicSharpensOnStageFour) {
    gameState.stage = 4;
    gameState.mosaicSize = 10;
    gameState.clearQuota = 80;
    gameState.selColumn = -1;
    for (int timeLeft : {10, 9, 0}) {
        gameState.timeLeft = timeLeft;
        PlatformTest::AdvanceClock(25); // a frame is due, no second has passed
        StageFrame();
        RECT red = Box(0xFF0000);
        EXPECT_EQ(timeLeft < 10, red.left < 320) << timeLeft;
        if (timeLeft < 10) {
            EXPECT_GE(red.left, 75);
            EXPECT_GE(red.top, 65);
        }
    }
    // Each tick at a multiple of ten seconds takes one off the block size, down to 1.
    gameState.timeLeft = 91;
    for (int second = 0; second < 90; ++second) {
        PlatformTest::AdvanceClock(1000);
        StageFrame();
    }
    EXPECT_EQ(1, gameState.timeLeft);
    EXPECT_EQ(1, gameState.mosaicSize);
}

} // namespace
