// Writes small standard MIDI files for tests: notes, programs and tempo on one or more tracks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

struct MidiNote {
    uint32_t start; // ticks
    uint32_t length;
    uint8_t channel;
    uint8_t key;
    uint8_t velocity;
};

inline void PutBE(std::string& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline void PutNumber(std::string& out, uint32_t value) {
    std::string bytes(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0)
        bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    out += bytes;
}

// One track: a tempo, a program per channel used, the notes, and the end of track at endTick.
inline std::string MidiTrack(const std::vector<MidiNote>& notes, uint32_t endTick,
                             uint32_t tempo = 500000) {
    struct Event {
        uint32_t tick;
        std::string bytes;
    };
    std::vector<Event> events;
    std::string tempoEvent = "\xFF\x51\x03";
    PutBE(tempoEvent, tempo, 3);
    events.push_back({0, tempoEvent});
    for (int channel = 0; channel < 16; ++channel)
        for (const MidiNote& note : notes)
            if (note.channel == channel && channel != 9) {
                events.push_back({0, std::string{static_cast<char>(0xC0 | channel), 0}});
                break;
            }
    for (const MidiNote& note : notes) {
        events.push_back({note.start, std::string{static_cast<char>(0x90 | note.channel),
                                                  static_cast<char>(note.key),
                                                  static_cast<char>(note.velocity)}});
        events.push_back(
            {note.start + note.length,
             std::string{static_cast<char>(0x80 | note.channel), static_cast<char>(note.key), 0}});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.tick < b.tick; });
    std::string body;
    uint32_t now = 0;
    for (const Event& event : events) {
        PutNumber(body, event.tick - now);
        body += event.bytes;
        now = event.tick;
    }
    PutNumber(body, endTick > now ? endTick - now : 0);
    body += std::string("\xFF\x2F\x00", 3);
    std::string chunk = "MTrk";
    PutBE(chunk, static_cast<uint32_t>(body.size()), 4);
    return chunk + body;
}

inline std::string MidiFile(const std::vector<std::string>& tracks, uint16_t division = 480) {
    std::string file = "MThd";
    PutBE(file, 6, 4);
    PutBE(file, tracks.size() > 1 ? 1 : 0, 2);
    PutBE(file, static_cast<uint32_t>(tracks.size()), 2);
    PutBE(file, division, 2);
    for (const std::string& track : tracks)
        file += track;
    return file;
}

// A bar-long pattern repeated: a held chord, a bass note each beat and drums, so that every
// moment of the song sounds.
inline std::string LoopingSong(int bars, uint16_t division = 480) {
    std::vector<MidiNote> notes;
    uint32_t quarter = division;
    uint32_t bar = 4u * quarter;
    for (uint32_t b = 0; b < static_cast<uint32_t>(bars); ++b) {
        for (uint8_t key : {60, 64, 67})
            notes.push_back({b * bar, bar, 0, key, 90});
        for (uint32_t beat = 0; beat < 4; ++beat) {
            notes.push_back({b * bar + beat * quarter, quarter, 1, 36, 100});
            notes.push_back({b * bar + beat * quarter, quarter / 2, 9, 42, 100});
        }
    }
    return MidiFile({MidiTrack(notes, static_cast<uint32_t>(bars) * bar)}, division);
}
