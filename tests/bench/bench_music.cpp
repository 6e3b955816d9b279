// Benchmark: music start-up time (SoundFont load), CPU share of playback, and the delay from
// PlaySegment to the first sound. Prints figures; asserts nothing.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "platformtest.h"
#include "sound/musicplayer.h"
#include "support/midiwriter.h"
#include "support/tempfolder.h"

namespace {
double Milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}
} // namespace

int main() {
    PlatformTest::SetHeadless(true); // the benchmark pulls the samples itself
    TempFolder folder;
    folder.Enter();
    WriteBytes(folder / "Stage.mid", LoopingSong(8));

    auto player = std::make_unique<MusicPlayer>();
    auto start = std::chrono::steady_clock::now();
    if (player->Init(nullptr) == 0) {
        fprintf(stderr, "music could not start\n");
        return 1;
    }
    double initMs = Milliseconds(std::chrono::steady_clock::now() - start);
    player->Load(0, "Stage.mid");

    // Delay to the first sound: frames rendered after PlaySegment before a sample is not zero.
    player->Play(0, 0, 0, 0xFFFFFFFF);
    std::vector<int16_t> first = PlatformTest::RenderMusic(player->Performance, 4410);
    size_t firstSound = first.size() / 2;
    for (size_t i = 0; i < first.size(); ++i)
        if (first[i] != 0) {
            firstSound = i / 2;
            break;
        }

    const int seconds = 60;
    std::clock_t cpuStart = std::clock();
    for (int s = 0; s < seconds; ++s)
        PlatformTest::RenderMusic(player->Performance, 44100);
    double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;

    printf("music start-up (COM, performance, SoundFont load, port): %.1f ms\n", initMs);
    printf("playback CPU: %.2f s for %d s of music = %.1f %% of one core\n", cpu, seconds,
           100.0 * cpu / seconds);
    printf("PlaySegment to first sound: %.1f ms of rendered audio, plus the device buffer of "
           "8192 frames (185.8 ms)\n",
           1000.0 * static_cast<double>(firstSound) / 44100.0);
    return 0;
}
