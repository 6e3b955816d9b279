// PackArchive: the exact bytes it writes, round trips through the reader, and its refusals.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "archive/volumefile.h"
#include "support/archivebuilder.h"
#include "support/tempfolder.h"
#include "tools/zrmpack/packer.h"

namespace {

class PackerTest : public ::testing::Test {
protected:
    std::string Input(const std::string& name, const std::string& bytes) {
        std::filesystem::create_directories(inputs.Path() /
                                            std::filesystem::path(name).parent_path());
        std::string path = inputs / name;
        WriteBytes(path, bytes);
        return path;
    }
    TempFolder inputs;
    TempFolder work;
    std::string archive = work / "game.zrm";
};

TEST_F(PackerTest, WritesHeaderIndexAndDataExactly) {
    std::vector<std::string> files = {Input("Title.bmp", "BMdata"), Input("empty", ""),
                                      Input("sub/Clear.mid", "MThd")};
    std::string error;
    ASSERT_TRUE(PackArchive(archive, files, &error)) << error;
    std::string expected = BuildArchive(
        {{"Title.bmp", "BMdata", "", ""}, {"empty", "", "", ""}, {"Clear.mid", "MThd", "", ""}});
    EXPECT_EQ(expected, ReadBytes(archive));
    EXPECT_EQ("ZRM VolumeFile v.0.10003Title.bmp", ReadBytes(archive).substr(0, 33));
    EXPECT_EQ(std::string(80 - 9, '\0'), ReadBytes(archive).substr(33, 71));
    EXPECT_EQ(std::vector<std::string>{"game.zrm"}, work.Files()) << "no partial file left";
}

TEST_F(PackerTest, RefusesWhatTheFormatCannotHoldAndWritesNothing) {
    WriteBytes(archive, "previous archive");
    struct Case {
        const char* label;
        std::vector<std::string> files;
        const char* messagePart;
    };
    std::vector<std::string> tooMany;
    for (int i = 0; i < 257; ++i)
        tooMany.push_back(Input("many/" + std::to_string(i), "x"));
    const Case cases[] = {
        {"name of 80 bytes", {Input(std::string(80, 'n'), "x")}, "79 bytes"},
        {"name with a backslash", {Input("a\\b.bmp", "x")}, "folder part"},
        {"name with a drive", {Input("c:x", "x")}, "folder part"},
        {"duplicate", {Input("one/Same.bmp", "1"), Input("two/Same.bmp", "2")}, "duplicate"},
        {"duplicate by case",
         {Input("one/same.bmp", "1"), Input("two/SAME.bmp", "2")},
         "duplicate"},
        {"257 entries", tooMany, "256"},
        {"missing file", {inputs / "absent.bmp"}, "not a readable file"},
        {"a folder", {inputs.Path().string()}, "not a readable file"},
        {"device name", {Input("nul.txt", "x")}, "cannot be an entry name"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(PackArchive(archive, c.files, &error)) << c.label;
        EXPECT_NE(std::string::npos, error.find(c.messagePart)) << c.label << ": " << error;
        EXPECT_EQ("previous archive", ReadBytes(archive)) << c.label;
    }
    EXPECT_EQ(std::vector<std::string>{"game.zrm"}, work.Files());
}

TEST_F(PackerTest, RefusesFilesOfTwoGibibytes) {
    std::string big = inputs / "big.bin";
    WriteBytes(big, "");
    std::filesystem::resize_file(big, uintmax_t{1} << 31); // sparse: nothing is written
    std::string error;
    EXPECT_FALSE(PackArchive(archive, {big}, &error));
    EXPECT_NE(std::string::npos, error.find("2 GiB")) << error;
    std::filesystem::resize_file(big, (uintmax_t{1} << 31) - 1);
    std::string small = Input("small", "s");
    EXPECT_EQ("small", EntryNameOf(small));
    EXPECT_EQ("big.bin", EntryNameOf(big));
}

TEST_F(PackerTest, Utf8FileNamesAreStoredInCodePage932AndExtractedAsUtf8) {
    const std::string utf8 = "\xE3\x82\xBD\xE8\xA1\xA8.bmp"; // ソ表.bmp in UTF-8
    std::string error;
    ASSERT_TRUE(PackArchive(archive, {Input(utf8, "picture")}, &error)) << error;
    auto reader = std::make_unique<VolumeFile>();
    ASSERT_EQ(1, reader->ExtractAll(archive.c_str(), (work / "out").c_str()));
    EXPECT_STREQ("ソ表.bmp", reader->Entries[0].Name) << "code page 932 in the archive";
    EXPECT_EQ("picture", ReadBytes(work / ("out/" + utf8)));
    EXPECT_FALSE(PackArchive(archive, {Input("caf\xC3\xA9", "x")}, &error))
        << "an e with an acute accent";
    EXPECT_NE(std::string::npos, error.find("code page 932 lacks")) << error;
}

// An extract that cannot write an entry (here its file is held open, which the layer refuses to
// replace as Windows does) fails with a message, though an older copy of the entry stands.
TEST_F(PackerTest, AnExtractThatCannotWriteAnEntryFails) {
    std::string error;
    ASSERT_TRUE(PackArchive(archive, {Input("a.txt", "new"), Input("b.txt", "new")}, &error));
    std::string folder = work / "out";
    ASSERT_TRUE(ExtractArchiveTo(archive.c_str(), folder.c_str(), &error)) << error;
    FILE* held = fopen((work / "out/a.txt").c_str(), "rb");
    ASSERT_NE(nullptr, held);
    EXPECT_FALSE(ExtractArchiveTo(archive.c_str(), folder.c_str(), &error));
    fclose(held);
    EXPECT_EQ("1 entries could not be written fresh", error);
    EXPECT_FALSE(ExtractArchiveTo((work / "absent.zrm").c_str(), folder.c_str(), &error));
    EXPECT_NE(std::string::npos, error.find("cannot be opened")) << error;
}

} // namespace
