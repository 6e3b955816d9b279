// The scene table: registering and switching, and what is refused.
#include <gtest/gtest.h>

#include <memory>

#include "core/scenehost.h"

namespace {

void SceneA() {}
void SceneB() {}

TEST(SceneHostTest, RegisterFillsOnlyFreeSlotsAndSwitchMovesOnlyToFilledOnes) {
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
    EXPECT_EQ((std::vector<SceneFunc>{nullptr, SceneA, SceneA, nullptr}),
              std::vector<SceneFunc>(host->scenes, host->scenes + 4));
    EXPECT_EQ(SceneB, host->scenes[255]);
    const int32_t switches[][3] = {{255, true, 255},  {-1, false, 255}, {3, false, 255},
                                   {256, false, 255}, {1, true, 1},     {INT32_MIN, false, 1}};
    for (const auto& step : switches) {
        EXPECT_EQ(step[1] != 0, host->SwitchScene(step[0])) << step[0];
        EXPECT_EQ(step[2], host->currentScene) << step[0];
    }
}

} // namespace
