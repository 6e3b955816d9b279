// What the music engine plays its events on: a General MIDI synthesizer with a SoundFont. One is
// built in: FluidSynth on the desktop (fluidsynth.cpp).
#pragma once

#include <cstdint>
#include <memory>

namespace Layer {

class Synthesizer {
public:
    // The synthesizer at the layer's sample rate with the General MIDI SoundFont; null when
    // there is none.
    static std::unique_ptr<Synthesizer> Create();
    virtual ~Synthesizer() = default;
    // A channel message (note off and on, key and channel pressure, controller, program, pitch
    // bend): its status byte and data bytes.
    virtual void Send(uint8_t status, uint8_t data1, uint8_t data2) = 0;
    // Every channel's notes end, the sustain pedal released.
    virtual void NotesOff() = 0;
    // Renders frames of interleaved 16-bit stereo into out.
    virtual void Render(int16_t* out, int frames) = 0;
};

} // namespace Layer
