// GameApp's scene table: registering and switching, and what is refused.
#include <gtest/gtest.h>

#include <memory>

#include "app/gameapp.h"

namespace {

void SceneA() {}
void SceneB() {}

TEST(SceneTableTest, ConstructionLeavesEveryFieldEmptyButTheFrameMetrics) {
    auto app = std::make_unique<GameApp>();
    EXPECT_EQ(nullptr, app->directDraw);
    EXPECT_EQ(nullptr, app->backSurface);
    EXPECT_EQ(0, app->width);
    EXPECT_EQ(GetSystemMetrics(SM_CXFRAME), app->frameWidth);
    EXPECT_EQ(GetSystemMetrics(SM_CYFRAME), app->frameHeight);
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU), app->menuHeight);
    EXPECT_EQ(nullptr, app->window);
    EXPECT_EQ(0, app->currentScene);
    EXPECT_EQ(0u, app->style);
    for (SceneFunc scene : app->scenes)
        EXPECT_EQ(nullptr, scene);
}

TEST(SceneTableTest, RegisterRefusesNullOccupiedAndOutOfRangeSlots) {
    auto app = std::make_unique<GameApp>();
    struct Step {
        int32_t index;
        SceneFunc func;
        bool accepted;
    };
    const Step steps[] = {
        {1, SceneA, true},   {1, SceneB, false}, // a registered scene is never replaced
        {2, nullptr, false}, {2, SceneA, true},  // the same function under a second number
        {255, SceneB, true}, {256, SceneB, false}, {-1, SceneB, false},
    };
    for (const Step& step : steps)
        EXPECT_EQ(step.accepted, app->RegisterScene(step.index, step.func)) << step.index;
    EXPECT_EQ(SceneA, app->scenes[1]);
    EXPECT_EQ(SceneA, app->scenes[2]);
    EXPECT_EQ(SceneB, app->scenes[255]);
    EXPECT_EQ(nullptr, app->scenes[3]);
}

TEST(SceneTableTest, SwitchMovesOnlyToFilledSlots) {
    auto app = std::make_unique<GameApp>();
    app->RegisterScene(0, SceneA);
    app->RegisterScene(4, SceneB);
    struct Step {
        int32_t index;
        bool accepted;
        int32_t currentAfter;
    };
    const Step steps[] = {{4, true, 4},    {-1, false, 4}, {3, false, 4},
                          {256, false, 4}, {0, true, 0},   {INT32_MIN, false, 0}};
    for (const Step& step : steps) {
        EXPECT_EQ(step.accepted, app->SwitchScene(step.index)) << step.index;
        EXPECT_EQ(step.currentAfter, app->currentScene) << step.index;
    }
}

} // namespace
