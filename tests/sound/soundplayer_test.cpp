// SoundPlayer on the layer: the device, each failing step, and shutting down.
#include <gtest/gtest.h>

#include <memory>

#include "platformtest.h"
#include "sound/soundplayer.h"

namespace {

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

class SoundPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformTest::Reset();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = PlainProc;
        windowClass.lpszClassName = "SoundTest";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, "SoundTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
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
