// The layer's MIDI file reader: what it makes of each construct a file can hold, at the exact
// bounds of its checks, and why it refuses a file damaged in one way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platformtest.h"

namespace {

using Events = std::vector<PlatformTest::MidiRecord>;

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

std::string Big32(size_t value) {
    return Bytes({static_cast<int>(value >> 24 & 0xFF), static_cast<int>(value >> 16 & 0xFF),
                  static_cast<int>(value >> 8 & 0xFF), static_cast<int>(value & 0xFF)});
}

// A header of the given format and track count, 96 ticks a quarter (8 music-time units a tick).
std::string Header(int format, int tracks, size_t length = 6) {
    return "MThd" + Big32(length) + Bytes({0, format, 0, tracks, 0, 96}) +
           std::string(length - 6, '\0');
}

std::string Track(const std::string& body, size_t statedLength = 0) {
    return "MTrk" + Big32(statedLength ? statedLength : body.size()) + body;
}

const std::string end = Bytes({0x00, 0xFF, 0x2F, 0x00});

std::string OneTrack(const std::string& body) {
    return Header(0, 1) + Track(body);
}

struct Case {
    const char* label;
    std::string bytes;
    const char* error; // "" when the file reads
    Events events;
    int64_t length;
};

std::string Describe(const Events& events) {
    std::string text;
    for (const PlatformTest::MidiRecord& e : events)
        text += "{" + std::to_string(e.time) + " " + std::to_string(e.status) + " " +
                std::to_string(e.data1) + " " + std::to_string(e.data2) + " " +
                std::to_string(e.tempo) + "} ";
    return text;
}

void Check(const Case& c) {
    Events events;
    int64_t length = -1;
    std::string error = PlatformTest::ReadMidi(c.bytes, &events, &length);
    EXPECT_EQ(c.error, error) << c.label;
    if (error.empty() && std::string(c.error).empty()) {
        EXPECT_EQ(Describe(c.events), Describe(events)) << c.label;
        EXPECT_EQ(c.length, length) << c.label;
    }
}

TEST(MidiFileTest, HeadersAreReadToTheirExactBounds) {
    const std::string note = Track(Bytes({0x00, 0x90, 60, 64}) + end);
    const Events oneNote = {{0, 0x90, 60, 64, 0}};
    const Case cases[] = {
        {"a byte short of the smallest header",
         Header(0, 1).substr(0, 13),
         "not a standard MIDI file",
         {},
         0},
        {"the smallest header and nothing else", Header(0, 1), "no track", {}, 0},
        {"header length 5",
         Header(0, 1).replace(7, 1, 1, '\5') + note,
         "not a standard MIDI file",
         {},
         0},
        {"header length 7: its extra byte is skipped", Header(0, 1, 7) + note, "", oneNote, 0},
        {"a header longer than the file",
         Header(0, 1).replace(4, 4, Big32(7)),
         "damaged header",
         {},
         0},
        {"format 1 with no track", Header(1, 0), "only format 0 and 1 files are played", {}, 0},
        {"division with the SMPTE bit",
         Header(0, 1).replace(12, 1, 1, '\x80') + note,
         "only ticks-per-quarter divisions are played",
         {},
         0},
        {"an unknown chunk before the track is passed over",
         Header(0, 1) + "XFIL" + Big32(3) + "abc" + note, "", oneNote, 0},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(MidiFileTest, TracksAndTheirEventsReadAsTheFileMeansThem) {
    const Case cases[] = {
        // Program change and channel pressure carry one data byte: the running status after
        // them starts with the next message's only data byte.
        {"running status after one-byte messages",
         OneTrack(Bytes({0x00, 0xC3, 5, 0x00, 7, 0x00, 0xD3, 0x40, 0x00, 0x41}) + end),
         "",
         {{0, 0xC3, 5, 0, 0}, {0, 0xC3, 7, 0, 0}, {0, 0xD3, 0x40, 0, 0}, {0, 0xD3, 0x41, 0, 0}},
         0},
        {"running status after a note, delta times in ticks of 96 a quarter",
         OneTrack(Bytes({0x00, 0x90, 60, 64, 0x10, 62, 0, 0x81, 0x00, 0xE1, 0x00, 0x40}) + end),
         "",
         {{0, 0x90, 60, 64, 0}, {128, 0x90, 62, 0, 0}, {1152, 0xE1, 0, 0x40, 0}},
         1152},
        {"a tempo change; a tempo of 0 and one of two bytes are left out",
         OneTrack(Bytes({0x00, 0xFF, 0x51, 3, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x51,
                         3,    0,    0,    0, 0x00, 0xFF, 0x51, 2,    1,    2}) +
                  end),
         "",
         {{0, 0xFF, 0, 0, 500000}},
         0},
        {"system exclusive messages are passed over",
         OneTrack(Bytes({0x00, 0xF0, 3, 1, 2, 0xF7, 0x00, 0xF7, 0, 0x00, 0x90, 60, 64}) + end),
         "",
         {{0, 0x90, 60, 64, 0}},
         0},
        {"the end of track sets the length, and nothing after it is read",
         OneTrack(Bytes({0x00, 0x90, 60, 64, 0x60, 0xFF, 0x2F, 0x00, 0x00, 0x90, 61, 64})),
         "",
         {{0, 0x90, 60, 64, 0}},
         768},
        {"a track stating more bytes than are left is read to the file's end",
         Header(0, 1) + Track(Bytes({0x00, 0x90, 60, 64, 0x08, 0x80, 60, 0}), 200),
         "",
         {{0, 0x90, 60, 64, 0}, {64, 0x80, 60, 0, 0}},
         64},
        {"a track stating fewer bytes ends there",
         Header(0, 1) + Track(Bytes({0x00, 0x90, 60, 64, 0x08, 0x80, 60, 0}), 4),
         "",
         {{0, 0x90, 60, 64, 0}},
         0},
        {"the longest delta time",
         OneTrack(Bytes({0xFF, 0xFF, 0xFF, 0x7F, 0x90, 60, 64})),
         "",
         {{int64_t{0x0FFFFFFF} * 8, 0x90, 60, 64, 0}},
         int64_t{0x0FFFFFFF} * 8},
        // Damaged in one way each.
        {"data byte without a status",
         OneTrack(Bytes({0x00, 60, 64}) + end),
         "data byte without a status",
         {},
         0},
        {"second data byte above 0x7F",
         OneTrack(Bytes({0x00, 0x90, 60, 0x80}) + end),
         "damaged channel message",
         {},
         0},
        {"a channel message cut short",
         OneTrack(Bytes({0x00, 0x90, 60})),
         "damaged channel message",
         {},
         0},
        {"a meta event longer than its track",
         OneTrack(Bytes({0x00, 0xFF, 0x01, 4, 'a', 'b', 'c'})),
         "damaged meta event",
         {},
         0},
        {"system exclusive longer than its track",
         OneTrack(Bytes({0x00, 0xF0, 4, 1, 2, 0xF7})),
         "damaged system exclusive message",
         {},
         0},
        {"a system real-time byte",
         OneTrack(Bytes({0x00, 0xF8}) + end),
         "system message in a file",
         {},
         0},
        {"a delta time with no event after it",
         OneTrack(Bytes({0x00, 0x90, 60, 64, 0x05})),
         "event missing",
         {},
         0},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(MidiFileTest, EventsOfOneTimeKeepTheirOrderAcrossTracks) {
    // Two tracks, each with four events at time 0 and one later: by time, and at one time the
    // first track's events before the second's, each in its file order.
    std::string first, second;
    Events expected;
    for (int key = 0; key < 4; ++key) {
        first += Bytes({0x00, 0x90, 40 + key, 64});
        expected.push_back({0, 0x90, 40 + key, 64, 0});
    }
    for (int key = 0; key < 4; ++key) {
        second += Bytes({0x00, 0x91, 50 + key, 64});
        expected.push_back({0, 0x91, 50 + key, 64, 0});
    }
    first += Bytes({0x0A, 0x80, 40, 0});
    second += Bytes({0x05, 0x81, 50, 0});
    expected.push_back({40, 0x81, 50, 0, 0});
    expected.push_back({80, 0x80, 40, 0, 0});
    Check(
        {"two tracks", Header(1, 2) + Track(first + end) + Track(second + end), "", expected, 80});
    Check({"format 0 with two tracks",
           Header(0, 2) + Track(first) + Track(second),
           "only format 0 and 1 files are played",
           {},
           0});
}

TEST(MidiFileTest, TheTempoInForceChangesAtItsExactTime) {
    // A change to 1,000,000 microseconds a quarter at tick 12: music time 96.
    const std::string file = OneTrack(Bytes({0x0C, 0xFF, 0x51, 3, 0x0F, 0x42, 0x40}) + end);
    EXPECT_EQ(500000u, PlatformTest::MidiTempoAt(file, 95));
    EXPECT_EQ(1000000u, PlatformTest::MidiTempoAt(file, 96));
}

} // namespace
