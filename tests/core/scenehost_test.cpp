// The scene table: registering and switching, and what is refused.
#include <gtest/gtest.h>

#include <memory>

#include "core/scenehost.h"

namespace {

void SceneA() {}
void SceneB() {}

TEST(SceneHostTest, RegisterRefusesNullOccupiedAndOutOfRangeSlots) {
    auto host = std::make_unique<SceneHost>();
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
        EXPECT_EQ(step.accepted, host->RegisterScene(step.index, step.func)) << step.index;
    EXPECT_EQ(SceneA, host->scenes[1]);
    EXPECT_EQ(SceneA, host->scenes[2]);
    EXPECT_EQ(SceneB, host->scenes[255]);
    EXPECT_EQ(nullptr, host->scenes[3]);
}

TEST(SceneHostTest, SwitchMovesOnlyToFilledSlots) {
    auto host = std::make_unique<SceneHost>();
    host->RegisterScene(0, SceneA);
    host->RegisterScene(4, SceneB);
    struct Step {
        int32_t index;
        bool accepted;
        int32_t currentAfter;
    };
    const Step steps[] = {{4, true, 4},    {-1, false, 4}, {3, false, 4},
                          {256, false, 4}, {0, true, 0},   {INT32_MIN, false, 0}};
    for (const Step& step : steps) {
        EXPECT_EQ(step.accepted, host->SwitchScene(step.index)) << step.index;
        EXPECT_EQ(step.currentAfter, host->currentScene) << step.index;
    }
}

} // namespace
