// Music as it sounds: rendered samples across loop points, after the end, after a stop; files
// written by another program; and damaged or hostile MIDI files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "platformtest.h"
#include "sound/musicplayer.h"
#include "support/gamefixture.h"
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
        player = std::make_unique<MusicPlayer>();
        ASSERT_EQ(1, player->Init(nullptr));
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

TEST_F(MusicTest, LoopedSongKeepsSoundingAcrossItsLoopPointUntilStopped) {
    WriteBytes(folder / "Stage.mid", LoopingSong(2)); // 4 seconds at 120 beats a minute
    ASSERT_EQ(1, player->Load(0, "Stage.mid"));
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

TEST_F(MusicTest, SongPlayedOnceFallsSilentAfterItsEnd) {
    WriteBytes(folder / "Clear.mid", LoopingSong(1)); // 2 seconds
    ASSERT_EQ(1, player->Load(0, "Clear.mid"));
    ASSERT_EQ(1, player->Play(0, 0, 0, 0));
    std::vector<int> playing = Peaks(Render(2.0), rate / 10);
    EXPECT_GT(*std::min_element(playing.begin(), playing.end()), 500);
    Render(1.5); // the last notes' release
    std::vector<int> after = Peaks(Render(1.0), rate / 10);
    EXPECT_LT(*std::max_element(after.begin(), after.end()), 30);
    MUSIC_TIME seek = 0;
    player->SegmentStates[0]->GetSeek(&seek);
    EXPECT_NEAR(4 * 768, seek, 2) << "the position stops at the song's end";
}

TEST_F(MusicTest, FilesWrittenByAnotherProgramPlay) {
    // A tune in ABC notation, turned into a standard MIDI file by Debian's abc2midi.
    WriteBytes(folder / "tune.abc", "X:1\nT:Test tune\nM:4/4\nL:1/8\nQ:1/4=140\nK:D\n"
                                    "%%MIDI program 40\n"
                                    "DFAd fdAF|GBdg bgdB|Acea gecA|d2f2 d4:|\n");
    std::string command = "cd '" + folder.Path().string() + "' && abc2midi tune.abc -o Tune.mid" +
                          " > abc2midi.log 2>&1";
    ASSERT_EQ(0, std::system(command.c_str())) << ReadBytes(folder / "abc2midi.log");
    ASSERT_EQ(1, player->Load(0, "Tune.mid"));
    MUSIC_TIME length = 0;
    player->Segments[0]->GetLength(&length);
    EXPECT_GT(length, 4 * 4 * 768 - 10) << "four bars at least";
    ASSERT_EQ(1, player->Play(0, 0, 0, 0));
    std::vector<int> peaks = Peaks(Render(2.0), rate / 10);
    EXPECT_GT(*std::max_element(peaks.begin(), peaks.end()), 500);
}

TEST_F(MusicTest, TheGamesOwnSongsSoundWithoutClipping) {
    // The songs the build made, in the data folder beside the program's folder.
    std::string data = ProgramFolder() + "/../data/";
    for (const char* song : {"Title.mid", "Stage.mid", "Clear.mid", "Ending.mid", "Gameover.mid"}) {
        WriteBytes(folder / song, ReadBytes(data + song));
        ASSERT_EQ(1, player->Load(0, song)) << song;
        ASSERT_EQ(1, player->Play(0, 0, 0, 0)) << song;
        std::vector<int16_t> samples = Render(2.0);
        long long sum = 0;
        int peak = 0;
        for (int16_t sample : samples) {
            peak = std::max(peak, std::abs(static_cast<int>(sample)));
            sum += static_cast<long long>(sample) * sample;
        }
        double rms = std::sqrt(static_cast<double>(sum) / static_cast<double>(samples.size()));
        EXPECT_LT(peak, 32000) << song << " clips";
        EXPECT_GT(rms, 1000.0) << song << " is too quiet";
        player->Stop(0);
        Render(2.0);
    }
}

TEST_F(MusicTest, DamagedFilesLoadNothing) {
    const std::string good = LoopingSong(1);
    std::string format2 = good;
    format2[9] = 2;
    std::string smpte = good;
    smpte[12] = static_cast<char>(0xE7);
    smpte[13] = 40;
    std::string noStatus = SmfFile({std::string("MTrk\0\0\0\x04\x00\x40\x40\x00", 12)}, 480);
    std::string badMeta = SmfFile({std::string("MTrk\0\0\0\x06\x00\xFF\x51\x7F\x07\xA1", 14)}, 480);
    std::string longNumber =
        SmfFile({std::string("MTrk\0\0\0\x06\xFF\xFF\xFF\xFF\x7F\x90", 14)}, 480);
    struct Case {
        const char* label;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"header only", good.substr(0, 10)},
        {"not MIDI", "RIFF" + std::string(100, 'x')},
        {"format 2", format2},
        {"SMPTE division", smpte},
        {"no track chunk", good.substr(0, 14)},
        {"data byte without a status", noStatus},
        {"meta event longer than the track", badMeta},
        {"five-byte delta time", longNumber},
        {"cut inside a note", good.substr(0, good.size() - 7)},
    };
    for (const Case& c : cases) {
        WriteBytes(folder / "Bad.mid", c.bytes);
        EXPECT_EQ(0, player->Load(0, "Bad.mid")) << c.label;
        EXPECT_EQ(0, player->Play(0, 0, 0, 0xFFFFFFFF)) << c.label;
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
    for (const Case& c : cases) {
        WriteBytes(folder / "Odd.mid", c.bytes);
        ASSERT_EQ(1, player->Load(0, "Odd.mid")) << c.label;
        EXPECT_EQ(c.playResult, player->Play(0, 0, 0, 0xFFFFFFFF)) << c.label;
        Render(0.5); // must come back: no endless looping inside one block
        EXPECT_GE(player->Stop(0), 0) << c.label;
    }
}

} // namespace
