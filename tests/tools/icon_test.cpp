// The program's icon file as Windows draws it, and the same icon as the native resource 101.
#include <gtest/gtest.h>

#include <cstdint>

#include "platformtest.h"
#include "support/gamefixture.h"
#include "support/tempfolder.h"

namespace {

uint32_t Number(const std::string& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

TEST(IconTest, FourSizesTheSixteenColourOneFirstWhoseMaskedPixelsAreBlack) {
    std::string icon = ReadBytes(ProgramFolder() + "/../data/Quellmark.ico");
    ASSERT_GE(icon.size(), 6u + 4 * 16);
    // The directory: reserved 0, type 1 (icon), four entries: 32 x 32 in 16 colours (4 bits), then
    // 16, 48 and 256 (written 0) in 32 bits; their bytes follow one another to the end of the file.
    EXPECT_EQ((std::vector<uint32_t>{0, 1, 4}),
              (std::vector<uint32_t>{Number(icon, 0, 2), Number(icon, 2, 2), Number(icon, 4, 2)}));
    const uint32_t sizes[4] = {32, 16, 48, 0}, counts[4] = {16, 0, 0, 0}, bits[4] = {4, 32, 32, 32};
    size_t end = 6 + 4 * 16;
    for (size_t i = 0; i < 4; ++i) {
        size_t entry = 6 + 16 * i;
        EXPECT_EQ((std::vector<uint32_t>{sizes[i], sizes[i], counts[i], 1, bits[i],
                                         static_cast<uint32_t>(end)}),
                  (std::vector<uint32_t>{Number(icon, entry, 1), Number(icon, entry + 1, 1),
                                         Number(icon, entry + 2, 1), Number(icon, entry + 4, 2),
                                         Number(icon, entry + 6, 2), Number(icon, entry + 12, 4)}))
            << "entry " << i;
        end += Number(icon, entry + 8, 4);
    }
    EXPECT_EQ(icon.size(), end) << "the entries' bytes fill the file";
    size_t large = Number(icon, 6 + 3 * 16 + 12, 4);
    EXPECT_EQ("\x89PNG", icon.substr(large, 4));
    EXPECT_EQ(std::string("\0\0\1\0\0\0\1\0", 8), icon.substr(large + 16, 8)) << "256 x 256";
    // The 16-colour image: a 40-byte header, twice the height (colours and mask), 16 colours.
    uint32_t offset = Number(icon, 18, 4);
    EXPECT_EQ((std::vector<uint32_t>{40, 32, 64, 1, 4}),
              (std::vector<uint32_t>{Number(icon, offset, 4), Number(icon, offset + 4, 4),
                                     Number(icon, offset + 8, 4), Number(icon, offset + 12, 2),
                                     Number(icon, offset + 14, 2)}));
    size_t colours = offset + 40 + 16 * 4, mask = colours + 32 * 16;
    ASSERT_EQ(offset + Number(icon, 14, 4), mask + 32 * 4);
    int masked = 0;
    std::vector<uint32_t> argb(32 * 32); // as the layer should read it for the window's icon
    for (int row = 0; row < 32; ++row)   // bottom-up, as the bitmap stores them
        for (int x = 0; x < 32; ++x) {
            bool transparent =
                (Number(icon, mask + static_cast<size_t>(row) * 4 + x / 8, 1) >> (7 - x % 8)) & 1;
            uint32_t index = Number(icon, colours + static_cast<size_t>(row) * 16 + x / 2, 1) >>
                                 (x % 2 == 0 ? 4 : 0) &
                             0x0F;
            uint32_t colour = Number(icon, offset + 40 + index * 4, 3);
            // Windows ANDs the mask, then XORs the colours: a masked pixel must be black.
            EXPECT_TRUE(!transparent || colour == 0) << "pixel " << x << "," << 31 - row;
            masked += transparent;
            argb[(31 - row) * 32 + x] = transparent ? 0 : 0xFF000000 | colour;
        }
    EXPECT_GT(masked, 8) << "the rounded corners are masked";
    EXPECT_LT(masked, 100);
    // The native program links the same file in: LoadIconA answers its 32 x 32 image, the size
    // Windows asks for, as resource 101 of the program, the same handle each time, and nothing
    // for another number or module.
    HICON loaded = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCE(101));
    EXPECT_EQ(loaded, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCE(101)));
    int width = 0, height = 0;
    EXPECT_EQ(argb, PlatformTest::IconPixels(loaded, &width, &height));
    EXPECT_EQ(std::make_pair(32, 32), std::make_pair(width, height));
    EXPECT_EQ(nullptr, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCE(102)));
    EXPECT_EQ(nullptr, LoadIconA(nullptr, MAKEINTRESOURCE(101)));
}

} // namespace
