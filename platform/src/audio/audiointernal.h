// The layer's audio: SDL output devices, the music engine (sequencer and synthesizer) and the
// DirectSound and DirectMusic objects built on them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "kernel/comobject.h"
#include "dmusici.h"
#include "kernel/kernelinternal.h"
#include "audio/midifile.h"
#include "audio/synthesizer.h"

namespace Layer {

constexpr int sampleRate = 44100;

// Something that adds stereo 16-bit samples to an output.
class AudioSource {
public:
    virtual ~AudioSource() = default;
    // Mixes frames of interleaved stereo into out, adding to what is there.
    virtual void MixInto(int16_t* out, int frames) = 0;
};

// One SDL audio output with the sources mixed into it. Playing sources are changed only under
// its lock, which the audio thread holds while it mixes.
class AudioDevice {
public:
    static std::unique_ptr<AudioDevice> Open(); // null when there is no audio device
    ~AudioDevice();
    void Add(AudioSource* source);
    void Remove(AudioSource* source);
    void Lock();
    void Unlock();
    // Mixes every source into out (frames of stereo), as the audio thread does.
    void Mix(int16_t* out, int frames);

private:
    AudioDevice() = default;
    uint32_t device = 0;
    std::vector<AudioSource*> sources;
};

class DirectSoundObject : public ComObject<IDirectSound> {
public:
    HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer,
                                                LPUNKNOWN outer) override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD level) override;
    HRESULT STDMETHODCALLTYPE SetSpeakerConfig(DWORD speakerConfig) override;

    std::unique_ptr<AudioDevice> device;
    bool cooperative = false;
};

class SegmentObject;
class SegmentStateObject;

// A sequencer for one performance: plays segments' events into a synthesizer.
// The work of one MixInto call is bounded whatever the song, since the audio device's lock is held
// while it runs: events are dispatched at the start of blocks of stepFrames frames, at most
// eventsPerCall of them, and the segment loops at most loopsPerCall times; beyond that the song
// runs on silently until the next call. A hostile file can spoil its own music, never the program.
class MusicEngine : public AudioSource {
public:
    static constexpr int stepFrames = 64;
    static constexpr int eventsPerCall = 1024;
    static constexpr int loopsPerCall = 16;

    static std::unique_ptr<MusicEngine> Create(); // null without a SoundFont or synthesizer
    ~MusicEngine() override;
    void MixInto(int16_t* out, int frames) override;
    // Starts a segment from its start point; the primary segment that was playing stops.
    void Play(SegmentObject* segment, SegmentStateObject* state);
    // Stops one segment (null: all) and releases its held notes.
    void Stop(SegmentObject* segment);

private:
    struct Playing;
    MusicEngine() = default;
    void Dispatch(const MidiEvent& event);
    int64_t RenderSome(Playing& playing, int16_t* out, int frames);
    std::unique_ptr<Synthesizer> synth;
    std::unique_ptr<Playing> playing;
    std::vector<int16_t> scratch;
    int eventBudget = 0; // what is left of this call's work
    int loopBudget = 0;
};

// Loads a standard MIDI file; null with a DirectMusic error code in *result when it cannot.
SegmentObject* LoadSegment(const std::string& path, HRESULT* result);

} // namespace Layer
