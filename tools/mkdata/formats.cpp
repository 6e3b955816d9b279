// BMP, PNG and standard MIDI file writing.
#include "formats.h"

#include <algorithm>
#include <cstdio>

namespace {

void PutLE(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutBE(std::string& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A MIDI variable-length number: seven bits a byte, the high bit set on all but the last.
void PutNumber(std::string& out, uint32_t value) {
    std::string bytes(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0)
        bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    out += bytes;
}

std::string Chunk(const char* id, const std::string& body) {
    std::string chunk = id;
    PutBE(chunk, static_cast<uint32_t>(body.size()), 4);
    return chunk + body;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values)
        bytes += static_cast<char>(value);
    return bytes;
}

} // namespace

std::string Bmp24(int width, int height, const std::vector<uint32_t>& pixels) {
    auto stride = static_cast<uint32_t>((width * 3 + 3) & ~3);
    std::string bytes = "BM";
    uint32_t fields[] = {54 + stride * static_cast<uint32_t>(height),
                         0,
                         54,
                         40,
                         static_cast<uint32_t>(width),
                         static_cast<uint32_t>(height)};
    for (uint32_t field : fields)
        PutLE(bytes, field, 4);
    PutLE(bytes, 1, 2);  // planes
    PutLE(bytes, 24, 2); // bits per pixel
    for (uint32_t field : {0u, stride * static_cast<uint32_t>(height), 2835u, 2835u, 0u, 0u})
        PutLE(bytes, field, 4);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x)
            PutLE(bytes, pixels[static_cast<size_t>(y) * width + x], 3);
        bytes.append(stride - static_cast<uint32_t>(width) * 3, '\0');
    }
    return bytes;
}

namespace {

void PutBE(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

uint32_t Crc32(const std::string& bytes, size_t from) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < bytes.size(); ++i) {
        crc ^= static_cast<uint8_t>(bytes[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void PngChunk(std::string& png, const char* type, const std::string& data) {
    PutBE(png, static_cast<uint32_t>(data.size()));
    size_t start = png.size();
    png += type;
    png += data;
    PutBE(png, Crc32(png, start));
}

} // namespace

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && written;
}

std::string Png(int width, int height, const std::vector<uint32_t>& pixels) {
    std::string header;
    PutBE(header, static_cast<uint32_t>(width));
    PutBE(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x06\x00\x00\x00", 5); // 8 bits, RGBA, deflate, no interlace
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0'; // no filter
        for (int x = 0; x < width; ++x) {
            uint32_t p = pixels[static_cast<size_t>(y) * width + x];
            for (int shift : {16, 8, 0, 24})
                raw += static_cast<char>((p >> shift) & 0xFF);
        }
    }
    std::string zlib = "\x78\x01"; // deflate, no compression
    uint32_t a = 1, b = 0;
    for (char c : raw) {
        a = (a + static_cast<uint8_t>(c)) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        size_t length = std::min<size_t>(65535, raw.size() - at);
        zlib += static_cast<char>(at + length >= raw.size() ? 1 : 0); // the last block says so
        PutLE(zlib, static_cast<uint32_t>(length), 2);
        PutLE(zlib, static_cast<uint32_t>(~length & 0xFFFF), 2);
        zlib += raw.substr(at, length);
    }
    PutBE(zlib, b << 16 | a);
    std::string png = "\x89PNG\r\n\x1A\n";
    PngChunk(png, "IHDR", header);
    PngChunk(png, "IDAT", zlib);
    PngChunk(png, "IEND", "");
    return png;
}

SmfEvent ProgramChange(int channel, int program) {
    return {0, Bytes({0xC0 | channel, program})};
}
SmfEvent NoteOn(uint32_t tick, int channel, int key, int velocity) {
    return {tick, Bytes({0x90 | channel, key, velocity})};
}
SmfEvent NoteOff(uint32_t tick, int channel, int key) {
    return {tick, Bytes({0x80 | channel, key, 0})};
}
SmfEvent Tempo(uint32_t tick, uint32_t microsecondsPerQuarter) {
    SmfEvent event{tick, "\xFF\x51\x03"};
    PutBE(event.bytes, microsecondsPerQuarter, 3);
    return event;
}

std::string SmfTrack(std::vector<SmfEvent> events, uint32_t endTick) {
    std::stable_sort(events.begin(), events.end(),
                     [](const SmfEvent& a, const SmfEvent& b) { return a.tick < b.tick; });
    std::string body;
    uint32_t now = 0;
    for (const SmfEvent& event : events) {
        PutNumber(body, event.tick - now);
        body += event.bytes;
        now = event.tick;
    }
    PutNumber(body, endTick > now ? endTick - now : 0);
    body += std::string("\xFF\x2F\x00", 3);
    return Chunk("MTrk", body);
}

std::string SmfFile(const std::vector<std::string>& tracks, uint16_t division) {
    std::string header;
    PutBE(header, tracks.size() > 1 ? 1 : 0, 2);
    PutBE(header, static_cast<uint32_t>(tracks.size()), 2);
    PutBE(header, division, 2);
    std::string file = Chunk("MThd", header);
    for (const std::string& track : tracks)
        file += track;
    return file;
}
