// LoadImageA of BMP files: every format ImageMagick writes, and damaged files failing cleanly.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "tools/mkdata/formats.h"
#include "support/tempfolder.h"

namespace {

struct Loaded {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // XRGB, top-down
};

bool Load(const std::string& path, Loaded* loaded) {
    auto bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                  LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (bitmap == nullptr)
        return false;
    BITMAP info{};
    EXPECT_EQ(static_cast<int>(sizeof info), GetObjectA(bitmap, sizeof info, &info));
    loaded->width = info.bmWidth;
    loaded->height = info.bmHeight;
    const auto* bits = static_cast<const uint32_t*>(info.bmBits);
    loaded->pixels.assign(bits, bits + static_cast<size_t>(info.bmWidth) * info.bmHeight);
    DeleteObject(bitmap);
    return true;
}

// What ImageMagick reads from a file, as XRGB pixels.
std::vector<uint32_t> Reference(const std::string& path, const TempFolder& folder) {
    std::string raw = folder / "reference.rgb";
    std::string command = "convert '" + path + "' -depth 8 rgb:'" + raw + "'";
    EXPECT_EQ(0, std::system(command.c_str())) << command;
    std::string bytes = ReadBytes(raw);
    std::vector<uint32_t> pixels;
    for (size_t i = 0; i + 2 < bytes.size(); i += 3)
        pixels.push_back((static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) << 16) |
                         (static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + 1])) << 8) |
                         static_cast<uint8_t>(bytes[i + 2]));
    return pixels;
}

TEST(BmpTest, EveryFormatImageMagickWritesLoadsToItsPixels) {
    TempFolder folder;
    struct Format {
        const char* label;
        const char* options;
        int bits;
    };
    const Format formats[] = {
        {"1 bit", "-monochrome -define bmp:format=bmp3", 1},
        {"4 bits", "-colors 12 -type palette -compress none -define bmp:format=bmp3", 4},
        {"8 bits", "-colors 200 -type palette -compress none -define bmp:format=bmp3", 8},
        {"16 bits 565", "-define bmp:subtype=RGB565", 16},
        {"16 bits 555", "-define bmp:subtype=RGB555", 16},
        {"24 bits", "-define bmp:format=bmp3", 24},
        {"24 bits, OS/2 header", "-define bmp:format=bmp2", 24},
        {"8 bits, OS/2 header (3-byte palette entries)",
         "-colors 200 -type palette -define bmp:format=bmp2", 8},
        {"32 bits with masks", "-alpha set -define bmp:subtype=ARGB8888", 32},
    };
    for (const Format& format : formats) {
        std::string path = folder / "image.bmp";
        std::string command = std::string("convert rose: ") + format.options + " '" + path + "'";
        ASSERT_EQ(0, std::system(command.c_str())) << command;
        std::string bytes = ReadBytes(path);
        // The bit count sits at 24 in the 12-byte OS/2 header and at 28 in the others.
        size_t bitsAt = bytes[14] == 12 ? 24 : 28;
        ASSERT_EQ(format.bits, bytes[bitsAt] | (bytes[bitsAt + 1] << 8)) << format.label;
        Loaded loaded;
        ASSERT_TRUE(Load(path, &loaded)) << format.label;
        EXPECT_EQ(70, loaded.width) << format.label;
        EXPECT_EQ(46, loaded.height) << format.label;
        EXPECT_EQ(Reference(path, folder), loaded.pixels) << format.label;
    }
}

TEST(BmpTest, TopDownAndThirtyTwoBitPlainFilesLoadTheRightWayUp) {
    TempFolder folder;
    std::vector<uint32_t> picture;
    for (int i = 0; i < 5 * 3; ++i)
        picture.push_back(static_cast<uint32_t>(0x102030 * (i + 1)) & 0xFFFFFF);
    // 24 bits, rows stored top first (negative height).
    std::string bottomUp = Bmp24(5, 3, picture);
    std::string topDown = bottomUp.substr(0, 54);
    int stride = 16;
    for (int row = 2; row >= 0; --row)
        topDown += bottomUp.substr(54 + row * stride, stride);
    uint32_t minusThree = static_cast<uint32_t>(-3);
    memcpy(&topDown[22], &minusThree, 4);
    // 32 bits, BI_RGB: B, G, R and an ignored byte per pixel.
    std::string plain32 = bottomUp.substr(0, 54);
    plain32[28] = 32;
    for (int y = 2; y >= 0; --y)
        for (int x = 0; x < 5; ++x)
            for (int byte = 0; byte < 4; ++byte)
                plain32 += static_cast<char>((picture[y * 5 + x] | 0xAB000000u) >> (8 * byte));
    for (const std::string& bytes : {bottomUp, topDown, plain32}) {
        WriteBytes(folder / "p.bmp", bytes);
        Loaded loaded;
        ASSERT_TRUE(Load(folder / "p.bmp", &loaded));
        EXPECT_EQ(picture, loaded.pixels);
    }
}

TEST(BmpTest, DamagedOrHostileFilesFailCleanly) {
    TempFolder folder;
    const std::string good = Bmp24(4, 4, std::vector<uint32_t>(16, 0x123456));
    auto with32 = [&](size_t offset, uint32_t value) {
        std::string bytes = good;
        memcpy(&bytes[offset], &value, 4);
        return bytes;
    };
    auto with16 = [&](size_t offset, uint16_t value) {
        std::string bytes = good;
        memcpy(&bytes[offset], &value, 2);
        return bytes;
    };
    std::string palette8 = good;
    palette8[28] = 8;
    uint32_t hugeCount = 0x7FFFFFFF;
    memcpy(&palette8[46], &hugeCount, 4);
    // A 2 x 1 file of 32 bits whose masks (BI_BITFIELDS) would end 4 bytes past its end.
    std::string masksCut = good.substr(0, 62);
    for (auto [offset, value] : {std::pair{18, 2u}, {22, 1u}, {28, 32u}, {30, 3u}})
        memcpy(&masksCut[static_cast<size_t>(offset)], &value, 4);
    struct Case {
        const char* label;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"not a bitmap", "GIF89a" + std::string(100, '\0')},
        {"BA, not BM", with16(0, 'B' | 'A' << 8)},
        {"header only", good.substr(0, 20)},
        {"rows cut short", good.substr(0, good.size() - 5)},
        {"pixel offset past the end", with32(10, 0x7FFFFFF0)},
        {"pixel offset wraps", with32(10, 0xFFFFFFFF)},
        {"absurd width", with32(18, 0x40000000)},
        {"absurd height", with32(22, 0x40000000)},
        {"zero width", with32(18, 0)},
        {"most negative height", with32(22, 0x80000000)},
        {"header size past the end", with32(14, 0x7FFFFFFF)},
        {"header size one byte past the end", with32(14, static_cast<uint32_t>(good.size()) - 13)},
        {"one pixel wider than 8192", Bmp24(8193, 1, std::vector<uint32_t>(8193, 1))},
        {"unknown bit count", with16(28, 7)},
        {"run-length compressed", with32(30, 1)},
        {"palette past the end", palette8},
        {"masks past the end", masksCut},
    };
    for (const Case& c : cases) {
        WriteBytes(folder / "bad.bmp", c.bytes);
        Loaded loaded;
        EXPECT_FALSE(Load(folder / "bad.bmp", &loaded)) << c.label;
    }
    EXPECT_EQ(nullptr, LoadImageA(nullptr, (folder / "absent.bmp").c_str(), IMAGE_BITMAP, 0, 0,
                                  LR_LOADFROMFILE));
    EXPECT_EQ(nullptr, LoadImageA(nullptr, "Title.bmp", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))
        << "no resources of that name";
}

} // namespace
