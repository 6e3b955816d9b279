// Standard MIDI files read into one time-ordered list of events in music time (768 a quarter).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Layer {

struct MidiEvent {
    int64_t time;   // music time
    uint8_t status; // a channel message's status byte, or 0xFF for a tempo change
    uint8_t data1;
    uint8_t data2;
    uint32_t tempo; // microseconds a quarter note, for tempo changes
};

struct Song {
    std::vector<MidiEvent> events; // by time; events of one time keep their file order
    int64_t length = 0;            // music time of the latest end of track
};

// Largest file and event count the reader takes; larger files are refused.
constexpr size_t maxMidiFileSize = size_t{16} << 20;
constexpr size_t maxMidiEvents = size_t{2} << 20;

// Reads format 0 and 1 files with a ticks-per-quarter division. False, with a reason, for
// anything else or for bytes that do not form such a file.
bool ParseMidi(const uint8_t* data, size_t size, Song* song, std::string* error);

// The tempo in force at a music time (500000 before the first change).
uint32_t TempoAt(const Song& song, int64_t time);

} // namespace Layer
