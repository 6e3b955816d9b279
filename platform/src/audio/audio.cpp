// SDL audio outputs and DirectSound: the device, its cooperative level, speakers and primary
// buffer.
#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "audio/audiointernal.h"
#include "kernel/testhooks.h"

namespace Layer {

namespace {

void AudioCallback(void* user, Uint8* stream, int bytes) {
    memset(stream, 0, static_cast<size_t>(bytes));
    static_cast<AudioDevice*>(user)->Mix(reinterpret_cast<int16_t*>(stream), bytes / 4);
}

// The primary buffer stands for the device's output format; the game only holds and releases it.
class PrimaryBuffer : public ComObject<IDirectSoundBuffer> {};

} // namespace

std::unique_ptr<AudioDevice> AudioDevice::Open() {
    // In the desktop's volume mixer the stream says what it plays and carries the program's icon
    // (libpulse reads PULSE_PROP_<property> from the environment; one the user set stays).
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Music");
#ifdef PLATFORM_ICON_NAME
    setenv("PULSE_PROP_application.icon_name", PLATFORM_ICON_NAME, 0);
#endif
    if (ShouldFail("OpenAudioDevice") || SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return nullptr;
    std::unique_ptr<AudioDevice> opened(new AudioDevice());
    SDL_AudioSpec wanted{};
    wanted.freq = sampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    // 8192 frames (186 ms) a callback: the game plays only music, which a late start does not
    // harm, and a sound server then wakes the audio thread about 30 times a second, not 340.
    wanted.samples = 8192;
    wanted.callback = AudioCallback;
    wanted.userdata = opened.get();
    SDL_AudioSpec obtained{};
    opened->device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (opened->device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    // Tests pull the samples themselves; otherwise the device plays from now on.
    if (!TestPullsAudio())
        SDL_PauseAudioDevice(opened->device, 0);
    return opened;
}

AudioDevice::~AudioDevice() {
    if (device != 0) {
        SDL_CloseAudioDevice(device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void AudioDevice::Add(AudioSource* source) {
    Lock();
    if (std::find(sources.begin(), sources.end(), source) == sources.end())
        sources.push_back(source);
    Unlock();
}

void AudioDevice::Remove(AudioSource* source) {
    Lock();
    sources.erase(std::remove(sources.begin(), sources.end(), source), sources.end());
    Unlock();
}

void AudioDevice::Lock() {
    SDL_LockAudioDevice(device);
}
void AudioDevice::Unlock() {
    SDL_UnlockAudioDevice(device);
}

void AudioDevice::Mix(int16_t* out, int frames) {
    for (AudioSource* source : sources)
        source->MixInto(out, frames);
}

HRESULT STDMETHODCALLTYPE DirectSoundObject::CreateSoundBuffer(LPCDSBUFFERDESC desc,
                                                               LPDIRECTSOUNDBUFFER* buffer,
                                                               LPUNKNOWN outer) {
    if (desc == nullptr || buffer == nullptr || outer != nullptr ||
        desc->dwSize != sizeof(DSBUFFERDESC))
        return DSERR_INVALIDPARAM;
    if (!cooperative)
        return DSERR_UNINITIALIZED;
    if (ShouldFail("CreateSoundBuffer"))
        return DSERR_OUTOFMEMORY;
    // Only the primary buffer is made here: it has no size and no format of its own.
    if (!(desc->dwFlags & DSBCAPS_PRIMARYBUFFER) || desc->dwBufferBytes != 0 ||
        desc->lpwfxFormat != nullptr)
        return DSERR_UNSUPPORTED;
    *buffer = new PrimaryBuffer();
    return DS_OK;
}

HRESULT STDMETHODCALLTYPE DirectSoundObject::SetCooperativeLevel(HWND window, DWORD level) {
    if (ShouldFail("SetCooperativeLevel(DirectSound)"))
        return DSERR_INVALIDPARAM;
    if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY || !IsWindow(window))
        return DSERR_INVALIDPARAM;
    cooperative = true;
    return DS_OK;
}

HRESULT STDMETHODCALLTYPE DirectSoundObject::SetSpeakerConfig(DWORD speakerConfig) {
    if (ShouldFail("SetSpeakerConfig"))
        return DSERR_INVALIDPARAM;
    DWORD layout = speakerConfig & 0xFF;
    return layout >= DSSPEAKER_HEADPHONE && layout <= DSSPEAKER_5POINT1 ? DS_OK
                                                                        : DSERR_INVALIDPARAM;
}

} // namespace Layer

HRESULT WINAPI DirectSoundCreate(const GUID* device, LPDIRECTSOUND* directSound, LPUNKNOWN outer) {
    if (directSound == nullptr || outer != nullptr)
        return DSERR_INVALIDPARAM;
    *directSound = nullptr;
    if (device != nullptr)
        return DSERR_NODRIVER; // only the default device exists
    if (Layer::ShouldFail("DirectSoundCreate"))
        return DSERR_NODRIVER;
    std::unique_ptr<Layer::AudioDevice> output = Layer::AudioDevice::Open();
    if (!output)
        return DSERR_NODRIVER;
    auto* created = new Layer::DirectSoundObject();
    created->device = std::move(output);
    *directSound = created;
    return DS_OK;
}
