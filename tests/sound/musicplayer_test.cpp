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
        {"FluidSynth", 0},       {"OpenAudioDevice", -1},
    };
    for (const Step& step : steps) {
        ASSERT_EQ(S_OK, CoInitialize(nullptr)) << "the thread's own COM, before the player";
        auto fresh = std::make_unique<MusicPlayer>();
        if (step.after < 0) { // no audio device: the performance's own output cannot open
            PlatformTest::FailNext("OpenAudioDevice");
            EXPECT_EQ(0, fresh->Init(nullptr));
            EXPECT_TRUE(fresh->Performance == nullptr && fresh->Loader == nullptr);
            fresh->Shutdown();
            EXPECT_EQ(S_FALSE, CoInitialize(nullptr)) << "the thread's COM stays initialised";
            CoUninitialize(), CoUninitialize();
            continue;
        }
        PlatformTest::FailNext(step.function, 1, step.after);
        EXPECT_EQ(0, fresh->Init(nullptr)) << step.function << " " << step.after;
        EXPECT_EQ(nullptr, fresh->Performance) << step.function;
        EXPECT_EQ(nullptr, fresh->Loader) << step.function;
        EXPECT_EQ(0, fresh->Load(0, "Song.mid")) << step.function;
        EXPECT_EQ(0, fresh->Play(0, 0, 0, 0)) << step.function;
        EXPECT_EQ(-1, fresh->Stop(0)) << step.function;
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

TEST_F(MusicPlayerTest, LoadingIntoAnOccupiedSlotReleasesTheOldSegment) {
    ASSERT_EQ(1, player->Init(nullptr));
    ASSERT_EQ(1, player->Load(0, "Song.mid"));
    int live = PlatformTest::LiveSegments();
    ASSERT_EQ(1, player->Load(0, "Other.mid"));
    EXPECT_EQ(live, PlatformTest::LiveSegments());
    EXPECT_EQ(0, player->Load(0, "Missing.mid"));
    EXPECT_EQ(nullptr, player->Segments[0])
        << "the old segment was unloaded before the load failed";
    EXPECT_EQ(live - 1, PlatformTest::LiveSegments());
    EXPECT_EQ(0, player->Play(0, 0, 0, 0));
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
    EXPECT_EQ(0, loopEnd) << "no loop points set";
    EXPECT_EQ(0ul, repeats);
    ASSERT_EQ(1, player->Play(0, 768, 0, 0xFFFFFFFF));
    PlatformTest::SegmentLoop(player->Segments[0], &start, &loopStart, &loopEnd, &repeats);
    EXPECT_EQ(768, start);
    EXPECT_EQ(768, loopStart);
    EXPECT_EQ(length, loopEnd) << "loop end 0 means the whole song";
    EXPECT_EQ(0xFFFFFFFFul, repeats);
    EXPECT_EQ(0, player->Play(0, length, 0, 0)) << "a start point at the end is out of range";
}

TEST_F(MusicPlayerTest, ShutdownReleasesEverySegmentAndIsHarmlessTwice) {
    ASSERT_EQ(1, player->Init(nullptr));
    int before = PlatformTest::LiveSegments();
    ASSERT_EQ(1, player->Load(0, "Song.mid"));
    ASSERT_EQ(1, player->Load(7, "Other.mid"));
    player->Shutdown();
    EXPECT_EQ(before, PlatformTest::LiveSegments());
    EXPECT_TRUE(player->Performance == nullptr && player->Loader == nullptr);
    player->Shutdown();
}

} // namespace
