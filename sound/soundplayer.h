// SoundPlayer: the DirectSound device that the music shares, its primary buffer and effect slots.
#pragma once

#include <windows.h>
#include <dsound.h>

class SoundPlayer {
public:
    static constexpr int effectSlots = 512;

    IDirectSound* DirectSound;
    IDirectSoundBuffer* PrimaryBuffer;
    IDirectSoundBuffer* EffectBuffers[effectSlots]; // never filled: the game plays no effects

    SoundPlayer();
    ~SoundPlayer(); // runs Shutdown at process exit
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // The default device at normal cooperation, surround speakers and the primary buffer. 1 or 0.
    int Init(HWND window);
    void Shutdown();
};

extern SoundPlayer soundPlayer;
