// The game's songs as standard MIDI files: melody, harmony, bass and drums on General MIDI.
#include "songs.h"

#include "formats.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int quarter = 480;
constexpr int bar = 4 * quarter;

struct Note {
    int start, length, key, velocity;
};

struct Part {
    int channel;
    int program; // -1 for drums
    std::vector<Note> notes;
};

struct Random {
    uint32_t state;
    int Next(int range) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % static_cast<uint32_t>(range));
    }
};

const int majorScale[7] = {0, 2, 4, 5, 7, 9, 11};
const int minorScale[7] = {0, 2, 3, 5, 7, 8, 10};

struct SongPlan {
    int bpm;
    int bars;
    int root; // MIDI key of the tonic, octave 4
    bool minor;
    std::vector<int> progression; // scale degrees 0 to 6, one chord a bar
    int melodyProgram, harmonyProgram, bassProgram;
    bool arpeggio; // harmony as eighth-note arpeggios, else held chords
    bool busyDrums;
    uint32_t seed;
};

int ScaleKey(const SongPlan& plan, int degree, int octave) {
    const int* scale = plan.minor ? minorScale : majorScale;
    int wrapped = ((degree % 7) + 7) % 7;
    int octaves = (degree - wrapped) / 7;
    return plan.root + 12 * (octave - 4 + octaves) + scale[wrapped];
}

std::string TrackOf(const Part& part, int end) {
    std::vector<SmfEvent> events;
    if (part.program >= 0)
        events.push_back(ProgramChange(part.channel, part.program));
    events.push_back({0, {static_cast<char>(0xB0 | part.channel), 7, 100}}); // channel volume
    // Note-offs before note-ons at one tick: offs go first, and the sort keeps that order.
    for (const Note& n : part.notes)
        if (int stop = std::min(n.start + n.length, end); stop > n.start)
            events.push_back(NoteOff(static_cast<uint32_t>(stop), part.channel, n.key));
    for (const Note& n : part.notes)
        if (std::min(n.start + n.length, end) > n.start)
            events.push_back(
                NoteOn(static_cast<uint32_t>(n.start), part.channel, n.key, n.velocity));
    return SmfTrack(events, static_cast<uint32_t>(end));
}

std::string SongFile(int bpm, const std::vector<Part>& parts, int end) {
    std::vector<std::string> tracks = {
        SmfTrack({Tempo(0, static_cast<uint32_t>(60000000 / bpm))}, static_cast<uint32_t>(end))};
    for (const Part& part : parts)
        tracks.push_back(TrackOf(part, end));
    return SmfFile(tracks, quarter);
}

std::string Compose(const SongPlan& plan) {
    Random random{plan.seed};
    Part melody{0, plan.melodyProgram, {}};
    Part harmony{1, plan.harmonyProgram, {}};
    Part bass{2, plan.bassProgram, {}};
    Part drums{9, -1, {}};
    // A two-bar motif (rhythm and steps), reused on every phrase so that the tune is recognisable.
    std::vector<std::pair<int, int>> motif; // (start within two bars, length)
    for (int at = 0; at < 2 * bar;) {
        int length = random.Next(3) == 0 ? quarter : quarter / 2;
        if (at % bar == 3 * quarter + quarter / 2)
            length = quarter / 2;
        motif.push_back({at, length});
        at += length;
    }
    std::vector<int> steps;
    for (size_t i = 0; i < motif.size(); ++i)
        steps.push_back(random.Next(5) - 2);
    for (int b = 0; b < plan.bars; ++b) {
        int degree = plan.progression[static_cast<size_t>(b) % plan.progression.size()];
        int start = b * bar;
        int chord[3] = {ScaleKey(plan, degree, 4), ScaleKey(plan, degree + 2, 4),
                        ScaleKey(plan, degree + 4, 4)};
        // Harmony.
        if (plan.arpeggio) {
            for (int e = 0; e < 8; ++e)
                harmony.notes.push_back(
                    {start + e * quarter / 2, quarter / 2, chord[e % 3] + (e >= 4 ? 12 : 0), 62});
        } else {
            for (int k : chord)
                harmony.notes.push_back({start, bar, k, 58});
        }
        // Bass: the root on every beat, an octave jump on the off-beats of busy songs.
        for (int beat = 0; beat < 4; ++beat) {
            int key = ScaleKey(plan, degree, 2);
            bass.notes.push_back({start + beat * quarter, quarter * 3 / 4, key, 96});
            if (plan.busyDrums)
                bass.notes.push_back(
                    {start + beat * quarter + quarter / 2, quarter / 3, key + 12, 80});
        }
        // Drums: kick, snare, hi-hat; a crash at each eight-bar phrase.
        for (int beat = 0; beat < 4; ++beat) {
            int t = start + beat * quarter;
            drums.notes.push_back(
                {t, quarter / 4, beat % 2 == 0 ? 36 : 38, beat % 2 == 0 ? 110 : 96});
            for (int h = 0; h < (plan.busyDrums ? 2 : 1); ++h)
                drums.notes.push_back({t + h * quarter / 2, quarter / 4, 42, 70});
        }
        if (b % 8 == 0)
            drums.notes.push_back({start, quarter, 49, 100});
        // Melody: the motif, moving with the chords; the last bar of each phrase rests on the root.
        if (b % 2 == 0) {
            int position = 2; // scale degrees above the chord root
            for (size_t i = 0; i < motif.size(); ++i) {
                int at = start + motif[i].first;
                if (at >= plan.bars * bar)
                    break;
                int chordNow =
                    plan.progression[static_cast<size_t>(at / bar) % plan.progression.size()];
                position = std::clamp(position + steps[i], 0, 7);
                bool strong = motif[i].first % quarter == 0;
                int degreeNow = chordNow + (strong ? (position / 2) * 2 : position);
                bool phraseEnd = (b % 8 == 6) && motif[i].first >= bar + quarter * 2;
                if (phraseEnd)
                    degreeNow = 7;
                melody.notes.push_back(
                    {at, motif[i].second - 20, ScaleKey(plan, degreeNow, 5), strong ? 100 : 84});
            }
        }
    }
    return SongFile(plan.bpm, {melody, harmony, bass, drums}, plan.bars * bar);
}

std::string ClearJingle() {
    // A short fanfare: a rising arpeggio and a held chord, about three seconds.
    Part brass{0, 61, {}};
    Part strings{1, 48, {}};
    Part timpani{9, -1, {}};
    const int keys[] = {60, 64, 67, 72, 76, 79};
    for (int i = 0; i < 6; ++i)
        brass.notes.push_back({i * quarter / 2, quarter / 2, keys[i], 100});
    for (int k : {72, 76, 79, 84})
        brass.notes.push_back({3 * quarter, 2 * quarter + quarter / 2, k, 110});
    for (int k : {48, 55, 64})
        strings.notes.push_back({0, 5 * quarter + quarter / 2, k, 80});
    for (int i = 0; i < 4; ++i)
        timpani.notes.push_back({3 * quarter + i * quarter / 4, quarter / 4, 41, 90 + i * 8});
    timpani.notes.push_back({3 * quarter, quarter, 49, 110});
    return SongFile(140, {brass, strings, timpani}, 6 * quarter);
}

} // namespace

bool WriteSongs(const std::string& folder) {
    // Title: bright and steady, 110 beats a minute, 24 bars (52 s).
    SongPlan title{110, 24, 62, false, {0, 5, 3, 4, 0, 5, 1, 4}, 80, 4, 33, true, false, 11};
    // Stage: driving, 138 beats a minute, 32 bars (56 s).
    SongPlan stage{138, 32, 57, true, {0, 5, 6, 4, 0, 3, 6, 4}, 81, 89, 38, true, true, 29};
    // Ending: warm and slow, 84 beats a minute, 20 bars (57 s).
    SongPlan ending{84, 20, 65, false, {0, 4, 5, 3, 0, 4, 3, 4}, 73, 48, 32, false, false, 47};
    // Game over: dark and slow, 76 beats a minute, 12 bars (38 s).
    SongPlan gameOver{76, 12, 57, true, {0, 3, 5, 4}, 71, 49, 32, false, false, 83};
    return WriteWholeFile(folder + "/Title.mid", Compose(title)) &&
           WriteWholeFile(folder + "/Stage.mid", Compose(stage)) &&
           WriteWholeFile(folder + "/Ending.mid", Compose(ending)) &&
           WriteWholeFile(folder + "/Gameover.mid", Compose(gameOver)) &&
           WriteWholeFile(folder + "/Clear.mid", ClearJingle());
}
