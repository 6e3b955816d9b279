// The music engine: a sequencer over a segment's events with DirectMusic's loop rules, rendered
// by the synthesizer with the General MIDI SoundFont.
#include <algorithm>
#include <cmath>

#include "audio/audiointernal.h"
#include "audio/dmusicobjects.h"
#include "kernel/testhooks.h"

namespace Layer {

namespace {

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
    std::unique_ptr<Synthesizer> synth = Synthesizer::Create();
    if (!synth)
        return nullptr;
    std::unique_ptr<MusicEngine> engine(new MusicEngine());
    engine->synth = std::move(synth);
    return engine;
}

MusicEngine::~MusicEngine() {
    if (playing) {
        playing->segment->Release();
        playing->state->Release();
    }
}

void MusicEngine::Dispatch(const MidiEvent& event) {
    if (event.status == 0xFF) {
        if (playing)
            playing->tempo = event.tempo;
        return;
    }
    if (event.status >= 0x80 && event.status < 0xF0)
        synth->Send(event.status, event.data1, event.data2);
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
    synth->NotesOff();
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
    synth->Render(out, count);
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
            synth->Render(block, count);
        done += count;
    }
    for (size_t i = 0; i < scratch.size(); ++i) {
        int sum = out[i] + scratch[i];
        out[i] = static_cast<int16_t>(std::clamp(sum, -32768, 32767));
    }
}

} // namespace Layer
