// SoundPlayer on the layer: the device and its primary buffer, and each failing step.
#include <gtest/gtest.h>

#include "platformtest.h"
#include "sound/soundplayer.h"
#include "support/testwindow.h"

namespace {

TEST(SoundPlayerTest, InitMakesTheDeviceAndEveryFailingStepLeavesNone) {
    PlatformTest::Reset();
    HWND window = MakeTestWindow("SoundTest");
    SoundPlayer player;
    ASSERT_EQ(1, player.Init(window));
    EXPECT_NE(nullptr, player.PrimaryBuffer);
    for (IDirectSoundBuffer* buffer : player.EffectBuffers)
        EXPECT_EQ(nullptr, buffer);
    player.Shutdown();
    EXPECT_EQ(nullptr, player.DirectSound);
    EXPECT_EQ(nullptr, player.PrimaryBuffer);
    for (const char* function :
         {"DirectSoundCreate", "OpenAudioDevice", "SetCooperativeLevel(DirectSound)",
          "SetSpeakerConfig", "CreateSoundBuffer", ""}) {
        SoundPlayer failing;
        PlatformTest::FailNext(function); // "": no failure, but a handle that is no window
        HWND target = function[0] == '\0' ? reinterpret_cast<HWND>(&failing) : window;
        EXPECT_EQ(0, failing.Init(target)) << function;
        EXPECT_EQ(nullptr, failing.DirectSound) << function;
        EXPECT_EQ(nullptr, failing.PrimaryBuffer) << function;
    }
    PlatformTest::Reset();
}

} // namespace
