// libFuzzer target: any bytes as a MIDI file through the DirectMusic loader; a file that loads
// is played, looped, on the real audio thread (SDL's dummy driver) while this thread stops and
// starts it again. Nothing may crash, hang or grow without bound; run with -timeout so that an
// input that makes the program slow counts as a failure.
#include <dmusici.h>

#include "fuzzinput.h"
#include "platformtest.h"

namespace {

struct Music {
    IDirectMusicPerformance* performance = nullptr;
    IDirectMusicLoader* loader = nullptr;
    std::string path;
};

Music& Shared() {
    static Music music = [] {
        Music made;
        made.path = ScratchFolder("midi") + "/input.mid";
        PlatformTest::SetHeadless(false); // the audio device runs: its thread renders
        CoInitialize(nullptr);
        if (FAILED(CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC,
                                    IID_IDirectMusicPerformance2,
                                    reinterpret_cast<void**>(&made.performance))) ||
            FAILED(made.performance->Init(nullptr, nullptr, nullptr)) ||
            FAILED(made.performance->AddPort(nullptr)) ||
            FAILED(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC,
                                    IID_IDirectMusicLoader,
                                    reinterpret_cast<void**>(&made.loader))))
            abort();
        return made;
    }();
    return music;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Music& music = Shared();
    WriteInput(music.path, data, size);
    DMUS_OBJECTDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwValidData = DMUS_OBJ_CLASS | DMUS_OBJ_FILENAME | DMUS_OBJ_FULLPATH;
    desc.guidClass = CLSID_DirectMusicSegment;
    MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, music.path.c_str(), -1, desc.wszFileName, MAX_PATH);
    IDirectMusicSegment* segment = nullptr;
    if (FAILED(music.loader->GetObject(&desc, IID_IDirectMusicSegment2,
                                       reinterpret_cast<void**>(&segment))))
        return 0;
    MUSIC_TIME length = 0;
    segment->GetLength(&length);
    if (length > 0) {
        segment->SetLoopPoints(0, length);
        segment->SetRepeats(DMUS_SEG_REPEAT_INFINITE);
    }
    IDirectMusicSegmentState* state = nullptr;
    if (SUCCEEDED(music.performance->PlaySegment(segment, DMUS_SEGF_DEFAULT, 0, &state))) {
        for (int round = 0; round < 3; ++round) {
            usleep(2000); // a callback or so of rendering
            music.performance->Stop(nullptr, nullptr, 0, 0);
            music.performance->PlaySegment(segment, DMUS_SEGF_DEFAULT, 0, nullptr);
        }
        music.performance->Stop(nullptr, nullptr, 0, 0);
        state->Release();
    }
    segment->Release();
    return 0;
}
