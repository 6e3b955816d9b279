// SoundPlayer: starting and releasing the DirectSound device.
#include "soundplayer.h"

#include "core/release.h"

SoundPlayer::SoundPlayer() : DirectSound(nullptr), PrimaryBuffer(nullptr), EffectBuffers{} {}

SoundPlayer::~SoundPlayer() {
    Shutdown();
}

int SoundPlayer::Init(HWND window) {
    auto fail = [&] {
        ReleaseAndClear(DirectSound);
        return 0;
    };
    if (FAILED(DirectSoundCreate(nullptr, &DirectSound, nullptr))) {
        DirectSound = nullptr;
        return fail();
    }
    if (FAILED(DirectSound->SetCooperativeLevel(window, DSSCL_NORMAL)) ||
        FAILED(DirectSound->SetSpeakerConfig(DSSPEAKER_SURROUND)))
        return fail();
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRLVOLUME;
    if (FAILED(DirectSound->CreateSoundBuffer(&desc, &PrimaryBuffer, nullptr))) {
        PrimaryBuffer = nullptr;
        return fail();
    }
    return 1;
}

void SoundPlayer::Shutdown() {
    for (IDirectSoundBuffer*& buffer : EffectBuffers)
        ReleaseAndClear(buffer);
    ReleaseAndClear(PrimaryBuffer);
    ReleaseAndClear(DirectSound);
}
