// The game's fopen through the layer: Windows paths and Windows text mode on Linux.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platformtest.h"
#include "support/tempfolder.h"

namespace {

class TextFileTest : public ::testing::Test {
protected:
    void SetUp() override { folder.Enter(); }
    TempFolder folder;
};

TEST_F(TextFileTest, TextWritesEndLinesWithCrLfBinaryWritesBytesAndAppendAddsAfterThem) {
    struct Case {
        const char* mode;
        std::string expected;
    };
    const Case cases[] = {{"w", "a\r\nb\r\n\r\nc"}, {"wt", "a\r\nb\r\n\r\nc"}, {"wb", "a\nb\n\nc"}};
    for (const Case& c : cases) {
        FILE* file = fopen(".\\out.txt", c.mode);
        ASSERT_NE(nullptr, file) << c.mode;
        fputs("a\nb\n", file);
        fprintf(file, "%s", "\nc");
        fclose(file);
        EXPECT_EQ(c.expected, ReadBytes(folder / "out.txt")) << c.mode;
    }
    for (int i = 0; i < 2; ++i) { // appending adds after the bytes already there
        FILE* file = fopen(".\\out.txt", "a");
        ASSERT_NE(nullptr, file);
        fprintf(file, "[%d]\n", i);
        fclose(file);
    }
    EXPECT_EQ("a\nb\n\nc[0]\r\n[1]\r\n", ReadBytes(folder / "out.txt"));
}

TEST_F(TextFileTest, TextReadsTurnCrLfIntoOneBreakStopAtCtrlZAndFgetsSplitsLines) {
    struct Case {
        std::string bytes;
        std::string expected;
    };
    const Case cases[] = {
        {"x\r\ny\nz", "x\ny\nz"},
        {"lone\rcr\r", "lone\rcr\r"},
        {"two\r\r\nbreaks", "two\r\nbreaks"},
        {"end\x1Ahidden", "end"},
        {std::string(5000, 'q') + "\r\n" + "tail", std::string(5000, 'q') + "\ntail"},
    };
    for (const Case& c : cases) {
        WriteBytes(folder / "in.txt", c.bytes);
        FILE* file = fopen("in.txt", "r");
        ASSERT_NE(nullptr, file);
        std::string read;
        int ch;
        while ((ch = fgetc(file)) != EOF)
            read += static_cast<char>(ch);
        fclose(file);
        EXPECT_EQ(c.expected, read);
    }
    WriteBytes(folder / "lines.txt", "first\r\nsecond\nthird"); // fgets, whatever the ending
    FILE* file = fopen(".\\lines.txt", "r");
    ASSERT_NE(nullptr, file);
    std::vector<std::string> lines;
    for (char line[64]; fgets(line, sizeof line, file) != nullptr;)
        lines.push_back(line);
    fclose(file);
    EXPECT_EQ((std::vector<std::string>{"first\n", "second\n", "third"}), lines);
}

TEST_F(TextFileTest, BackslashPathsReachSubfoldersAndRemoveAndRenameMapToo) {
    std::filesystem::create_directory(folder.Path() / "sub");
    FILE* file = fopen(".\\sub\\f.bin", "wb");
    ASSERT_NE(nullptr, file);
    fputs("data", file);
    fclose(file);
    EXPECT_EQ("data", ReadBytes(folder / "sub/f.bin"));
    EXPECT_EQ(0, rename(".\\sub\\f.bin", ".\\sub\\g.bin"));
    EXPECT_TRUE(std::filesystem::exists(folder / "sub/g.bin"));
    EXPECT_EQ(0, remove(".\\sub\\g.bin"));
    EXPECT_FALSE(std::filesystem::exists(folder / "sub/g.bin"));
    EXPECT_EQ(nullptr, fopen(".\\missing\\x.txt", "r"));
    EXPECT_EQ(nullptr, fopen("C:\\x.txt", "r"));
}

} // namespace
