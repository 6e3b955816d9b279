// SoundPlayer on the layer: the device, each failing step, and shutting down.
#include <gtest/gtest.h>

#include <memory>

#include "platformtest.h"
#include "sound/soundplayer.h"
#include "support/testwindow.h"

namespace {

class SoundPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformTest::Reset();
        window = MakeTestWindow("SoundTest");
    }
    void TearDown() override { PlatformTest::Reset(); }
    HWND window = nullptr;
};

TEST_F(SoundPlayerTest, InitMakesTheDeviceAndThePrimaryBuffer) {
    SoundPlayer player;
    ASSERT_EQ(1, player.Init(window));
    EXPECT_NE(nullptr, player.DirectSound);
    EXPECT_NE(nullptr, player.PrimaryBuffer);
    for (IDirectSoundBuffer* buffer : player.EffectBuffers)
        EXPECT_EQ(nullptr, buffer);
    player.Shutdown();
    EXPECT_EQ(nullptr, player.DirectSound);
    EXPECT_EQ(nullptr, player.PrimaryBuffer);
}

TEST_F(SoundPlayerTest, EveryFailingStepLeavesNoDevice) {
    for (const char* function :
         {"DirectSoundCreate", "OpenAudioDevice", "SetCooperativeLevel(DirectSound)",
          "SetSpeakerConfig", "CreateSoundBuffer"}) {
        SoundPlayer player;
        PlatformTest::FailNext(function);
        EXPECT_EQ(0, player.Init(window)) << function;
        EXPECT_EQ(nullptr, player.DirectSound) << function;
        EXPECT_EQ(nullptr, player.PrimaryBuffer) << function;
    }
}

TEST_F(SoundPlayerTest, InvalidWindowFailsTheCooperativeLevel) {
    SoundPlayer player;
    EXPECT_EQ(0, player.Init(reinterpret_cast<HWND>(&player)));
    EXPECT_EQ(nullptr, player.DirectSound);
}

TEST_F(SoundPlayerTest, ShutdownWithNothingMadeDoesNothing) {
    SoundPlayer player;
    player.Shutdown();
    EXPECT_EQ(nullptr, player.DirectSound);
}

} // namespace
