// The desktop's synthesizer: FluidSynth with the General MIDI SoundFont Debian installs.
#include <fluidsynth.h>
#include <sys/stat.h>

#include "audio/audiointernal.h"
#include "audio/synthesizer.h"
#include "kernel/testhooks.h"

namespace Layer {

namespace {

// The SoundFonts looked for, best first (Debian's timgm6mb-soundfont, then the system default).
const char* const soundFonts[] = {"/usr/share/sounds/sf2/TimGM6mb.sf2",
                                  "/usr/share/sounds/sf2/default-GM.sf2",
                                  "/usr/share/sounds/sf2/FluidR3_GM.sf2"};

class FluidSynthesizer : public Synthesizer {
public:
    ~FluidSynthesizer() override {
        if (synth != nullptr)
            delete_fluid_synth(synth);
        if (settings != nullptr)
            delete_fluid_settings(settings);
    }
    void Send(uint8_t status, uint8_t data1, uint8_t data2) override {
        int channel = status & 0x0F;
        switch (status & 0xF0) {
        case 0x80:
            fluid_synth_noteoff(synth, channel, data1);
            break;
        case 0x90:
            if (data2 == 0)
                fluid_synth_noteoff(synth, channel, data1);
            else
                fluid_synth_noteon(synth, channel, data1, data2);
            break;
        case 0xA0:
            fluid_synth_key_pressure(synth, channel, data1, data2);
            break;
        case 0xB0:
            fluid_synth_cc(synth, channel, data1, data2);
            break;
        case 0xC0:
            fluid_synth_program_change(synth, channel, data1);
            break;
        case 0xD0:
            fluid_synth_channel_pressure(synth, channel, data1);
            break;
        case 0xE0:
            fluid_synth_pitch_bend(synth, channel, (data2 << 7) | data1);
            break;
        default:
            break;
        }
    }
    void NotesOff() override {
        for (int channel = 0; channel < 16; ++channel) {
            fluid_synth_cc(synth, channel, 64, 0); // sustain pedal up
            fluid_synth_all_notes_off(synth, channel);
        }
    }
    void Render(int16_t* out, int frames) override {
        fluid_synth_write_s16(synth, frames, out, 0, 2, out, 1, 2);
    }

    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
};

} // namespace

std::unique_ptr<Synthesizer> Synthesizer::Create() {
    static const char* soundFont = [] {
        for (const char* path : soundFonts) {
            struct stat info {};
            if (stat(path, &info) == 0)
                return path;
        }
        return static_cast<const char*>(nullptr);
    }();
    if (soundFont == nullptr || ShouldFail("FluidSynth"))
        return nullptr;
    // FluidSynth reports only errors; its warnings about the SoundFont are of no use to players.
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    auto made = std::make_unique<FluidSynthesizer>();
    made->settings = new_fluid_settings();
    if (made->settings == nullptr)
        return nullptr;
    fluid_settings_setnum(made->settings, "synth.sample-rate", sampleRate);
    fluid_settings_setnum(made->settings, "synth.gain", 0.5);
    fluid_settings_setint(made->settings, "synth.polyphony", 128);
    made->synth = new_fluid_synth(made->settings);
    if (made->synth == nullptr || fluid_synth_sfload(made->synth, soundFont, 1) == FLUID_FAILED)
        return nullptr;
    return made;
}

} // namespace Layer
