// Writers of the file formats the game's data uses: 24-bit BMP pictures, PNG icons and standard
// MIDI files.
// The data generators and the tests share them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A 24-bit bottom-up BMP of width x height pixels given as 0x00RRGGBB, row by row from the top.
std::string Bmp24(int width, int height, const std::vector<uint32_t>& pixels);

// Writes bytes as a whole file; false when it cannot be written completely.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

// A PNG of width x height pixels given as 0xAARRGGBB, row by row from the top: 8-bit RGBA, the
// image data in stored (uncompressed) deflate blocks, which every PNG reader accepts.
std::string Png(int width, int height, const std::vector<uint32_t>& pixels);

// One event of a MIDI track: its tick and its bytes (a channel message or a meta event).
struct SmfEvent {
    uint32_t tick;
    std::string bytes;
};
SmfEvent ProgramChange(int channel, int program);
SmfEvent NoteOn(uint32_t tick, int channel, int key, int velocity);
SmfEvent NoteOff(uint32_t tick, int channel, int key);
SmfEvent Tempo(uint32_t tick, uint32_t microsecondsPerQuarter);
// A track chunk: the events in tick order (events at one tick keep the order given), then the
// end of the track at endTick.
std::string SmfTrack(std::vector<SmfEvent> events, uint32_t endTick);
// A whole file: format 0 for one track, format 1 for more, division ticks a quarter note.
std::string SmfFile(const std::vector<std::string>& tracks, uint16_t division);
