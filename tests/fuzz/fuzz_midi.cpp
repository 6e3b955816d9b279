// libFuzzer target: any bytes as a MIDI file through the game's music player; a file that loads is
// played, looped, on the real audio thread (SDL's dummy driver) while this thread stops and starts
// it again. Nothing may crash, hang or grow without bound; run with -timeout so that an input that
// makes the program slow counts as a failure.
#include <unistd.h>

#include "fuzzinput.h"
#include "platformtest.h"
#include "sound/musicplayer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The player searches the folder current at its start: the scratch folder. libFuzzer's own
    // folder is current again afterwards, as it reads and writes its corpus by relative names.
    static MusicPlayer& musicPlayer = *[] {
        PlatformTest::SetHeadless(false); // the audio device runs: its thread renders
        auto* player = new MusicPlayer();
        char home[4096];
        if (getcwd(home, sizeof home) == nullptr || chdir(ScratchFolder("midi").c_str()) != 0 ||
            player->Init(nullptr) != 1 || chdir(home) != 0)
            abort();
        return player;
    }();
    WriteInput(ScratchFolder("midi") + "/input.mid", data, size);
    if (musicPlayer.Load(0, "input.mid") == 1 && musicPlayer.Play(0, 0, 0, 0xFFFFFFFF) == 1) {
        for (int round = 0; round < 3; ++round) {
            usleep(2000); // a callback or so of rendering
            musicPlayer.Stop(0);
            musicPlayer.Play(0, 0, 0, 0xFFFFFFFF);
        }
        musicPlayer.Stop(0);
    }
    return 0;
}
