// The browser's synthesizer: FluidSynth's own WebAssembly build (npm's js-synthesizer), a module
// of its own beside the game's, which the page loads with the SoundFont in its file system and
// names globalThis.QuellmarkFluid. Its C API is called here through JavaScript; rendered samples
// are copied from its memory into the game's.
#include <emscripten.h>

#include "audio/audiointernal.h"
#include "audio/synthesizer.h"

namespace {

// Makes the synthesizer with the SoundFont the page placed at /soundfont.sf2; false without it.
// (JavaScript, which clang-format would take apart)
// clang-format off
EM_JS(int, FluidOpen, (int sampleRate), {
    const F = globalThis.QuellmarkFluid;
    if (!F || !F._new_fluid_settings)
        return 0;
    const text = function(s) {
        const at = F._malloc(s.length + 1);
        for (let i = 0; i < s.length; ++i)
            F.HEAPU8[at + i] = s.charCodeAt(i);
        F.HEAPU8[at + s.length] = 0;
        return at;
    };
    const settings = F._new_fluid_settings();
    F._fluid_settings_setnum(settings, text("synth.sample-rate"), sampleRate);
    F._fluid_settings_setnum(settings, text("synth.gain"), 0.5);
    F._fluid_settings_setint(settings, text("synth.polyphony"), 128);
    const synth = F._new_fluid_synth(settings);
    if (!synth || F._fluid_synth_sfload(synth, text("/soundfont.sf2"), 1) < 0)
        return 0;
    F.synth = synth;
    F.buffer = 0;
    F.bufferFrames = 0;
    return 1;
});

EM_JS(void, FluidSend, (int status, int data1, int data2), {
    const F = globalThis.QuellmarkFluid;
    const channel = status & 15;
    switch (status & 0xF0) {
    case 0x80:
        F._fluid_synth_noteoff(F.synth, channel, data1);
        break;
    case 0x90:
        if (data2 == 0)
            F._fluid_synth_noteoff(F.synth, channel, data1);
        else
            F._fluid_synth_noteon(F.synth, channel, data1, data2);
        break;
    case 0xA0:
        F._fluid_synth_key_pressure(F.synth, channel, data1, data2);
        break;
    case 0xB0:
        F._fluid_synth_cc(F.synth, channel, data1, data2);
        break;
    case 0xC0:
        F._fluid_synth_program_change(F.synth, channel, data1);
        break;
    case 0xD0:
        F._fluid_synth_channel_pressure(F.synth, channel, data1);
        break;
    case 0xE0:
        F._fluid_synth_pitch_bend(F.synth, channel, (data2 << 7) | data1);
        break;
    }
});

EM_JS(void, FluidNotesOff, (), {
    const F = globalThis.QuellmarkFluid;
    for (let channel = 0; channel < 16; ++channel) {
        F._fluid_synth_cc(F.synth, channel, 64, 0);
        F._fluid_synth_all_notes_off(F.synth, channel);
    }
});

EM_JS(void, FluidRender, (int16_t * out, int frames), {
    const F = globalThis.QuellmarkFluid;
    if (F.bufferFrames < frames) {
        if (F.buffer)
            F._free(F.buffer);
        F.buffer = F._malloc(frames * 4);
        F.bufferFrames = frames;
    }
    F._fluid_synth_write_s16(F.synth, frames, F.buffer, 0, 2, F.buffer, 1, 2);
    HEAP16.set(F.HEAP16.subarray(F.buffer >> 1, (F.buffer >> 1) + frames * 2), out >> 1);
});
// clang-format on

class WebSynthesizer : public Layer::Synthesizer {
public:
    void Send(uint8_t status, uint8_t data1, uint8_t data2) override {
        FluidSend(status, data1, data2);
    }
    void NotesOff() override { FluidNotesOff(); }
    void Render(int16_t* out, int frames) override { FluidRender(out, frames); }
};

} // namespace

std::unique_ptr<Layer::Synthesizer> Layer::Synthesizer::Create() {
    // One synthesizer for the page's life: the module holds its SoundFont once.
    static bool opened = FluidOpen(sampleRate) != 0;
    if (!opened)
        return nullptr;
    return std::make_unique<WebSynthesizer>();
}
