// VolumeFile on well-formed archives: index reading, extraction, offsets, names and temp names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "archive/volumefile.h"
#include "support/archivebuilder.h"
#include "support/tempfolder.h"

namespace {

std::unique_ptr<VolumeFile> NewReader() {
    return std::make_unique<VolumeFile>();
}

const std::vector<ArchiveEntrySpec> threeEntries = {
    {"Title.bmp", "first entry's bytes", "", ""},
    {"Stage.mid", std::string(1000, 'm') + "end", "", ""},
    {"Ending.dat", "third\r\nentry\x1A with binary \0 bytes", "", ""},
};

class VolumeFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string archive = folder / "data.zrm";
    std::string output = folder / "out";
};

TEST_F(VolumeFileTest, ReadIndexFillsEntriesAndCount) {
    WriteBytes(archive, BuildArchive(threeEntries));
    auto reader = NewReader();
    ASSERT_EQ(1, reader->ReadIndex(archive.c_str()));
    ASSERT_EQ(3, reader->Count);
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(threeEntries[i].name.c_str(), reader->Entries[i].Name);
        EXPECT_EQ(static_cast<int32_t>(threeEntries[i].data.size()), reader->Entries[i].Size);
        EXPECT_EQ(0, reader->Entries[i].Extra);
    }
    EXPECT_STREQ("", reader->Entries[3].Name);
    EXPECT_STREQ("", reader->ErrorText);
}

TEST_F(VolumeFileTest, ExtractAllWritesEveryEntryIntoTheFolder) {
    WriteBytes(archive, BuildArchive(threeEntries));
    auto reader = NewReader();
    ASSERT_EQ(1, reader->ExtractAll(archive.c_str(), output.c_str()));
    for (const auto& entry : threeEntries)
        EXPECT_EQ(entry.data, ReadBytes(output + "/" + entry.name)) << entry.name;
    EXPECT_EQ(
        (std::vector<std::string>{"data.zrm", "out/Ending.dat", "out/Stage.mid", "out/Title.bmp"}),
        folder.Files());
}

TEST_F(VolumeFileTest, FolderWithOrWithoutTrailingBackslashGivesTheSameFiles) {
    WriteBytes(archive, BuildArchive(threeEntries));
    for (const std::string& destination : {output, output + "\\"}) {
        auto reader = NewReader();
        ASSERT_EQ(1, reader->ExtractAll(archive.c_str(), destination.c_str()));
        EXPECT_EQ(threeEntries[2].data, ReadBytes(output + "/Ending.dat")) << destination;
        std::filesystem::remove_all(output);
    }
}

TEST_F(VolumeFileTest, NullFolderMeansTheCurrentDirectory) {
    WriteBytes(archive, BuildArchive(threeEntries));
    folder.Enter();
    auto reader = NewReader();
    ASSERT_EQ(1, reader->ExtractAll("data.zrm", nullptr));
    EXPECT_EQ(threeEntries[0].data, ReadBytes(folder / "Title.bmp"));
}

TEST_F(VolumeFileTest, ThirdEntryStartsAfterTheIndexAndTheFirstTwoSizes) {
    // Same-sized data in every entry would hide a wrong sum; these sizes all differ.
    std::vector<ArchiveEntrySpec> entries = {
        {"a", "1", "", ""}, {"b", "22222", "", ""}, {"c", "third", "", ""}, {"d", "4444", "", ""}};
    std::string bytes = BuildArchive(entries);
    size_t offset = 24 + 120 * entries.size() + 1 + 5;
    ASSERT_EQ("third", bytes.substr(offset, 5));
    WriteBytes(archive, bytes);
    auto reader = NewReader();
    std::string target = folder / "c.out";
    const char* written = reader->ExtractFile(archive.c_str(), "c", target.c_str(), 0);
    ASSERT_NE(nullptr, written);
    EXPECT_STREQ(target.c_str(), written);
    EXPECT_EQ("third", ReadBytes(target));
}

TEST_F(VolumeFileTest, EmptyEntryGivesAnEmptyFile) {
    WriteBytes(archive, BuildArchive({{"empty.dat", "", "", ""}, {"after", "xyz", "", ""}}));
    auto reader = NewReader();
    ASSERT_EQ(1, reader->ExtractAll(archive.c_str(), output.c_str()));
    EXPECT_TRUE(std::filesystem::exists(output + "/empty.dat"));
    EXPECT_EQ("", ReadBytes(output + "/empty.dat"));
    EXPECT_EQ("xyz", ReadBytes(output + "/after"));
}

TEST_F(VolumeFileTest, ExtraFieldDoesNotChangeTheOutput) {
    for (const std::string& extra : {Digits20(0), Digits20(123456789), std::string(20, '9'),
                                     std::string("-0000000000000000001")}) {
        WriteBytes(archive,
                   BuildArchive({{"x", "payload", extra, ""}, {"y", "second", extra, ""}}));
        auto reader = NewReader();
        ASSERT_EQ(1, reader->ExtractAll(archive.c_str(), output.c_str())) << extra;
        EXPECT_EQ("payload", ReadBytes(output + "/x")) << extra;
        EXPECT_EQ("second", ReadBytes(output + "/y")) << extra;
        std::filesystem::remove_all(output);
    }
}

TEST_F(VolumeFileTest, DuplicateNamesBothWriteTheFirstEntrysData) {
    WriteBytes(archive, BuildArchive({{"same", "first", "", ""}, {"same", "second!", "", ""}}));
    auto reader = NewReader();
    ASSERT_EQ(1, reader->ExtractAll(archive.c_str(), output.c_str()));
    EXPECT_EQ("first", ReadBytes(output + "/same"));
}

TEST_F(VolumeFileTest, TempNameIsEightCapitalsAndDotTmpOwnedByTheCaller) {
    WriteBytes(archive, BuildArchive(threeEntries));
    folder.Enter();
    auto reader = NewReader();
    const char* name = reader->ExtractFile("data.zrm", "Stage.mid", nullptr, 1);
    ASSERT_NE(nullptr, name);
    ASSERT_EQ(12u, strlen(name));
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(name[i] >= 'A' && name[i] <= 'Z') << name;
    EXPECT_STREQ(".tmp", name + 8);
    EXPECT_EQ(threeEntries[1].data, ReadBytes(folder / name));
    free(const_cast<char*>(name));
}

TEST_F(VolumeFileTest, NullOutputPathUsesTheEntryName) {
    WriteBytes(archive, BuildArchive(threeEntries));
    folder.Enter();
    auto reader = NewReader();
    const char* name = reader->ExtractFile("data.zrm", "Title.bmp", nullptr, 0);
    ASSERT_NE(nullptr, name);
    EXPECT_STREQ("Title.bmp", name);
    EXPECT_EQ(threeEntries[0].data, ReadBytes(folder / "Title.bmp"));
}

TEST_F(VolumeFileTest, UnknownNameReturnsNullAndWritesNothing) {
    WriteBytes(archive, BuildArchive(threeEntries));
    auto reader = NewReader();
    std::string target = folder / "never";
    EXPECT_EQ(nullptr, reader->ExtractFile(archive.c_str(), "title.bmp", target.c_str(), 0));
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(VolumeFileTest, MissingArchiveReturnsZeroAndCreatesNothing) {
    auto reader = NewReader();
    strcpy(reader->ErrorText, "untouched");
    EXPECT_EQ(0, reader->ReadIndex(archive.c_str()));
    EXPECT_EQ(0, reader->ExtractAll(archive.c_str(), output.c_str()));
    EXPECT_STREQ("untouched", reader->ErrorText);
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(VolumeFileTest, WrongLastMagicCharacterIsABadHeader) {
    std::string bytes = BuildArchive(threeEntries);
    bytes[19] = '2';
    WriteBytes(archive, bytes);
    auto reader = NewReader();
    EXPECT_EQ(0, reader->ExtractAll(archive.c_str(), output.c_str()));
    EXPECT_STREQ("\x83\x77\x83\x62\x83\x5F\x88\xD9\x8F\xED", reader->ErrorText); // ヘッダ異常
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(VolumeFileTest, CountZeroCreatesTheFolderAndWritesNothing) {
    WriteBytes(archive, "ZRM VolumeFile v.0.10000");
    auto reader = NewReader();
    EXPECT_EQ(1, reader->ExtractAll(archive.c_str(), output.c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(output));
    EXPECT_EQ(std::vector<std::string>{"data.zrm"}, folder.Files());
}

TEST_F(VolumeFileTest, OnlyTheDestinationFolderItselfIsCreated) {
    WriteBytes(archive, BuildArchive(threeEntries));
    std::string deep = folder / "missing/deeper";
    auto reader = NewReader();
    EXPECT_EQ(1, reader->ExtractAll(archive.c_str(), deep.c_str()));
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

TEST_F(VolumeFileTest, ReadIndexRefillsTheTableOnEveryCall) {
    WriteBytes(archive, BuildArchive(threeEntries));
    auto reader = NewReader();
    ASSERT_EQ(1, reader->ReadIndex(archive.c_str()));
    WriteBytes(archive, BuildArchive({{"only", "1", "", ""}}));
    ASSERT_EQ(1, reader->ReadIndex(archive.c_str()));
    EXPECT_EQ(1, reader->Count);
    EXPECT_STREQ("only", reader->Entries[0].Name);
    EXPECT_STREQ("", reader->Entries[1].Name);
}

} // namespace
