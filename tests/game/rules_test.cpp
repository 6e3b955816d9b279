// The rules of play: groups, blasts, scoring, the quota, spawning, selecting and the global keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

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
    // In marks, 'X' makes a cell's tile exploding already, 'G' makes it a growing tile instead.
    static void Board(const std::string& rows, const std::string& marks = "") {
        for (int i = 0; i < cellCount; ++i) {
            auto at = static_cast<size_t>(i + i / boardSize);
            int kind = rows[at] == '.' ? Cell::empty : rows[at] - '0';
            char mark = at < marks.size() ? marks[at] : '.';
            gameState.cellKind[i] = mark == 'G' ? Cell::empty : kind;
            gameState.appearKind[i] = mark == 'G' ? kind : Cell::empty;
            gameState.exploding[i] = mark == 'X' ? Cell::exploding : Cell::empty;
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
        const char* board;
        const char* marks;
        const char* exploding; // afterwards
        int32_t newTiles;      // scored and counted off the quota
    };
    const char* none = "...../...../...../...../.....";
    const Case cases[] = {
        {"line", "111../...../...../...../.....", "", "XXX../...../...../...../.....", 3},
        {"column", "2..../2..../2..../...../.....", "", "X..../X..../X..../...../.....", 3},
        {"bend", "3..../33.../...../...../.....", "", "X..../XX.../...../...../.....", 3},
        {"square", "44.../44.../...../...../.....", "", "XX.../XX.../...../...../.....", 4},
        {"pair", "55.../...../...../...../.....", "", none, 0},
        {"corners", "0.0../.0.../...../...../.....", "", none, 0},
        {"mixed kinds", "010../...../...../...../.....", "", none, 0},
        {"long snake", "6666./...6./...../...../.....", "", "XXXX./...X./...../...../.....", 5},
        {"exploding tiles complete a group but score once", "1111./...../...../...../.....",
         "XXX..", "XXXX./...../...../...../.....", 1},
        {"growing tiles belong to no group", "111../...../...../...../.....", "..G..", none, 0},
        {"the board's last cell", "...../...../...../....1/...11", "",
         "...../...../...../....X/...XX", 3},
    };
    for (const Case& c : cases) {
        SetUp();
        Board(c.board, c.marks);
        FindMatches();
        EXPECT_EQ(std::make_tuple(std::string(c.exploding), 100 * c.newTiles, 20 - c.newTiles),
                  std::make_tuple(Exploding(), gameState.score, gameState.clearQuota))
            << c.label;
    }
    // The quota: reaching exactly zero clears the stage; one short does not.
    for (int32_t quota : {3, 4}) {
        SetUp();
        gameState.clearQuota = quota;
        Board("111../...../...../...../.....");
        FindMatches();
        EXPECT_EQ(quota == 3 ? Scene::clear : Scene::stage, gameApp.currentScene) << quota;
    }
}

TEST_F(RulesTest, SwapMovesOnlyKindsAndTheSpecialTileBlastsTheOtherKind) {
    struct Case {
        const char* label;
        const char* board;
        const char* marks;
        int32_t quota;
        const char* exploding; // afterwards
        int32_t score, quotaAfter, scene, firstKind, secondKind;
    };
    const Case cases[] = {
        {"ordinary swap; the explosion stays with its cell", "12.../...../...../...../.....",
         ".X...", 20, ".X.../...../...../...../.....", 0, 20, Scene::stage, 2, 1},
        {"blast: six tiles to the last cell and the special one, which does not count or move",
         "62.2./..2../2..../...2./....2", "", 20, "XX.X./..X../X..../...X./....X", 700, 14,
         Scene::stage, 6, 2},
        {"blast on exploding tiles counts them again", "62.2./...../...../...../.....", "...X.", 20,
         "XX.X./...../...../...../.....", 300, 18, Scene::stage, 6, 2},
        {"quota crossing zero clears the stage and keeps counting", "63.3./3..../...../.3.../3....",
         "", 2, "XX.X./X..../...../.X.../X....", 600, -3, Scene::clear, 6, 3},
    };
    for (const Case& c : cases) {
        SetUp();
        Board(c.board, c.marks);
        gameState.clearQuota = c.quota;
        gameState.selColumn = 0;
        gameState.selRow = 0;
        SwapOrBlast(1, 0);
        const GameState& g = gameState;
        EXPECT_EQ(std::make_tuple(std::string(c.exploding), c.score, c.quotaAfter, c.scene,
                                  c.scene == Scene::clear, c.firstKind, c.secondKind),
                  std::make_tuple(Exploding(), g.score, g.clearQuota, gameApp.currentScene,
                                  g.sceneStart == 1, g.cellKind[0], g.cellKind[1]))
            << c.label;
    }
}

TEST_F(RulesTest, NewTilesStartOnlyInFreeCells) {
    // The one free cell is the board's last; the tile growing in the middle keeps growing as it
    // was, and the exploding one in the corner is no free cell either.
    Board("00000/00000/00300/00000/0000.", "X..../...../..G..");
    gameState.appearStep[12] = 4;
    srand(7);
    for (int second = 0; second < 500; ++second)
        SpawnTile();
    for (int i = 0; i < cellCount; ++i)
        EXPECT_EQ(i == 24 || i == 12,
                  gameState.appearKind[i] >= 0 && gameState.appearKind[i] <= Cell::special)
            << "500 tries find the one free cell, and only it: " << i;
    EXPECT_EQ(std::make_pair(3, 4),
              std::make_pair(gameState.appearKind[12], gameState.appearStep[12]));
}

TEST_F(RulesTest, SelectingClickingAgainDraggingAndRightButton) {
    Board("12.../...../...../...../.....");
    for (int click = 0; click < 2; ++click) { // a second click on it keeps the selection
        inputState.leftButton = 1;
        SelectionStep(0, 0);
        HandleSwapClick(0, 0);
        EXPECT_EQ(0, gameState.selColumn) << click;
        EXPECT_EQ(0, inputState.leftButton) << "the click on the selected tile is used up";
    }
    // Pressing beside the board keeps the click; dragging onto a tile swaps.
    inputState.leftButton = 1;
    SelectionStep(-1, 0);
    HandleSwapClick(-1, 0);
    EXPECT_EQ(1, inputState.leftButton);
    SelectionStep(1, 0);
    HandleSwapClick(1, 0);
    EXPECT_EQ(std::make_tuple(2, 1, -1),
              std::tie(gameState.cellKind[0], gameState.cellKind[1], gameState.selColumn));
    // The right button drops a selection in the frame it is down.
    inputState.leftButton = 1;
    SelectionStep(0, 0);
    inputState.leftButton = 0;
    inputState.rightButton = 1;
    SelectionStep(0, 0);
    EXPECT_EQ(-1, gameState.selColumn);
    // A tile in the same column is another tile too.
    Board("1..../2..../...../...../.....");
    inputState = InputState{};
    inputState.leftButton = 1;
    SelectionStep(0, 0);
    HandleSwapClick(0, 1);
    EXPECT_EQ(std::make_pair(2, 1), std::make_pair(gameState.cellKind[0], gameState.cellKind[5]));
    // A selected tile that is gone (it burst) drops the selection.
    std::tie(gameState.selColumn, gameState.selRow, gameState.cellKind[0]) =
        std::make_tuple(0, 0, Cell::empty);
    HandleSwapClick(0, 1);
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
        const GameState& g = gameState;
        EXPECT_EQ((std::vector<int32_t>{e.stage, 99, e.quota, e.mosaic, e.wave, -1, 1234}),
                  (std::vector<int32_t>{g.stage, g.timeLeft, g.clearQuota, g.mosaicSize,
                                        g.screenWave, g.selColumn, g.score}))
            << "stage " << e.stage << "; the score carries over";
        for (int i = 0; i < cellCount; ++i)
            EXPECT_TRUE(g.cellKind[i] >= 0 && g.cellKind[i] <= Cell::special &&
                        g.appearKind[i] == Cell::empty && g.exploding[i] == Cell::empty)
                << i;
    }
}

TEST_F(RulesTest, GlobalKeysDealClearAndEndTheGame) {
    SetUpStage();
    gameState.score = 500;
    gameState.selColumn = 2;
    gameState.selRow = 3;
    gameState.exploding[4] = Cell::exploding;
    inputState.keyCode = VK_F1; // a new deal: only the board changes
    HandleGlobalKeys();
    EXPECT_EQ(std::make_tuple(-1, 500, 2, 99), std::tie(gameState.exploding[4], gameState.score,
                                                        gameState.selColumn, gameState.timeLeft));
    inputState.keyCode = VK_F2;
    HandleGlobalKeys();
    EXPECT_EQ(std::make_tuple(0, Scene::clear, 1),
              std::tie(gameState.clearQuota, gameApp.currentScene, gameState.sceneStart));
    inputState.keyCode = VK_F3;
    HandleGlobalKeys();
    EXPECT_EQ(Scene::gameOver, gameApp.currentScene);
}

} // namespace
