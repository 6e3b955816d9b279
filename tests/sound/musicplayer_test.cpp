// MusicPlayer on the layer: results, failure paths with injected failures, slots and loops.
#include <gtest/gtest.h>

#include <memory>

#include "platformtest.h"
#include "sound/musicplayer.h"
#include "support/midiwriter.h"
#include "support/tempfolder.h"

namespace {

class MusicPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformTest::Reset();
        folder.Enter();
        WriteBytes(folder / "Song.mid", LoopingSong(2));
        WriteBytes(folder / "Other.mid", LoopingSong(1));
        player = std::make_unique<MusicPlayer>();
    }
    void TearDown() override {
        player.reset();
        PlatformTest::Reset();
    }
    TempFolder folder;
    std::unique_ptr<MusicPlayer> player;
};

TEST_F(MusicPlayerTest, EveryExaminedStepOfInitFailsItAndReleasesWhatWasMade) {
    struct Step {
        const char* function;
        int after;
    };
    const Step steps[] = {
        {"CoInitialize", 0},     {"CoCreateInstance", 0}, {"IDirectMusicPerformance::Init", 0},
        {"CoCreateInstance", 1}, {"CreatePort", 0},       {"AddPort", 0},
        {"FluidSynth", 0},       {"OpenAudioDevice", 0}, // no device for its own output
    };
    for (const Step& step : steps) {
        ASSERT_EQ(S_OK, CoInitialize(nullptr)) << "the thread's own COM, before the player";
        auto fresh = std::make_unique<MusicPlayer>();
        PlatformTest::FailNext(step.function, 1, step.after);
        EXPECT_EQ(0, fresh->Init(nullptr)) << step.function << " " << step.after;
        EXPECT_EQ(std::make_tuple(nullptr, nullptr, 0, 0, -1),
                  std::make_tuple(fresh->Performance, fresh->Loader, fresh->Load(0, "Song.mid"),
                                  fresh->Play(0, 0, 0, 0), fresh->Stop(0)))
            << step.function;
        fresh->Shutdown(); // a failed start still shuts down cleanly, as at exit
        EXPECT_EQ(S_FALSE, CoInitialize(nullptr)) << "COM balanced after " << step.function;
        CoUninitialize(), CoUninitialize();
    }
}

TEST_F(MusicPlayerTest, StopAnswersMinusOneZeroOrTheSeekPosition) {
    EXPECT_EQ(-1, player->Stop(0)) << "no performance";
    ASSERT_EQ(1, player->Init(nullptr));
    EXPECT_EQ(-1, player->Stop(0)) << "empty slot";
    EXPECT_EQ(-1, player->Stop(256)) << "past the table";
    EXPECT_EQ(0, player->Load(256, "Song.mid"));
    EXPECT_EQ(0, player->Play(256, 0, 0, 0));
    ASSERT_EQ(1, player->Load(255, "Song.mid"));
    EXPECT_EQ(0, player->Stop(255)) << "loaded but never played";
    ASSERT_EQ(1, player->Play(255, 0, 0, 0xFFFFFFFF));
    PlatformTest::RenderMusic(player->Performance, 44100); // one second at 120 beats a minute
    int32_t seek = player->Stop(255);
    EXPECT_GE(seek, 2 * 768 - 10);
    EXPECT_LE(seek, 2 * 768 + 10);
}

TEST_F(MusicPlayerTest, LoadingIntoAnOccupiedSlotAndShutdownReleaseTheSegments) {
    ASSERT_EQ(1, player->Init(nullptr));
    int none = PlatformTest::LiveSegments();
    ASSERT_EQ(1, player->Load(0, "Song.mid"));
    ASSERT_EQ(1, player->Load(0, "Other.mid"));
    EXPECT_EQ(none + 1, PlatformTest::LiveSegments());
    EXPECT_EQ(0, player->Load(0, "Missing.mid"));
    EXPECT_EQ(nullptr, player->Segments[0]) << "the old segment went before the load failed";
    EXPECT_EQ(none, PlatformTest::LiveSegments());
    EXPECT_EQ(0, player->Play(0, 0, 0, 0));
    ASSERT_EQ(1, player->Load(0, "Song.mid"));
    ASSERT_EQ(1, player->Load(7, "Other.mid"));
    player->Shutdown();
    EXPECT_EQ(none, PlatformTest::LiveSegments());
    EXPECT_TRUE(player->Performance == nullptr && player->Loader == nullptr);
    player->Shutdown(); // harmless twice
}

TEST_F(MusicPlayerTest, PlaySetsLoopsOnlyWhenRepeating) {
    ASSERT_EQ(1, player->Init(nullptr));
    ASSERT_EQ(1, player->Load(0, "Song.mid"));
    MUSIC_TIME length = 0;
    player->Segments[0]->GetLength(&length);
    EXPECT_EQ(2 * 4 * 768, length) << "two bars in music time";
    long start = -1, loopStart = -1, loopEnd = -1;
    unsigned long repeats = 99;
    ASSERT_EQ(1, player->Play(0, 0, 0, 0));
    PlatformTest::SegmentLoop(player->Segments[0], &start, &loopStart, &loopEnd, &repeats);
    EXPECT_EQ(std::make_pair(0L, 0UL), std::make_pair(loopEnd, repeats)) << "no loop points set";
    ASSERT_EQ(1, player->Play(0, 768, 0, 0xFFFFFFFF));
    PlatformTest::SegmentLoop(player->Segments[0], &start, &loopStart, &loopEnd, &repeats);
    EXPECT_EQ(std::make_tuple(768L, 768L, long{length}, 0xFFFFFFFFUL),
              std::make_tuple(start, loopStart, loopEnd, repeats))
        << "loop end 0 means the whole song";
    EXPECT_EQ(0, player->Play(0, length, 0, 0)) << "a start point at the end is out of range";
}

} // namespace
