// The error log's bytes on disk: CR LF lines, the time stamp's form, cutting, a log it cannot open.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <regex>

#include "core/errorlog.h"
#include "support/tempfolder.h"

namespace {

// The log's lines, checking that every one ends in CR LF.
std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < bytes.size(); start = end + 2) {
        end = bytes.find("\r\n", start);
        EXPECT_NE(std::string::npos, end) << "line without CR LF";
        if (end == std::string::npos)
            break;
        lines.push_back(bytes.substr(start, end - start));
    }
    return lines;
}

TEST(ErrorLogTest, EntriesAreTimeStampAndTextAppendedInOrder) {
    TempFolder folder;
    folder.Enter();
    time_t before = time(nullptr);
    EXPECT_TRUE(WriteErrorLog("ウィンドウの作成に失敗しました。"));
    EXPECT_TRUE(WriteErrorLogFormat("[Image] %sの読み込みに失敗しました。", ".\\Title.bmp"));
    EXPECT_TRUE(WriteErrorLog("one\ntwo")); // written unchanged
    time_t after = time(nullptr);
    std::vector<std::string> lines = Lines(ReadBytes(folder / "Error.txt"));
    ASSERT_EQ(7u, lines.size());
    EXPECT_EQ("ウィンドウの作成に失敗しました。", lines[1]); // code page 932 on both sides
    EXPECT_EQ("[Image] .\\Title.bmpの読み込みに失敗しました。", lines[3]);
    EXPECT_EQ("one", lines[5]);
    EXPECT_EQ("two", lines[6]);
    for (size_t stampLine : {0u, 2u, 4u}) {
        std::smatch parts;
        ASSERT_TRUE(
            std::regex_match(lines[stampLine], parts,
                             std::regex(R"(\[(\d{4})/(\d\d)/(\d\d)  (\d\d):(\d\d):(\d\d)\])")))
            << lines[stampLine];
        std::tm written{};
        written.tm_year = std::stoi(parts[1]) - 1900;
        written.tm_mon = std::stoi(parts[2]) - 1;
        written.tm_mday = std::stoi(parts[3]);
        written.tm_hour = std::stoi(parts[4]);
        written.tm_min = std::stoi(parts[5]);
        written.tm_sec = std::stoi(parts[6]);
        written.tm_isdst = -1;
        time_t when = mktime(&written);
        EXPECT_TRUE(when >= before && when <= after) << lines[stampLine];
    }
}

TEST(ErrorLogTest, LongFormattedMessagesAreCutAt255BytesOnACharacterBoundary) {
    const std::string a = "\x82\xA0"; // あ, two bytes
    auto repeat = [](const std::string& piece, int times) {
        std::string result;
        while (times-- > 0)
            result += piece;
        return result;
    };
    struct CutCase {
        std::string argument, expected;
    };
    const CutCase cases[] = {
        {std::string(300, 'a'), std::string(255, 'a')},
        {std::string(255, 'b'), std::string(255, 'b')},
        // 127 characters fill 254 bytes; the lead byte of the 128th is dropped, not kept alone.
        {repeat(a, 130), repeat(a, 127)},
        {"x" + repeat(a, 130), "x" + repeat(a, 127)},
    };
    for (const CutCase& c : cases) {
        TempFolder folder;
        folder.Enter();
        ASSERT_TRUE(WriteErrorLogFormat("%s", c.argument.c_str()));
        std::vector<std::string> lines = Lines(ReadBytes(folder / "Error.txt"));
        ASSERT_EQ(2u, lines.size());
        EXPECT_EQ(c.expected, lines[1]) << c.argument.size();
    }
}

TEST(ErrorLogTest, UnopenableLogReportsFalse) {
    TempFolder folder;
    folder.Enter();
    std::filesystem::create_directory(folder.Path() / "Error.txt"); // cannot be appended to
    EXPECT_FALSE(WriteErrorLog("lost"));
    EXPECT_FALSE(WriteErrorLogFormat("%s", "lost"));
}

} // namespace
