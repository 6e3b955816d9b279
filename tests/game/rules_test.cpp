// The rules of play: groups, blasts, scoring, the quota, spawning, selecting and the global keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/gameapp.h"
#include "core/inputstate.h"
#include "game/gamestate.h"
#include "game/rules.h"
#include "game/scenes.h"

namespace {

void Noop() {}

class RulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int32_t scene = Scene::startup; scene <= Scene::gameOver; ++scene)
            if (gameApp.scenes[scene] == nullptr)
                gameApp.RegisterScene(scene, Noop);
        gameApp.currentScene = Scene::stage;
        gameState = GameState{};
        ResetBoardTables();
        gameState.sceneStart = 0;
        gameState.clearQuota = 20;
        gameState.selColumn = -1;
        gameState.selRow = -1;
        inputState = InputState{};
    }
    // A board from five rows of five characters with '/' between: '.' empty, '0'-'6' a kind.
    static void Board(const std::string& rows) {
        for (int i = 0; i < cellCount; ++i) {
            char c = rows[static_cast<size_t>(i + i / boardSize)];
            gameState.cellKind[i] = c == '.' ? Cell::empty : c - '0';
        }
    }
    static std::string Exploding() {
        std::string marks;
        for (int i = 0; i < cellCount; ++i)
            marks += std::string(i % boardSize == 0 && i > 0 ? "/" : "") +
                     (gameState.exploding[i] == Cell::exploding ? 'X' : '.');
        return marks;
    }
};

TEST_F(RulesTest, GroupsOfThreeOrMoreExplodeInEveryShape) {
    struct Case {
        const char* label;
        const char* board;     // five rows, '/' between them
        const char* exploding; // 'X' for an exploding cell
    };
    const Case cases[] = {
        {"line", "111../...../...../...../.....", "XXX../...../...../...../....."},
        {"column", "2..../2..../2..../...../.....", "X..../X..../X..../...../....."},
        {"bend", "3..../33.../...../...../.....", "X..../XX.../...../...../....."},
        {"square", "44.../44.../...../...../.....", "XX.../XX.../...../...../....."},
        {"pair", "55.../...../...../...../.....", "...../...../...../...../....."},
        {"corners", "0.0../.0.../...../...../.....", "...../...../...../...../....."},
        {"mixed kinds", "010../...../...../...../.....", "...../...../...../...../....."},
        {"long snake", "6666./...6./...../...../.....", "XXXX./...X./...../...../....."},
    };
    for (const Case& c : cases) {
        SetUp();
        Board(c.board);
        FindMatches();
        std::string expected(c.exploding);
        EXPECT_EQ(expected, Exploding()) << c.label;
        auto count = static_cast<int32_t>(std::count(expected.begin(), expected.end(), 'X'));
        EXPECT_EQ(100 * count, gameState.score) << c.label;
        EXPECT_EQ(20 - count, gameState.clearQuota) << c.label;
    }
}

TEST_F(RulesTest, ExplodingTilesScoreOnceButStillCompleteGroups) {
    Board("111../...../...../...../.....");
    FindMatches();
    FindMatches();
    EXPECT_EQ(300, gameState.score) << "tiles already exploding are not scored again";
    gameState.cellKind[3] = 1; // a tile landing next to the exploding group
    FindMatches();
    EXPECT_EQ(1, gameState.exploding[3]);
    EXPECT_EQ(400, gameState.score);
}

TEST_F(RulesTest, GrowingTilesBelongToNoGroup) {
    Board("11.../...../...../...../.....");
    gameState.appearKind[2] = 1; // growing, not yet in the board
    FindMatches();
    EXPECT_EQ(0, gameState.score);
}

TEST_F(RulesTest, SpecialTileBlastsEveryTileOfTheOtherKind) {
    Board("62.2./..2../2..../...2./.....");
    gameState.selColumn = 0;
    gameState.selRow = 0;
    SwapOrBlast(1, 0);
    EXPECT_EQ("XX.X./..X../X..../...X./.....", Exploding());
    EXPECT_EQ(600, gameState.score) << "five tiles and the special one";
    EXPECT_EQ(15, gameState.clearQuota) << "the special tile does not count";
    EXPECT_EQ(6, gameState.cellKind[0]) << "it does not move";
}

TEST_F(RulesTest, BlastOnExplodingTilesCountsThemAgain) {
    Board("62.2./...../...../...../.....");
    gameState.exploding[3] = 1; // already exploding, still kind 2
    gameState.selColumn = 0;
    gameState.selRow = 0;
    SwapOrBlast(1, 0);
    EXPECT_EQ(300, gameState.score);
    EXPECT_EQ(18, gameState.clearQuota);
}

TEST_F(RulesTest, OrdinarySwapMovesOnlyTheKinds) {
    Board("12.../...../...../...../.....");
    gameState.exploding[1] = 1;
    gameState.selColumn = 0;
    gameState.selRow = 0;
    SwapOrBlast(1, 0);
    EXPECT_EQ(2, gameState.cellKind[0]);
    EXPECT_EQ(1, gameState.cellKind[1]);
    EXPECT_EQ(1, gameState.exploding[1]) << "the explosion stays with its cell";
    EXPECT_EQ(-1, gameState.exploding[0]);
}

TEST_F(RulesTest, QuotaCrossingZeroClearsTheStageAndKeepsCounting) {
    Board("63.3./3..../...../.3.../3....");
    gameState.clearQuota = 2;
    gameState.selColumn = 0;
    gameState.selRow = 0;
    SwapOrBlast(1, 0);
    EXPECT_EQ(-3, gameState.clearQuota);
    EXPECT_EQ(1, gameState.sceneStart);
    EXPECT_EQ(Scene::clear, gameApp.currentScene);
}

TEST_F(RulesTest, NewTilesStartOnlyInFreeCells) {
    Board("00000/00000/00.00/00000/00000");
    gameState.exploding[0] = 1;
    srand(7);
    for (int second = 0; second < 500; ++second)
        SpawnTile();
    for (int i = 0; i < cellCount; ++i)
        EXPECT_EQ(i == 12 ? gameState.appearKind[12] : -1, gameState.appearKind[i]) << i;
    EXPECT_NE(-1, gameState.appearKind[12]) << "500 tries find the one free cell";
    EXPECT_GE(gameState.appearKind[12], 0);
    EXPECT_LE(gameState.appearKind[12], 6);
}

TEST_F(RulesTest, SelectingClickingAgainDraggingAndRightButton) {
    Board("12.../...../...../...../.....");
    inputState.leftButton = 1;
    SelectionStep(0, 0);
    HandleSwapClick(0, 0);
    EXPECT_EQ(0, gameState.selColumn);
    EXPECT_EQ(0, inputState.leftButton) << "the click on the selected tile is used up";
    inputState.leftButton = 1;
    SelectionStep(0, 0);
    HandleSwapClick(0, 0);
    EXPECT_EQ(0, gameState.selColumn) << "a second click on it keeps the selection";
    // Pressing beside the board keeps the click; dragging onto a tile swaps.
    inputState.leftButton = 1;
    SelectionStep(-1, 0);
    HandleSwapClick(-1, 0);
    EXPECT_EQ(1, inputState.leftButton);
    SelectionStep(1, 0);
    HandleSwapClick(1, 0);
    EXPECT_EQ(2, gameState.cellKind[0]);
    EXPECT_EQ(1, gameState.cellKind[1]);
    EXPECT_EQ(-1, gameState.selColumn);
    // The right button drops a selection in the frame it is down.
    inputState.leftButton = 1;
    SelectionStep(0, 0);
    inputState.leftButton = 0;
    inputState.rightButton = 1;
    SelectionStep(0, 0);
    EXPECT_EQ(-1, gameState.selColumn);
}

TEST_F(RulesTest, StagesAreSetUpWithTheirQuotaAndEffects) {
    struct Expected {
        int32_t stage, quota, mosaic, wave;
    };
    const Expected stages[] = {{1, 20, 1, 0}, {2, 40, 1, 0}, {3, 60, 1, 1}, {4, 80, 10, 1}};
    gameState.score = 1234;
    for (const Expected& e : stages) {
        SetUpStage();
        EXPECT_EQ(e.stage, gameState.stage);
        EXPECT_EQ(99, gameState.timeLeft);
        EXPECT_EQ(e.quota, gameState.clearQuota);
        EXPECT_EQ(e.mosaic, gameState.mosaicSize);
        EXPECT_EQ(e.wave, gameState.screenWave);
        EXPECT_EQ(-1, gameState.selColumn);
        EXPECT_EQ(1234, gameState.score) << "the score carries over";
        for (int i = 0; i < cellCount; ++i) {
            EXPECT_GE(gameState.cellKind[i], 0);
            EXPECT_LE(gameState.cellKind[i], 6);
            EXPECT_EQ(-1, gameState.appearKind[i]);
            EXPECT_EQ(-1, gameState.exploding[i]);
        }
    }
}

TEST_F(RulesTest, GlobalKeysDealClearAndEndTheGame) {
    SetUpStage();
    gameState.score = 500;
    gameState.selColumn = 2;
    gameState.selRow = 3;
    gameState.exploding[4] = 1;
    inputState.keyCode = VK_F1;
    HandleGlobalKeys();
    EXPECT_EQ(-1, gameState.exploding[4]);
    EXPECT_EQ(500, gameState.score);
    EXPECT_EQ(2, gameState.selColumn);
    EXPECT_EQ(99, gameState.timeLeft);
    inputState.keyCode = VK_F2;
    HandleGlobalKeys();
    EXPECT_EQ(0, gameState.clearQuota);
    EXPECT_EQ(Scene::clear, gameApp.currentScene);
    EXPECT_EQ(1, gameState.sceneStart);
    inputState.keyCode = VK_F3;
    HandleGlobalKeys();
    EXPECT_EQ(Scene::gameOver, gameApp.currentScene);
}

} // namespace
