// MusicPlayer: standard MIDI songs played through DirectMusic from a table of 256 slots.
#pragma once

#include <windows.h>
#include <dmusici.h>

#include <cstdint>

class MusicPlayer {
public:
    static constexpr uint32_t slotCount = 256;

    GUID PortGuid;
    IDirectMusicPerformance* Performance; // asked for as IDirectMusicPerformance2
    IDirectMusic* DirectMusic;
    IDirectMusicLoader* Loader;
    IDirectMusicPort* Port;                   // owned only until Init hands it to the performance
    IDirectMusicSegment* Segments[slotCount]; // asked for as IDirectMusicSegment2
    IDirectMusicSegmentState* SegmentStates[slotCount];
    bool comInitialized; // CoInitialize succeeded, so one CoUninitialize is owed

    MusicPlayer();
    ~MusicPlayer(); // runs Shutdown at process exit
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    // COM, the performance on directSound (may be null), the loader searching the current
    // directory, and an output port. 1 on success, 0 on failure.
    int Init(IDirectSound* directSound);
    // Loads fileName (relative to the search directory) into slot as a MIDI segment. 1 or 0.
    int Load(uint32_t slot, const char* fileName);
    // Plays the slot's segment from startPoint; with repeats (0xFFFFFFFF: forever) it loops from
    // startPoint to loopEnd (0: the segment's end). 1 or 0.
    int Play(uint32_t slot, MUSIC_TIME startPoint, MUSIC_TIME loopEnd, uint32_t repeats);
    // Stops the slot's segment: its last state's seek position, 0 without a state, -1 without a
    // performance or segment.
    int32_t Stop(uint32_t slot);
    void Shutdown();
    int CreateOutputPort();
    // Balances a successful CoInitialize once; COM that this object did not initialise is left.
    void UninitializeCom();
};

extern MusicPlayer musicPlayer;
