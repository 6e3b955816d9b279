// The standard MIDI file reader: chunks, variable-length numbers, running status, tempo and ends.
//
// Every length is checked against the bytes that are left, every loop consumes at least one
// byte, and the number of events is capped, so no input can overflow, hang or allocate without
// bound.
#include "audio/midifile.h"

#include <algorithm>

namespace Layer {

namespace {

constexpr int64_t ppq = 768;

uint32_t Read32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : at(data), end(data + size) {}
    size_t Left() const { return static_cast<size_t>(end - at); }
    bool Byte(uint8_t* value) {
        if (at >= end)
            return false;
        *value = *at++;
        return true;
    }
    // A variable-length number of at most four bytes.
    bool Number(uint32_t* value) {
        *value = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t byte = 0;
            if (!Byte(&byte))
                return false;
            *value = (*value << 7) | (byte & 0x7F);
            if (!(byte & 0x80))
                return true;
        }
        return false;
    }
    bool Peek(uint8_t* value) const {
        if (at >= end)
            return false;
        *value = *at;
        return true;
    }
    bool Skip(size_t count) {
        if (count > Left())
            return false;
        at += count;
        return true;
    }
    const uint8_t* Here() const { return at; }

private:
    const uint8_t* at;
    const uint8_t* end;
};

struct TimedEvent {
    MidiEvent event;
    size_t order;
};

bool ReadTrack(const uint8_t* data, size_t size, int64_t division, std::vector<TimedEvent>* events,
               int64_t* trackEnd, std::string* error) {
    Reader track(data, size);
    int64_t ticks = 0;
    uint8_t running = 0;
    while (track.Left() > 0) {
        uint32_t delta = 0;
        if (!track.Number(&delta)) {
            *error = "damaged delta time";
            return false;
        }
        ticks += delta;
        int64_t time = ticks * ppq / division;
        uint8_t status = 0;
        if (!track.Peek(&status)) {
            *error = "event missing";
            return false;
        }
        if (status < 0x80) {
            // Running status: the byte is the first data byte of a message like the last one.
            if (running == 0) {
                *error = "data byte without a status";
                return false;
            }
            status = running;
        } else {
            track.Skip(1);
        }
        if (status == 0xFF) {
            uint8_t type = 0;
            uint32_t length = 0;
            if (!track.Byte(&type) || !track.Number(&length) || length > track.Left()) {
                *error = "damaged meta event";
                return false;
            }
            const uint8_t* body = track.Here();
            track.Skip(length);
            if (type == 0x2F) {
                *trackEnd = time;
                return true;
            }
            if (type == 0x51 && length == 3) {
                uint32_t tempo = (body[0] << 16) | (body[1] << 8) | body[2];
                if (tempo > 0)
                    events->push_back({{time, 0xFF, 0, 0, tempo}, events->size()});
            }
        } else if (status == 0xF0 || status == 0xF7) {
            uint32_t length = 0;
            if (!track.Number(&length) || !track.Skip(length)) {
                *error = "damaged system exclusive message";
                return false;
            }
        } else if (status >= 0xF0) {
            *error = "system message in a file";
            return false;
        } else {
            running = status;
            uint8_t data1 = 0;
            uint8_t data2 = 0;
            bool twoBytes = (status & 0xF0) != 0xC0 && (status & 0xF0) != 0xD0;
            if (!track.Byte(&data1) || (twoBytes && !track.Byte(&data2)) || data1 > 0x7F ||
                data2 > 0x7F) {
                *error = "damaged channel message";
                return false;
            }
            events->push_back({{time, status, data1, data2, 0}, events->size()});
        }
        *trackEnd = std::max(*trackEnd, time);
        if (events->size() > maxMidiEvents) {
            *error = "too many events";
            return false;
        }
    }
    return true; // a track without an end-of-track event ends at its last event
}

} // namespace

bool ParseMidi(const uint8_t* data, size_t size, Song* song, std::string* error) {
    if (size > maxMidiFileSize) {
        *error = "file too large";
        return false;
    }
    Reader file(data, size);
    if (size < 14 || Read32(data) != 0x4D546864 || Read32(data + 4) < 6) {
        *error = "not a standard MIDI file";
        return false;
    }
    uint32_t headerLength = Read32(data + 4);
    unsigned format = (data[8] << 8) | data[9];
    unsigned tracks = (data[10] << 8) | data[11];
    int division = (data[12] << 8) | data[13];
    if (format > 1 || (format == 0 && tracks != 1) || tracks == 0) {
        *error = "only format 0 and 1 files are played";
        return false;
    }
    if (division == 0 || (division & 0x8000)) {
        *error = "only ticks-per-quarter divisions are played";
        return false;
    }
    if (!file.Skip(8) || !file.Skip(headerLength)) {
        *error = "damaged header";
        return false;
    }
    std::vector<TimedEvent> events;
    int64_t length = 0;
    unsigned found = 0;
    while (found < tracks && file.Left() >= 8) {
        const uint8_t* chunk = file.Here();
        uint32_t chunkLength = Read32(chunk + 4);
        file.Skip(8);
        // A chunk claiming more than the file holds is read to the file's end.
        size_t available = std::min<size_t>(chunkLength, file.Left());
        if (Read32(chunk) == 0x4D54726B) {
            int64_t trackEnd = 0;
            if (!ReadTrack(file.Here(), available, division, &events, &trackEnd, error))
                return false;
            length = std::max(length, trackEnd);
            ++found;
        }
        file.Skip(available);
    }
    if (found == 0) {
        *error = "no track";
        return false;
    }
    std::stable_sort(events.begin(), events.end(), [](const TimedEvent& a, const TimedEvent& b) {
        return a.event.time < b.event.time;
    });
    song->events.clear();
    song->events.reserve(events.size());
    for (const TimedEvent& timed : events)
        song->events.push_back(timed.event);
    song->length = length;
    return true;
}

uint32_t TempoAt(const Song& song, int64_t time) {
    uint32_t tempo = 500000;
    for (const MidiEvent& event : song.events) {
        if (event.time > time)
            break;
        if (event.status == 0xFF)
            tempo = event.tempo;
    }
    return tempo;
}

} // namespace Layer
