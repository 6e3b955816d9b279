// The music engine: a sequencer over a segment's events with DirectMusic's loop rules, rendered
// by FluidSynth with the General MIDI SoundFont.
#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <sys/stat.h>

#include "audio/audiointernal.h"
#include "audio/dmusicobjects.h"
#include "kernel/testhooks.h"

namespace Layer {

namespace {

// The SoundFonts looked for, best first (Debian's timgm6mb-soundfont, then the system default).
const char* const soundFonts[] = {"/usr/share/sounds/sf2/TimGM6mb.sf2",
                                  "/usr/share/sounds/sf2/default-GM.sf2",
                                  "/usr/share/sounds/sf2/FluidR3_GM.sf2"};

// The index of the first event at or after a music time.
size_t FirstEventAt(const Song& song, int64_t time) {
    auto found = std::lower_bound(song.events.begin(), song.events.end(), time,
                                  [](const MidiEvent& e, int64_t t) { return e.time < t; });
    return static_cast<size_t>(found - song.events.begin());
}

bool IsNoteOff(const MidiEvent& event) {
    uint8_t kind = event.status & 0xF0;
    return kind == 0x80 || (kind == 0x90 && event.data2 == 0);
}

} // namespace

struct MusicEngine::Playing {
    SegmentObject* segment = nullptr;
    SegmentStateObject* state = nullptr;
    std::shared_ptr<const Song> song;
    double position = 0; // music time within the segment
    double played = 0;   // music time since the start, loops included
    size_t next = 0;     // the next event to dispatch
    uint32_t tempo = 500000;
    bool looping = false;
    int64_t loopStart = 0;
    int64_t loopEnd = 0;
    uint32_t repeatsLeft = 0;
    bool ended = false;
};

std::unique_ptr<MusicEngine> MusicEngine::Create() {
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
    std::unique_ptr<MusicEngine> engine(new MusicEngine());
    engine->settings = new_fluid_settings();
    if (engine->settings == nullptr)
        return nullptr;
    fluid_settings_setnum(engine->settings, "synth.sample-rate", sampleRate);
    fluid_settings_setnum(engine->settings, "synth.gain", 0.5);
    fluid_settings_setint(engine->settings, "synth.polyphony", 128);
    engine->synth = new_fluid_synth(engine->settings);
    if (engine->synth == nullptr || fluid_synth_sfload(engine->synth, soundFont, 1) == FLUID_FAILED)
        return nullptr;
    return engine;
}

MusicEngine::~MusicEngine() {
    if (playing) {
        playing->segment->Release();
        playing->state->Release();
    }
    if (synth != nullptr)
        delete_fluid_synth(synth);
    if (settings != nullptr)
        delete_fluid_settings(settings);
}

void MusicEngine::Dispatch(const MidiEvent& event) {
    int channel = event.status & 0x0F;
    switch (event.status & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(synth, channel, event.data1);
        break;
    case 0x90:
        if (event.data2 == 0)
            fluid_synth_noteoff(synth, channel, event.data1);
        else
            fluid_synth_noteon(synth, channel, event.data1, event.data2);
        break;
    case 0xA0:
        fluid_synth_key_pressure(synth, channel, event.data1, event.data2);
        break;
    case 0xB0:
        fluid_synth_cc(synth, channel, event.data1, event.data2);
        break;
    case 0xC0:
        fluid_synth_program_change(synth, channel, event.data1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(synth, channel, event.data1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(synth, channel, (event.data2 << 7) | event.data1);
        break;
    default:
        if (event.status == 0xFF && playing)
            playing->tempo = event.tempo;
        break;
    }
}

void MusicEngine::NotesOff() {
    for (int channel = 0; channel < 16; ++channel) {
        fluid_synth_cc(synth, channel, 64, 0); // sustain pedal up
        fluid_synth_all_notes_off(synth, channel);
    }
}

void MusicEngine::Play(SegmentObject* segment, SegmentStateObject* state) {
    Stop(nullptr);
    auto started = std::make_unique<Playing>();
    segment->AddRef();
    state->AddRef();
    started->segment = segment;
    started->state = state;
    started->song = segment->song;
    int64_t start = std::min<int64_t>(segment->startPoint, started->song->length);
    started->position = static_cast<double>(start);
    started->next = FirstEventAt(*started->song, start);
    started->tempo = TempoAt(*started->song, start);
    int64_t loopEnd = segment->loopEnd > 0 ? segment->loopEnd : started->song->length;
    started->looping = segment->repeats > 0 && loopEnd > segment->loopStart;
    started->loopStart = segment->loopStart;
    started->loopEnd = loopEnd;
    started->repeatsLeft = segment->repeats;
    playing = std::move(started);
}

void MusicEngine::Stop(SegmentObject* segment) {
    if (!playing || (segment != nullptr && playing->segment != segment))
        return;
    NotesOff();
    playing->state->finished = true;
    playing->segment->Release();
    playing->state->Release();
    playing.reset();
}

// Renders up to frames of the playing segment, dispatching the events that fall due, and
// returns how many frames it rendered (at least one).
int64_t MusicEngine::RenderSome(Playing& p, int16_t* out, int frames) {
    const std::vector<MidiEvent>& events = p.song->events;
    int64_t boundary = p.looping ? p.loopEnd : p.song->length;
    // Dispatches an event while this call's budget lasts; later ones pass silently.
    auto dispatch = [this](const MidiEvent& event) {
        if (eventBudget > 0) {
            --eventBudget;
            Dispatch(event);
        } else if (event.status == 0xFF && playing) {
            playing->tempo = event.tempo; // the tempo is kept even then, so time runs right
        }
    };
    while (!p.ended) {
        while (p.next < events.size() && events[p.next].time <= static_cast<int64_t>(p.position) &&
               events[p.next].time < boundary)
            dispatch(events[p.next++]);
        if (p.position < static_cast<double>(boundary))
            break;
        // At the boundary: the notes that end exactly there end before the jump or the stop.
        while (p.next < events.size() && events[p.next].time <= boundary) {
            if (IsNoteOff(events[p.next]) || !p.looping)
                dispatch(events[p.next]);
            ++p.next;
        }
        if (p.looping && p.repeatsLeft > 0) {
            if (p.repeatsLeft != DMUS_SEG_REPEAT_INFINITE)
                --p.repeatsLeft;
            // What ran past the end continues after the loop start, within one loop's length
            // even at absurd tempos.
            double overshoot = std::fmod(p.position - static_cast<double>(boundary),
                                         static_cast<double>(p.loopEnd - p.loopStart));
            p.position = static_cast<double>(p.loopStart) + overshoot;
            p.tempo = TempoAt(*p.song, p.loopStart);
            // Out of loop jumps for this call, the loop's events up to the position pass unplayed.
            p.next = FirstEventAt(*p.song, loopBudget-- > 0 ? p.loopStart
                                                            : static_cast<int64_t>(p.position) + 1);
            if (p.repeatsLeft == 0)
                p.looping = false;
            boundary = p.looping ? p.loopEnd : p.song->length;
            continue;
        }
        p.ended = true;
        p.state->finished = true;
    }
    double ticksPerFrame = static_cast<double>(DMUS_PPQ) * 1e6 / (p.tempo * double{sampleRate});
    int count = frames;
    if (!p.ended) {
        int64_t target = boundary;
        if (p.next < events.size())
            target = std::min(target, events[p.next].time);
        double untilNext = (static_cast<double>(target) - p.position) / ticksPerFrame;
        // Compared as doubles: the next event may lie hours away.
        double wanted = std::ceil(untilNext);
        count = wanted >= frames ? frames
                                 : std::max(std::min(stepFrames, frames), static_cast<int>(wanted));
        p.position += count * ticksPerFrame;
        p.played += count * ticksPerFrame;
        p.state->seek = static_cast<MUSIC_TIME>(std::min(p.played, 2147483647.0));
    }
    fluid_synth_write_s16(synth, count, out, 0, 2, out, 1, 2);
    return count;
}

void MusicEngine::MixInto(int16_t* out, int frames) {
    eventBudget = eventsPerCall;
    loopBudget = loopsPerCall;
    scratch.resize(static_cast<size_t>(frames) * 2);
    int done = 0;
    while (done < frames) {
        int16_t* block = scratch.data() + static_cast<size_t>(done) * 2;
        int count = frames - done;
        if (playing)
            count = static_cast<int>(RenderSome(*playing, block, count));
        else
            fluid_synth_write_s16(synth, count, block, 0, 2, block, 1, 2);
        done += count;
    }
    for (size_t i = 0; i < scratch.size(); ++i) {
        int sum = out[i] + scratch[i];
        out[i] = static_cast<int16_t>(std::clamp(sum, -32768, 32767));
    }
}

} // namespace Layer
