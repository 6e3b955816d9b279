// VolumeFile: extraction as the index says, and hostile archives writing nothing out of place.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>

#if QUELLMARK_TEST_CONTROLS
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "archive/volumefile.h"
#include "support/archivebuilder.h"
#include "support/tempfolder.h"
#include "support/testcontrols.h"

namespace {

const std::vector<ArchiveEntrySpec> threeEntries = {
    {"Title.bmp", "first entry's bytes", "", ""},
    {"Stage.mid", std::string(1000, 'm') + "end", "", ""},
    {"Ending.dat", "third\r\nentry\x1A with binary \0 bytes", "", ""},
};

// An archive of one entry and then a good one named "after".
std::string ThenAfter(const std::string& name, const std::string& size = "") {
    return BuildArchive({{name, "xxxxx", "", size}, {"after", "ok", "", ""}});
}

class VolumeFileTest : public ::testing::Test {
protected:
    // Extracts bytes into "out" and answers the files made below the folder, archive left out.
    std::vector<std::string> Extract(const std::string& bytes, int expectedResult,
                                     const std::string& destination = "out") {
        WriteBytes(archive, bytes);
        EXPECT_EQ(expectedResult,
                  reader->ExtractAll(archive.c_str(), (folder / destination).c_str()));
        EXPECT_LE(reader->Count, VolumeFile::maxEntries);
        std::vector<std::string> files = folder.Files();
        files.erase(std::remove(files.begin(), files.end(), "data.zrm"), files.end());
        std::filesystem::remove_all(folder.Path() / "out");
        return files;
    }
    TempFolder folder;
    std::string archive = folder / "data.zrm";
    std::unique_ptr<VolumeFile> reader = std::make_unique<VolumeFile>();
};

TEST_F(VolumeFileTest, WellFormedArchivesExtractAsTheirIndexSays) {
    struct Case {
        const char* label;
        std::string bytes;
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {"empty entry",
         BuildArchive({{"empty", "", "", ""}, {"after", "ok", "", ""}}),
         {"out/after", "out/empty"}},
        {"any Extra field", BuildArchive({{"x", "p", std::string(20, '9'), ""}}), {"out/x"}},
        {"negative Extra", BuildArchive({{"x", "p", "-0000000000000000001", ""}}), {"out/x"}},
        {"duplicate names",
         BuildArchive({{"same", "first", "", ""}, {"same", "second", "", ""}}),
         {"out/same"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.files, Extract(c.bytes, 1)) << c.label;
    WriteBytes(archive, BuildArchive({{"same", "first", "", ""}, {"same", "second!", "", ""}}));
    reader->ExtractAll(archive.c_str(), (folder / "out").c_str());
    EXPECT_EQ("first", ReadBytes(folder / "out/same")) << "both write the first entry's data";
    WriteBytes(archive, "ZRM VolumeFile v.0.10000");
    EXPECT_EQ(1, reader->ExtractAll(archive.c_str(), (folder / "empty").c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "empty")) << "count 0 makes the folder";
    EXPECT_EQ((std::vector<std::string>{"out/same"}),
              Extract(BuildArchive(threeEntries), 1, "missing/deeper"))
        << "only the folder itself is made, never its parents";
}

TEST_F(VolumeFileTest, ExtractFileFindsDataByTheSizesBeforeItAndNamesItsOutput) {
    // Sizes that all differ, so that a wrong sum shows.
    std::vector<ArchiveEntrySpec> entries = {
        {"a", "1", "", ""}, {"b", "22222", "", ""}, {"c", "third", "", ""}, {"d", "4444", "", ""}};
    WriteBytes(archive, BuildArchive(entries));
    std::string target = folder / "c.out";
    EXPECT_STREQ(target.c_str(), reader->ExtractFile(archive.c_str(), "c", target.c_str(), 0));
    EXPECT_EQ("third", ReadBytes(target));
    folder.Enter();
    EXPECT_STREQ("b", reader->ExtractFile("data.zrm", "b", nullptr, 0)) << "null: the entry name";
    EXPECT_EQ("22222", ReadBytes(folder / "b"));
    const char* name = reader->ExtractFile("data.zrm", "d", nullptr, 1);
    ASSERT_NE(nullptr, name);
    ASSERT_EQ(12u, strlen(name));
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(name[i] >= 'A' && name[i] <= 'Z') << name;
    EXPECT_STREQ(".tmp", name + 8);
    EXPECT_EQ("4444", ReadBytes(folder / name));
    free(const_cast<char*>(name)); // the caller's
    EXPECT_EQ(nullptr, reader->ExtractFile("data.zrm", "C", "never", 0)) << "names are exact";
    EXPECT_FALSE(std::filesystem::exists(folder / "never"));
}

TEST_F(VolumeFileTest, MissingArchiveOrWrongMagicWritesNothing) {
    strcpy(reader->ErrorText, "untouched");
    EXPECT_EQ(0, reader->ReadIndex(archive.c_str()));
    EXPECT_EQ(0, reader->ExtractAll(archive.c_str(), (folder / "out").c_str()));
    EXPECT_STREQ("untouched", reader->ErrorText);
    std::string bytes = BuildArchive(threeEntries);
    bytes[19] = '2';
    EXPECT_EQ(std::vector<std::string>{}, Extract(bytes, 0));
    EXPECT_STREQ("ヘッダ異常", reader->ErrorText);
}

TEST_F(VolumeFileTest, DamagedAndHostileArchivesWriteNothingOutsideOrHalfWritten) {
    const std::string good = BuildArchive({{"a", "1", "", ""}});
    const std::vector<std::string> afterOnly = {"out/after"};
    struct Case {
        const char* label;
        std::string bytes;
        int result; // of ExtractAll
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {"count above 256", BuildArchive({{"a", "1", "", ""}}, "0257"), 0, {}},
        {"count 9999", good.substr(0, 20) + "9999" + good.substr(24), 0, {}},
        {"count not a number", BuildArchive({{"a", "1", "", ""}}, "abcd"), 1, {}},
        {"count negative", BuildArchive({{"a", "1", "", ""}}, "-001"), 1, {}},
        {"shorter than the magic", "ZRM VolumeFile", 0, {}},
        {"empty file", "", 0, {}},
        {"magic and nothing else", "ZRM VolumeFile v.0.1", 1, {}},
        {"name without terminator", ThenAfter(std::string(80, 'A')), 1, afterOnly},
        {"escaping with backslashes", ThenAfter("..\\escaped"), 1, afterOnly},
        {"escaping with slashes", ThenAfter("../escaped"), 1, afterOnly},
        {"name with a folder", ThenAfter("sub\\inner"), 1, afterOnly},
        {"name dot dot", ThenAfter(".."), 1, afterOnly},
        {"name with a drive", ThenAfter("C:evil"), 1, afterOnly},
        {"name of a device", ThenAfter("CON.txt"), 1, afterOnly},
        {"empty name", ThenAfter(""), 1, afterOnly},
        {"negative size", ThenAfter("neg", "-0000000000000000005"), 1, {}},
        {"size beyond 32 bits", ThenAfter("big", std::string(20, '9')), 1, {}},
        {"size 2^31", ThenAfter("big", Digits20(2147483648LL)), 1, {}},
        // Taken for digits, ':' and '/' would give the sizes 10 and 9 that the data has.
        {"size with the character after 9",
         BuildArchive({{"bad", "0123456789", "", "0000000000000000000:"}, {"after", "ok", "", ""}}),
         1,
         {}},
        {"size with the character before 0",
         BuildArchive({{"bad", "012345678", "", "0000000000000000001/"}, {"after", "ok", "", ""}}),
         1,
         {}},
        {"size larger than the file",
         BuildArchive({{"a", "1", "", ""}, {"b", "22", "", Digits20(2000000000)}}),
         1,
         {"out/a"}},
        {"index cut short", BuildArchive({{"a", "1", "", ""}, {"b", "2", "", ""}}, "0005"), 1, {}},
        {"data cut short",
         BuildArchive({{"a", "123", "", ""}, {"b", "45678", "", ""}}).substr(0, 24 + 240 + 5),
         1,
         {"out/a"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.files, Extract(c.bytes, c.result)) << c.label;
    // Exactly the largest count the header may give: every entry is written.
    std::vector<ArchiveEntrySpec> most;
    std::vector<std::string> written;
    for (int i = 0; i < VolumeFile::maxEntries; ++i) {
        most.push_back({"e" + std::to_string(1000 + i), "x", "", ""});
        written.push_back("out/" + most.back().name);
    }
    EXPECT_EQ(written, Extract(BuildArchive(most), 1)) << "count 256";
    EXPECT_EQ(std::vector<std::string>{}, Extract(good, 1, std::string(300, 'f')))
        << "a folder too long for any entry";
}

TEST_F(VolumeFileTest, BadSizeHidesLaterEntriesAndEscapingNamesAreNeverPaths) {
    WriteBytes(archive, BuildArchive({{"first", "1", "", ""},
                                      {"broken", "2", "", "-0000000000000000001"},
                                      {"..\\third", "3", "", ""}}));
    std::string target = folder / "t";
    EXPECT_EQ(nullptr, reader->ExtractFile(archive.c_str(), "..\\third", target.c_str(), 0));
    EXPECT_EQ(nullptr, reader->ExtractFile(archive.c_str(), "broken", target.c_str(), 0));
    EXPECT_STREQ(target.c_str(), reader->ExtractFile(archive.c_str(), "first", target.c_str(), 0));
    EXPECT_EQ("1", ReadBytes(target));
    WriteBytes(archive, BuildArchive({{"..\\up", "x", "", ""}}));
    std::filesystem::create_directory(folder.Path() / "inner");
    folder.Enter();
    std::filesystem::current_path(folder.Path() / "inner");
    EXPECT_EQ(nullptr, reader->ExtractFile(archive.c_str(), "..\\up", nullptr, 0));
    EXPECT_EQ((std::vector<std::string>{"data.zrm", "t"}), folder.Files());
}

#if QUELLMARK_TEST_CONTROLS // two processes: native only

TEST_F(VolumeFileTest, CopiesUnpackingAtOnceNeverShowAHalfWrittenFile) {
    std::string big;
    for (int i = 0; big.size() < (4u << 20); ++i)
        big += std::to_string(i) + ",";
    WriteBytes(archive, BuildArchive({{"Big.dat", big, "", ""}, {"Small.dat", "small", "", ""}}));
    std::string target = folder / "out/Big.dat";
    ASSERT_EQ(1, reader->ExtractAll(archive.c_str(), (folder / "out").c_str())); // the first copy
    pid_t copies[2];
    for (pid_t& copy : copies)
        if ((copy = fork()) == 0) { // another copy of the program, unpacking again and again
            for (int round = 0; round < 10; ++round)
                VolumeFile().ExtractAll(archive.c_str(), (folder / "out").c_str());
            _exit(0);
        }
    int reads = 0, status = 0;
    while (waitpid(copies[0], &status, WNOHANG) == 0 || waitpid(copies[1], &status, WNOHANG) == 0) {
        std::string seen = ReadBytes(target);
        ASSERT_TRUE(seen == big) << "the first copy found a file of " << seen.size() << " bytes";
        ++reads;
    }
    waitpid(copies[0], &status, 0), waitpid(copies[1], &status, 0);
    EXPECT_GT(reads, 0);
    EXPECT_EQ((std::vector<std::string>{"data.zrm", "out/Big.dat", "out/Small.dat"}),
              folder.Files())
        << "no part left behind";
}

#endif

// A copy of the program that stopped in the middle of unpacking left its temporary files; the
// next unpack removes those of the archive's entries a minute old, and nothing else.
TEST_F(VolumeFileTest, PartsAStoppedCopyLeftAreRemovedOnceAMinuteOld) {
    WriteBytes(archive, BuildArchive({{"Small.dat", "small", "", ""}, {"A", "a", "", ""}}));
    std::filesystem::create_directories(folder.Path() / "out/Small.dat.4244.part"); // a folder
    struct Plant {
        const char* name;
        int ageSeconds;
        bool stays;
    };
    const Plant plants[] = {{"Small.dat.4242.part", 90, false},
                            {"Small.dat.4243.part", 30, true},
                            {"Small.dat.part", 90, true},
                            {"Small.dat.42x.part", 90, true},
                            {"Small.dat..part", 90, true},
                            {"Small.datx4242.part", 90, true},
                            {"A.7.part", 90, false}, // the shortest name one can be
                            {"Small.dat.4244.part", 90, true},
                            {"mall.dat.4242.part", 90, true}, // a user's files, not the entry's
                            {"Small.da.4242.part", 90, true},
                            {"notes.txt.4242.part", 90, true},
                            {"notes.txt", 90, true}};
    for (const Plant& plant : plants) {
        std::string path = folder / (std::string("out/") + plant.name);
        if (!std::filesystem::is_directory(path))
            WriteBytes(path, "left");
        // (Windows' C library cannot set a folder's time: that folder then stays new.)
        std::error_code folderTime;
        std::filesystem::last_write_time(path,
                                         std::filesystem::file_time_type::clock::now() -
                                             std::chrono::seconds(plant.ageSeconds),
                                         folderTime);
        ASSERT_TRUE(!folderTime || std::filesystem::is_directory(path)) << plant.name;
    }
    ASSERT_EQ(1, reader->ExtractAll(archive.c_str(), (folder / "out").c_str()));
    for (const Plant& plant : plants)
        EXPECT_EQ(plant.stays, std::filesystem::exists(folder.Path() / "out" / plant.name))
            << plant.name;
    EXPECT_EQ("small", ReadBytes(folder / "out/Small.dat"));
}

// A second copy of the program unpacks while the first shows the ending and holds Ending.dat open
// (Windows' C library opens it without delete sharing, so it can be neither deleted nor
// replaced): the older whole copy stays, every other entry is refreshed, and nothing is missing.
TEST_F(VolumeFileTest, AFileHeldOpenKeepsItsOlderCopyAndTheOthersAreRefreshed) {
    WriteBytes(archive, BuildArchive(threeEntries));
    ASSERT_EQ(1, reader->ExtractAll(archive.c_str(), (folder / "out").c_str()));
    std::vector<ArchiveEntrySpec> newer = threeEntries;
    for (ArchiveEntrySpec& entry : newer)
        entry.data += " (newer)";
    std::swap(newer[1], newer[2]); // Ending.dat between the other two: the unpack goes on after it
    WriteBytes(archive, BuildArchive(newer));
    FILE* held = fopen((folder / "out/Ending.dat").c_str(), "rb");
    ASSERT_NE(nullptr, held);
    EXPECT_EQ(1, reader->ExtractAll(archive.c_str(), (folder / "out").c_str()));
    fclose(held);
    EXPECT_EQ(1, reader->WriteFailures);
    EXPECT_EQ(0, reader->MissingEntries);
    EXPECT_EQ(threeEntries[2].data, ReadBytes(folder / "out/Ending.dat"));
    for (int i : {0, 2})
        EXPECT_EQ(newer[i].data, ReadBytes(folder / ("out/" + newer[i].name))) << newer[i].name;
    EXPECT_EQ(
        (std::vector<std::string>{"data.zrm", "out/Ending.dat", "out/Stage.mid", "out/Title.bmp"}),
        folder.Files())
        << "no part left behind";
}

TEST(VolumeFileNamesTest, ValidNamesAreAcceptedAndOddOnesRefused) {
    // Code page 932: trail bytes 0x5C (ソ, 表) and 0x7C (ポ) belong to their characters; trail
    // bytes run from 0x40 to 0xFC without 0x7F. Devices are COM1 to COM9, not COM0 or COM10.
    for (const char* name : {"Title.bmp", "a", "a b", "Gameover.mid", "タ.bmp", "COM10", "COM0",
                             "ソ表.bmp", "ポ", "\x83\x40", "\x81\xFC"})
        EXPECT_TRUE(IsValidEntryName(name)) << name;
    for (const char* name :
         {"",         ".",     "..",        "a\\b",      "a/b",       "c:x",     "nul",
          "COM1.dat", "LPT9",  "trailing.", "trailing ", "tab\there", "\x1F",    "what?",
          "pipe|",    "予\\x", "\x83",      "\x83\x20",  "\x83\x7F",  "\x83\xFD"})
        EXPECT_FALSE(IsValidEntryName(name)) << name;
    EXPECT_TRUE(IsValidEntryName(std::string(79, 'x').c_str()));
    EXPECT_FALSE(IsValidEntryName(std::string(80, 'x').c_str()));
}

} // namespace
