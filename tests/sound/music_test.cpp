// MusicPlayer on the layer: results, failure paths, the music as it sounds, hostile MIDI files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platformtest.h"
#include "sound/musicplayer.h"
#include "support/midiwriter.h"
#include "support/tempfolder.h"

namespace {

constexpr int rate = 44100;

// The loudest sample in each window of the given length.
std::vector<int> Peaks(const std::vector<int16_t>& samples, int windowFrames) {
    std::vector<int> peaks;
    for (size_t start = 0; start + 2 * static_cast<size_t>(windowFrames) <= samples.size();
         start += 2 * static_cast<size_t>(windowFrames)) {
        int peak = 0;
        for (size_t i = start; i < start + 2 * static_cast<size_t>(windowFrames); ++i)
            peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
        peaks.push_back(peak);
    }
    return peaks;
}

class MusicTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformTest::Reset();
        folder.Enter();
        WriteBytes(folder / "Song.mid", LoopingSong(2)); // 4 seconds at 120 beats a minute
        WriteBytes(folder / "Other.mid", LoopingSong(1));
        player = std::make_unique<MusicPlayer>();
    }
    void TearDown() override {
        player.reset();
        PlatformTest::Reset();
    }
    std::vector<int16_t> Render(double seconds) {
        return PlatformTest::RenderMusic(player->Performance, static_cast<int>(seconds * rate));
    }
    TempFolder folder;
    std::unique_ptr<MusicPlayer> player;
};

TEST_F(MusicTest, EveryExaminedStepOfInitFailsItAndReleasesWhatWasMade) {
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

TEST_F(MusicTest, StopAnswersMinusOneZeroOrTheSeekPosition) {
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

TEST_F(MusicTest, LoadingIntoAnOccupiedSlotAndShutdownReleaseTheSegments) {
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

TEST_F(MusicTest, PlaySetsLoopsOnlyWhenRepeating) {
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
    ASSERT_EQ(1, player->Play(0, 0, 0, 1));
    PlatformTest::SegmentLoop(player->Segments[0], &start, &loopStart, &loopEnd, &repeats);
    EXPECT_EQ(1UL, repeats) << "one repeat is a loop too";
    EXPECT_EQ(0, player->Play(0, length, 0, 0)) << "a start point at the end is out of range";
}

TEST_F(MusicTest, LoopedSongKeepsSoundingAcrossItsLoopPointUntilStopped) {
    ASSERT_EQ(1, player->Init(nullptr));
    ASSERT_EQ(1, player->Load(0, "Song.mid"));
    ASSERT_EQ(1, player->Play(0, 0, 0, 0xFFFFFFFF));
    for (int step = 1; step <= 36; ++step) { // nine seconds, twice round the loop and on
        std::vector<int> peaks = Peaks(Render(0.25), rate / 20);
        EXPECT_GT(*std::min_element(peaks.begin(), peaks.end()), 500)
            << "a silent 50 ms window in the quarter second before " << step * 250 << " ms";
        MUSIC_TIME seek = 0;
        player->SegmentStates[0]->GetSeek(&seek);
        EXPECT_NEAR(step * 384, seek, 20) << "a quarter second is half a beat";
    }
    player->Stop(0);
    Render(1.5);
    std::vector<int> after = Peaks(Render(0.5), rate / 10);
    EXPECT_LT(*std::max_element(after.begin(), after.end()), 30) << "silent after the stop";
}

// A track chunk of the given body.
std::string Chunk(const char* id, const std::string& body) {
    std::string size;
    for (int shift = 24; shift >= 0; shift -= 8)
        size += static_cast<char>((body.size() >> shift) & 0xFF);
    return id + size + body;
}

// Each damaged file is damaged in one way, and beside it stands a file at the very bound that
// damage crosses, which loads. (The reader's reasons for each refusal: midifile_test.cpp.)
TEST_F(MusicTest, DamagedFilesLoadNothingAndFilesAtTheBoundsLoad) {
    const std::string good = LoopingSong(1);
    auto with = [&good](size_t at, char byte) {
        std::string changed = good;
        changed[at] = byte;
        return changed;
    };
    const std::string header = good.substr(0, 14);
    auto tracks = [&header](int count, const std::string& body) { // format 1 unless said
        std::string file = header;
        file[9] = 1;
        file[11] = static_cast<char>(count);
        return file + body;
    };
    const std::string end = std::string("\x00\xFF\x2F\x00", 4);
    const std::string note = std::string("\x00\x90\x7F\x7F", 4) + end;
    const std::string text = std::string("\x00\xFF\x01\x03", 4) + "abc"; // no end after it
    // Events to the cap exactly: a tempo, then notes in running status.
    auto crowd = [&](size_t events) {
        std::string body = std::string("\x00\xFF\x51\x03\x07\xA1\x20\x00\x90\x3C\x40", 11);
        for (size_t i = 2; i < events; ++i)
            body += std::string("\x00\x3C\x40", 3);
        return tracks(1, Chunk("MTrk", body + end));
    };
    // A file of exactly the largest size read: a song and a chunk no reader knows.
    auto padded = [&](size_t size) {
        return good + Chunk("JUNK", std::string(size - good.size() - 8, 'j'));
    };
    struct Case {
        const char* label;
        std::string bytes;
        bool loads;
    };
    const Case cases[] = {
        {"empty", "", false},
        {"header only", good.substr(0, 10), false},
        {"not MIDI", "RIFF" + std::string(100, 'x'), false},
        {"format 2", with(9, 2), false},
        {"format 0 with two tracks",
         tracks(2, Chunk("MTrk", note) + Chunk("MTrk", note)).replace(9, 1, 1, '\0'), false},
        {"format 1 with two tracks", tracks(2, Chunk("MTrk", note) + Chunk("MTrk", note)), true},
        {"no tracks", tracks(0, ""), false},
        {"division 0", with(12, 0).replace(13, 1, 1, '\0'), false},
        {"no track chunk", header, false},
        {"a track header cut one byte short", tracks(1, std::string("MTrk\0\0\0", 7)), false},
        {"an empty track chunk ending the file", tracks(1, std::string("MTrk\0\0\0\0", 8)), true},
        {"note and velocity 0x7F", tracks(1, Chunk("MTrk", note)), true},
        {"meta event filling its track exactly", tracks(1, Chunk("MTrk", text)), true},
        {"five-byte delta time",
         tracks(1, Chunk("MTrk", std::string("\xFF\xFF\xFF\xFF\x7F\x90", 6))), false},
        {"cut inside a note", good.substr(0, good.size() - 7), false},
        {"events to the cap", crowd(size_t{2} << 20), true},
        {"one event more", crowd((size_t{2} << 20) + 1), false},
        {"16 MiB", padded(size_t{16} << 20), true},
        {"a byte more", padded((size_t{16} << 20) + 1), false},
    };
    ASSERT_EQ(1, player->Init(nullptr));
    for (const Case& c : cases) {
        WriteBytes(folder / "Bad.mid", c.bytes);
        EXPECT_EQ(c.loads ? 1 : 0, player->Load(0, "Bad.mid")) << c.label;
        if (!c.loads) {
            EXPECT_EQ(0, player->Play(0, 0, 0, 0xFFFFFFFF)) << c.label;
        }
    }
    EXPECT_EQ(0, player->Load(0, "Missing.mid"));
}

TEST_F(MusicTest, HostileButReadableFilesNeitherHangNorPlayForever) {
    struct Case {
        const char* label;
        std::string bytes;
        int playResult;
    };
    // Tempo of 1 microsecond a quarter: thousands of loops a second.
    std::string fast = SmfFile({MidiTrack({{0, 10, 0, 60, 100}}, 20, 1)}, 1);
    // A note 2^28 ticks after the start.
    std::string late = SmfFile({MidiTrack({{0x0FFFFFFF, 10, 0, 60, 100}}, 0x0FFFFFFF + 20)}, 1);
    // Track chunk claiming more bytes than the file has: read to the end.
    std::string overlong = LoopingSong(1);
    overlong[18] = 0x7F;
    // 200,000 one-tick notes at once at that tempo: far more work than one buffer may take.
    std::vector<MidiNote> crowd;
    for (int i = 0; i < 100000; ++i)
        crowd.push_back({static_cast<uint32_t>(i % 7), 1, i % 16, 30 + i % 60, 100});
    std::string crowded = SmfFile({MidiTrack(crowd, 8, 1)}, 1);
    const Case cases[] = {
        {"absurd tempo", fast, 1},
        {"a crowd of notes at an absurd tempo", crowded, 1},
        {"late note", late, 1},
        {"overlong track length", overlong, 1},
        {"empty song", SmfFile({MidiTrack({}, 0)}, 480), 0}, // a start at its end is out of range
    };
    ASSERT_EQ(1, player->Init(nullptr));
    for (const Case& c : cases) {
        WriteBytes(folder / "Odd.mid", c.bytes);
        ASSERT_EQ(1, player->Load(0, "Odd.mid")) << c.label;
        EXPECT_EQ(c.playResult, player->Play(0, 0, 0, 0xFFFFFFFF)) << c.label;
        Render(0.5); // must come back (ctest's time limit per test fails a hang)
        player->Stop(0);
    }
}

} // namespace
