// The error log's bytes on disk: CR LF lines, the time stamp's form, code page 932 texts, cutting.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <regex>

#include "core/errorlog.h"
#include "support/tempfolder.h"

namespace {

// ウィンドウの作成に失敗しました。 in code page 932.
const std::string windowFailed =
    "\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x82\xCC\x8D\xEC\x90\xAC\x82\xC9\x8E\xB8\x94\x73\x82"
    "\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42";
// の読み込みに失敗しました。
const std::string loadFailedTail =
    "\x82\xCC\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82"
    "\xBD\x81\x42";

// Splits the log into entries of (time stamp line, text line), checking every line ends in CR LF.
std::vector<std::pair<std::string, std::string>> Entries(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        EXPECT_NE(std::string::npos, end) << "line without CR LF";
        if (end == std::string::npos)
            break;
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(0u, lines.size() % 2);
    std::vector<std::pair<std::string, std::string>> entries;
    for (size_t i = 0; i + 1 < lines.size(); i += 2)
        entries.emplace_back(lines[i], lines[i + 1]);
    return entries;
}

TEST(ErrorLogTest, EntriesAreTwoCrLfLinesAppendedInOrder) {
    TempFolder folder;
    folder.Enter();
    EXPECT_TRUE(WriteErrorLog("ウィンドウの作成に失敗しました。"));
    EXPECT_TRUE(WriteErrorLog("アプリケーションの初期化に失敗しました。"));
    std::string bytes = ReadBytes(folder / "Error.txt");
    auto entries = Entries(bytes);
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(windowFailed, entries[0].second);
    EXPECT_EQ("\x83\x41\x83\x76\x83\x8A\x83\x50\x81\x5B\x83\x56\x83\x87\x83\x93" +
                  std::string("\x82\xCC") +
                  "\x8F\x89\x8A\xFA\x89\xBB\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD"
                  "\x81\x42",
              entries[1].second);
    EXPECT_EQ(std::string::npos, bytes.find("\n\r\n")) << "no blank line between entries";
}

TEST(ErrorLogTest, TimeStampIsZeroPaddedLocalTimeWithTwoSpaces) {
    TempFolder folder;
    folder.Enter();
    time_t before = time(nullptr);
    ASSERT_TRUE(WriteErrorLog("x"));
    time_t after = time(nullptr);
    auto entries = Entries(ReadBytes(folder / "Error.txt"));
    ASSERT_EQ(1u, entries.size());
    std::smatch parts;
    const std::string& stamp = entries[0].first;
    ASSERT_TRUE(std::regex_match(
        stamp, parts, std::regex(R"(\[(\d{4})/(\d{2})/(\d{2})  (\d{2}):(\d{2}):(\d{2})\])")))
        << stamp;
    std::tm written{};
    written.tm_year = std::stoi(parts[1]) - 1900;
    written.tm_mon = std::stoi(parts[2]) - 1;
    written.tm_mday = std::stoi(parts[3]);
    written.tm_hour = std::stoi(parts[4]);
    written.tm_min = std::stoi(parts[5]);
    written.tm_sec = std::stoi(parts[6]);
    written.tm_isdst = -1;
    time_t when = mktime(&written);
    EXPECT_GE(when, before);
    EXPECT_LE(when, after);
}

TEST(ErrorLogTest, FormattedEntryNamesTheImage) {
    TempFolder folder;
    folder.Enter();
    ASSERT_TRUE(WriteErrorLogFormat("[Image] %sの読み込みに失敗しました。", ".\\Title.bmp"));
    auto entries = Entries(ReadBytes(folder / "Error.txt"));
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ("[Image] .\\Title.bmp" + loadFailedTail, entries[0].second);
}

TEST(ErrorLogTest, TextWithItsOwnLineBreaksIsWrittenUnchanged) {
    TempFolder folder;
    folder.Enter();
    ASSERT_TRUE(WriteErrorLog("one\ntwo"));
    std::string bytes = ReadBytes(folder / "Error.txt");
    EXPECT_NE(std::string::npos, bytes.find("]\r\none\r\ntwo\r\n"));
}

std::string Repeat(const std::string& piece, int times) {
    std::string result;
    for (int i = 0; i < times; ++i)
        result += piece;
    return result;
}

TEST(ErrorLogTest, LongFormattedMessagesAreCutAt255BytesOnACharacterBoundary) {
    const std::string a = "\x82\xA0"; // あ, two bytes
    struct CutCase {
        std::string argument;
        std::string expected;
    };
    const CutCase cases[] = {
        {std::string(300, 'a'), std::string(255, 'a')},
        {std::string(255, 'b'), std::string(255, 'b')},
        // 127 characters fill 254 bytes; the lead byte of the 128th is dropped, not kept alone.
        {Repeat(a, 130), Repeat(a, 127)},
        {"x" + Repeat(a, 130), "x" + Repeat(a, 127)},
    };
    for (const CutCase& c : cases) {
        TempFolder folder;
        folder.Enter();
        ASSERT_TRUE(WriteErrorLogFormat("%s", c.argument.c_str()));
        auto entries = Entries(ReadBytes(folder / "Error.txt"));
        ASSERT_EQ(1u, entries.size());
        EXPECT_EQ(c.expected, entries[0].second) << c.argument.size();
    }
}

TEST(ErrorLogTest, UnopenableLogReportsFalse) {
    TempFolder folder;
    folder.Enter();
    std::filesystem::create_directory(folder.Path() /
                                      "Error.txt"); // a folder cannot be appended to
    EXPECT_FALSE(WriteErrorLog("lost"));
    EXPECT_FALSE(WriteErrorLogFormat("%s", "lost"));
}

} // namespace
