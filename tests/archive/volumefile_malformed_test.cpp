// VolumeFile on damaged and hostile archives: nothing outside the folder, nothing half-written.
#include <gtest/gtest.h>

#include <memory>

#include "archive/volumefile.h"
#include "support/archivebuilder.h"
#include "support/tempfolder.h"

namespace {

struct MalformedCase {
    const char* label;
    std::string bytes;
    int expectedResult;                // of ExtractAll
    std::vector<std::string> expected; // files below the sandbox afterwards, archive excluded
};

std::string Name80(char fill) {
    return std::string(80, fill);
}

std::string WithSize(const std::string& name, const std::string& data, const std::string& size) {
    return BuildArchive({{name, data, "", size}, {"after", "ok", "", ""}});
}

std::vector<MalformedCase> Cases() {
    const std::string good = BuildArchive({{"a", "1", "", ""}});
    std::vector<MalformedCase> cases = {
        {"count above 256", BuildArchive({{"a", "1", "", ""}}, "0257"), 0, {}},
        {"count 9999", good.substr(0, 20) + "9999" + good.substr(24), 0, {}},
        {"count not a number", BuildArchive({{"a", "1", "", ""}}, "abcd"), 1, {}},
        {"count negative", BuildArchive({{"a", "1", "", ""}}, "-001"), 1, {}},
        {"shorter than the magic", "ZRM VolumeFile", 0, {}},
        {"empty file", "", 0, {}},
        {"magic and nothing else", "ZRM VolumeFile v.0.1", 1, {}},
        {"name without terminator",
         BuildArchive({{Name80('A'), "xx", "", ""}, {"after", "ok", "", ""}}),
         1,
         {"out/after"}},
        {"name escaping with backslashes",
         BuildArchive({{"..\\escaped", "x", "", ""}, {"after", "ok", "", ""}}),
         1,
         {"out/after"}},
        {"name escaping with slashes",
         BuildArchive({{"../escaped", "x", "", ""}, {"after", "ok", "", ""}}),
         1,
         {"out/after"}},
        {"name with a folder",
         BuildArchive({{"sub\\inner", "x", "", ""}, {"after", "ok", "", ""}}),
         1,
         {"out/after"}},
        {"name dot dot",
         BuildArchive({{"..", "x", "", ""}, {"after", "ok", "", ""}}),
         1,
         {"out/after"}},
        {"name with a drive",
         BuildArchive({{"C:evil", "x", "", ""}, {"after", "ok", "", ""}}),
         1,
         {"out/after"}},
        {"name of a device",
         BuildArchive({{"CON.txt", "x", "", ""}, {"after", "ok", "", ""}}),
         1,
         {"out/after"}},
        {"empty name",
         BuildArchive({{"", "x", "", ""}, {"after", "ok", "", ""}}),
         1,
         {"out/after"}},
        {"negative size", WithSize("neg", "xxxxx", "-0000000000000000005"), 1, {}},
        {"size beyond 32 bits", WithSize("big", "x", std::string(20, '9')), 1, {}},
        {"size 2^31", WithSize("big", "x", Digits20(2147483648LL)), 1, {}},
        {"size not a number", WithSize("bad", "x", "0000000000000000001x"), 1, {}},
        {"size larger than the file",
         BuildArchive({{"a", "1", "", ""}, {"b", "22", "", Digits20(2000000000)}}),
         1,
         {"out/a"}},
        {"index cut short", BuildArchive({{"a", "1", "", ""}, {"b", "2", "", ""}}, "0005"), 1, {}},
        {"data cut short",
         BuildArchive({{"a", "123", "", ""}, {"b", "45678", "", ""}}).substr(0, 24 + 240 + 3 + 2),
         1,
         {"out/a"}},
    };
    return cases;
}

TEST(VolumeFileMalformedTest, NothingLeavesTheFolderAndNothingIsHalfWritten) {
    for (const MalformedCase& c : Cases()) {
        TempFolder sandbox;
        std::string archive = sandbox / "bad.zrm";
        std::string output = sandbox / "out";
        WriteBytes(archive, c.bytes);
        auto reader = std::make_unique<VolumeFile>();
        EXPECT_EQ(c.expectedResult, reader->ExtractAll(archive.c_str(), output.c_str())) << c.label;
        std::vector<std::string> files = sandbox.Files();
        files.erase(std::remove(files.begin(), files.end(), "bad.zrm"), files.end());
        EXPECT_EQ(c.expected, files) << c.label;
        EXPECT_LE(reader->Count, VolumeFile::maxEntries) << c.label;
    }
}

TEST(VolumeFileMalformedTest, BadSizeHidesLaterEntriesButNotEarlierOnes) {
    TempFolder sandbox;
    std::string archive = sandbox / "bad.zrm";
    WriteBytes(archive, BuildArchive({{"first", "1", "", ""},
                                      {"broken", "2", "", "-0000000000000000001"},
                                      {"third", "3", "", ""}}));
    auto reader = std::make_unique<VolumeFile>();
    ASSERT_EQ(1, reader->ReadIndex(archive.c_str()));
    EXPECT_EQ(-1, reader->Entries[1].Size);
    std::string target = sandbox / "t";
    EXPECT_EQ(nullptr, reader->ExtractFile(archive.c_str(), "third", target.c_str(), 0));
    EXPECT_NE(nullptr, reader->ExtractFile(archive.c_str(), "first", target.c_str(), 0));
    EXPECT_EQ("1", ReadBytes(target));
}

TEST(VolumeFileMalformedTest, EntryNameIsNeverUsedAsAPathWhenItCouldEscape) {
    TempFolder sandbox;
    std::string archive = sandbox / "bad.zrm";
    WriteBytes(archive, BuildArchive({{"..\\up", "x", "", ""}}));
    std::filesystem::create_directory(sandbox.Path() / "inner");
    std::string inner = sandbox / "inner";
    sandbox.Enter();
    std::filesystem::current_path(inner);
    auto reader = std::make_unique<VolumeFile>();
    EXPECT_EQ(nullptr, reader->ExtractFile(archive.c_str(), "..\\up", nullptr, 0));
    EXPECT_EQ(std::vector<std::string>{"bad.zrm"}, sandbox.Files());
}

TEST(VolumeFileMalformedTest, FolderTooLongForAnyEntryWritesNothing) {
    TempFolder sandbox;
    std::string archive = sandbox / "a.zrm";
    WriteBytes(archive, BuildArchive({{"a", "1", "", ""}}));
    std::string longFolder = sandbox / std::string(300, 'f');
    auto reader = std::make_unique<VolumeFile>();
    EXPECT_EQ(1, reader->ExtractAll(archive.c_str(), longFolder.c_str()));
    EXPECT_EQ(std::vector<std::string>{"a.zrm"}, sandbox.Files());
}

TEST(VolumeFileMalformedTest, ValidNamesAreAcceptedAndOddOnesRefused) {
    struct NameCase {
        const char* name;
        bool valid;
    };
    const NameCase names[] = {
        {"Title.bmp", true},  {"a", true},      {"Gameover.mid", true}, {"\x83\x5E.bmp", true},
        {"", false},          {".", false},     {"..", false},          {"a\\b", false},
        {"a/b", false},       {"c:x", false},   {"nul", false},         {"COM1.dat", false},
        {"LPT9", false},      {"COM10", true},  {"trailing.", false},   {"trailing ", false},
        {"tab\there", false}, {"what?", false}, {"pipe|", false},
    };
    for (const NameCase& n : names)
        EXPECT_EQ(n.valid, IsValidEntryName(n.name)) << n.name;
    EXPECT_TRUE(IsValidEntryName(std::string(79, 'x').c_str()));
    EXPECT_FALSE(IsValidEntryName(std::string(80, 'x').c_str()));
}

} // namespace
