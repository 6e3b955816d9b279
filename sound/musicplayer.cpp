// MusicPlayer: initialisation, the output port, loading, playing, stopping and shutting down.
#include "musicplayer.h"

#include <cstring>

#include "core/release.h"

namespace {
constexpr DWORD allGroups = 0xFFFFFFFF;
} // namespace

MusicPlayer::MusicPlayer()
    : PortGuid{}, Performance(nullptr), DirectMusic(nullptr), Loader(nullptr),
      Port(nullptr), Segments{}, SegmentStates{}, comInitialized(false) {}

MusicPlayer::~MusicPlayer() {
    Shutdown();
}

int MusicPlayer::Init(IDirectSound* directSound) {
    auto fail = [&] {
        // A port made before the failure is still owned here (the performance never took it).
        ReleaseAndClear(Port);
        if (Performance != nullptr) {
            Performance->CloseDown();
            Performance->Release();
            Performance = nullptr;
        }
        ReleaseAndClear(Loader);
        UninitializeCom();
        return 0;
    };
    if (FAILED(CoInitialize(nullptr)))
        return fail(); // nothing to uninitialise: COM was not initialised here
    comInitialized = true;
    if (FAILED(CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC,
                                IID_IDirectMusicPerformance2,
                                reinterpret_cast<void**>(&Performance))))
        return fail();
    if (FAILED(Performance->Init(&DirectMusic, directSound, nullptr)))
        return fail();
    if (FAILED(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC,
                                IID_IDirectMusicLoader, reinterpret_cast<void**>(&Loader))))
        return fail();
    char directory[MAX_PATH] = "";
    WCHAR wideDirectory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, directory);
    MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, directory, -1, wideDirectory, MAX_PATH);
    if (FAILED(Loader->SetSearchDirectory(GUID_DirectMusicAllTypes, wideDirectory, FALSE)))
        return fail();
    if (CreateOutputPort() == 0)
        return fail();
    Port->Activate(TRUE);
    if (FAILED(Performance->AddPort(Port)))
        return fail();
    Performance->AssignPChannelBlock(0, Port, 1);
    Port->Release(); // the performance holds the port from here on
    return 1;
}

int MusicPlayer::CreateOutputPort() {
    DMUS_PORTPARAMS8 params{};
    params.dwSize = sizeof params;
    params.dwValidParams = DMUS_PORTPARAMS_CHANNELGROUPS;
    params.dwChannelGroups = 1;
    ReleaseAndClear(Port);
    // A hardware output (external, or General MIDI, GS or XG in hardware) is preferred.
    for (DWORD index = 0;; ++index) {
        DMUS_PORTCAPS caps;
        memset(&caps, 0, sizeof caps);
        caps.dwSize = sizeof caps;
        if (DirectMusic->EnumPort(index, &caps) != S_OK)
            break;
        if (caps.dwClass == DMUS_PC_OUTPUTCLASS && (caps.dwFlags & 0x72) != 0) {
            PortGuid = caps.guidPort;
            if (FAILED(DirectMusic->CreatePort(PortGuid, &params, &Port, nullptr)))
                return 0;
            break;
        }
    }
    if (Port != nullptr)
        return 1;
    DirectMusic->GetDefaultPort(&PortGuid);
    return SUCCEEDED(DirectMusic->CreatePort(PortGuid, &params, &Port, nullptr)) ? 1 : 0;
}

int MusicPlayer::Load(uint32_t slot, const char* fileName) {
    if (Loader == nullptr || DirectMusic == nullptr || Performance == nullptr || slot >= slotCount)
        return 0;
    DMUS_OBJECTDESC desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwValidData = DMUS_OBJ_CLASS | DMUS_OBJ_FILENAME;
    desc.guidClass = CLSID_DirectMusicSegment;
    MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, fileName, -1, desc.wszFileName, MAX_PATH);
    if (Segments[slot] != nullptr) {
        Segments[slot]->SetParam(GUID_Unload, allGroups, 0, 0, Performance);
        Segments[slot]->Release();
        Segments[slot] = nullptr;
    }
    if (FAILED(Loader->GetObject(&desc, IID_IDirectMusicSegment2,
                                 reinterpret_cast<void**>(&Segments[slot])))) {
        Segments[slot] = nullptr;
        return 0;
    }
    if (FAILED(Segments[slot]->SetParam(GUID_StandardMIDIFile, allGroups, 0, 0, Performance)))
        return 0;
    return SUCCEEDED(Segments[slot]->SetParam(GUID_Download, allGroups, 0, 0, Performance)) ? 1 : 0;
}

int MusicPlayer::Play(uint32_t slot, MUSIC_TIME startPoint, MUSIC_TIME loopEnd, uint32_t repeats) {
    if (slot >= slotCount || Segments[slot] == nullptr)
        return 0;
    IDirectMusicSegment* segment = Segments[slot];
    MUSIC_TIME length = 0;
    if (FAILED(segment->GetLength(&length)))
        return 0;
    MUSIC_TIME end = loopEnd != 0 ? loopEnd : length;
    if (FAILED(segment->SetStartPoint(startPoint)))
        return 0;
    if (repeats != 0) {
        if (FAILED(segment->SetLoopPoints(startPoint, end)) || FAILED(segment->SetRepeats(repeats)))
            return 0;
    }
    ReleaseAndClear(SegmentStates[slot]);
    if (Performance == nullptr)
        return 0;
    return SUCCEEDED(Performance->PlaySegment(segment, DMUS_SEGF_DEFAULT, 0, &SegmentStates[slot]))
               ? 1
               : 0;
}

int32_t MusicPlayer::Stop(uint32_t slot) {
    if (Performance == nullptr || slot >= slotCount || Segments[slot] == nullptr)
        return -1;
    Performance->Stop(Segments[slot], nullptr, 0, 0);
    if (SegmentStates[slot] == nullptr)
        return 0;
    MUSIC_TIME seek = 0;
    SegmentStates[slot]->GetSeek(&seek);
    return seek;
}

void MusicPlayer::Shutdown() {
    for (IDirectMusicSegment*& segment : Segments) {
        if (segment == nullptr)
            continue;
        segment->SetParam(GUID_Unload, allGroups, 0, 0, Performance);
        segment->Release();
        segment = nullptr;
    }
    // The last segment states and the DirectMusic object are references this object owns too;
    // they are given back here so that nothing is left behind.
    for (IDirectMusicSegmentState*& state : SegmentStates)
        ReleaseAndClear(state);
    if (Performance != nullptr) {
        Performance->CloseDown();
        Performance->Release();
        Performance = nullptr;
    }
    ReleaseAndClear(DirectMusic);
    Port = nullptr; // the performance held it and has let it go; this object owns no reference
    ReleaseAndClear(Loader);
    UninitializeCom();
}

void MusicPlayer::UninitializeCom() {
    if (comInitialized)
        CoUninitialize();
    comInitialized = false;
}
