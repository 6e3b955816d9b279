// Small standard MIDI files for tests, through the data tools' writer.
#pragma once

#include <string>
#include <vector>

#include "tools/mkdata/formats.h"

struct MidiNote {
    uint32_t start, length; // ticks
    int channel, key, velocity;
};

// One track: a tempo, program 0 on each channel used (drums aside), the notes, the end at endTick.
inline std::string MidiTrack(const std::vector<MidiNote>& notes, uint32_t endTick,
                             uint32_t tempo = 500000) {
    std::vector<SmfEvent> events = {Tempo(0, tempo)};
    for (int channel = 0; channel < 16; ++channel)
        for (const MidiNote& note : notes)
            if (note.channel == channel && channel != 9) {
                events.push_back(ProgramChange(channel, 0));
                break;
            }
    for (const MidiNote& note : notes) {
        events.push_back(NoteOn(note.start, note.channel, note.key, note.velocity));
        events.push_back(NoteOff(note.start + note.length, note.channel, note.key));
    }
    return SmfTrack(events, endTick);
}

// A bar-long pattern repeated: a held chord, a bass note each beat and drums, so that every
// moment of the song sounds; 120 beats a minute.
inline std::string LoopingSong(int bars, uint16_t division = 480) {
    std::vector<MidiNote> notes;
    uint32_t quarter = division, bar = 4u * division;
    for (uint32_t b = 0; b < static_cast<uint32_t>(bars); ++b) {
        for (int key : {60, 64, 67})
            notes.push_back({b * bar, bar, 0, key, 90});
        for (uint32_t beat = 0; beat < 4; ++beat) {
            notes.push_back({b * bar + beat * quarter, quarter, 1, 36, 100});
            notes.push_back({b * bar + beat * quarter, quarter / 2, 9, 42, 100});
        }
    }
    return SmfFile({MidiTrack(notes, static_cast<uint32_t>(bars) * bar)}, division);
}
