// The error log's bytes on disk (CR LF lines, stamps, cutting) and CheckInterval's exact deadlines.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iomanip>
#include <sstream>

#include "core/errorlog.h"
#include "core/intervaltimer.h"
#include "support/tempfolder.h"
#include "support/testcontrols.h"

#if QUELLMARK_TEST_CONTROLS
#include <sys/resource.h>
#endif

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
        std::tm written{};
        std::istringstream stamp(lines[stampLine]);
        stamp >> std::get_time(&written, "[%Y/%m/%d  %H:%M:%S]");
        ASSERT_TRUE(!stamp.fail() && stamp.peek() == EOF && lines[stampLine].size() == 22)
            << lines[stampLine];
        written.tm_isdst = -1;
        EXPECT_TRUE(mktime(&written) >= before && mktime(&written) <= after) << lines[stampLine];
    }
    std::filesystem::remove(folder / "Error.txt");
    std::filesystem::create_directory(folder / "Error.txt"); // cannot be appended to
    EXPECT_FALSE(WriteErrorLog("lost"));
    EXPECT_FALSE(WriteErrorLogFormat("%s", "lost"));
}

TEST(ErrorLogTest, LongFormattedMessagesAreCutAt255BytesOnACharacterBoundary) {
    const std::string a = "\x82\x9F"; // ぁ, two bytes; its trail byte could also lead one
    auto repeat = [&a](int times) {
        std::string result;
        while (times-- > 0)
            result += a;
        return result;
    };
    struct CutCase {
        std::string argument, expected;
    };
    const CutCase cases[] = {
        {std::string(300, 'a'), std::string(255, 'a')},
        {std::string(255, 'b'), std::string(255, 'b')},
        // 127 characters fill 254 bytes; the lead byte of the 128th is dropped, not kept alone.
        {repeat(130), repeat(127)},
        {"x" + repeat(130), "x" + repeat(127)},
    };
    std::vector<CutCase> all(std::begin(cases), std::end(cases));
    // The 255th byte alone (of 256, one more than fits): dropped exactly when it is a lead byte
    // (0x81-0x9F, 0xE0-0xFC).
    for (int byte : {0x80, 0x81, 0x9F, 0xA0, 0xDF, 0xE0, 0xFC, 0xFD}) {
        bool lead = byte == 0x81 || byte == 0x9F || byte == 0xE0 || byte == 0xFC;
        std::string kept(254, 'x');
        all.push_back(
            {kept + static_cast<char>(byte) + "z", lead ? kept : kept + static_cast<char>(byte)});
    }
    for (const CutCase& c : all) {
        TempFolder folder;
        folder.Enter();
        ASSERT_TRUE(WriteErrorLogFormat("%s", c.argument.c_str()));
        std::vector<std::string> lines = Lines(ReadBytes(folder / "Error.txt"));
        ASSERT_EQ(2u, lines.size());
        EXPECT_EQ(c.expected, lines[1]) << c.argument.size();
    }
}

// The cases below use the layer's test controls (native only).
#if QUELLMARK_TEST_CONTROLS

// A write that fails (a file size limit of 0 stands in for a full disk) leaves an earlier log as it
// was, also one that could not be opened for reading (its existence is what counts), and leaves
// no empty log where there was none.
TEST(ErrorLogTest, AFailedWriteKeepsAnEarlierLogWholeAndLeavesNoNewOne) {
    PlatformTest::Reset();
    TempFolder folder;
    folder.Enter();
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limit = previous;
    limit.rlim_cur = 0;
    auto* oldHandler = signal(SIGXFSZ, SIG_IGN);
    for (bool earlier : {true, false}) {
        std::filesystem::remove(folder / "Error.txt");
        if (earlier) {
            WriteBytes(folder / "Error.txt", "an earlier entry\r\n");
            PlatformTest::FailNext("fopen"); // the first open of the log fails
        }
        ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limit));
        bool written = WriteErrorLog("lost");
        setrlimit(RLIMIT_FSIZE, &previous);
        EXPECT_FALSE(written) << earlier;
        EXPECT_EQ(earlier, std::filesystem::exists(folder / "Error.txt")) << earlier;
        if (earlier) {
            EXPECT_EQ("an earlier entry\r\n", ReadBytes(folder / "Error.txt"));
        }
    }
    signal(SIGXFSZ, oldHandler);
    PlatformTest::Reset();
}

class IntervalTimerClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformTest::Reset();
        PlatformTest::SetClock(50000);
        CheckInterval(0, -1);
    }
    void TearDown() override { PlatformTest::Reset(); }
};

TEST_F(IntervalTimerClockTest, DueExactlyWhenTheIntervalHasPassedAndLateChecksAreNotMadeUp) {
    struct Step {
        uint32_t advance;
        bool due;
    };
    const Step exact[] = {{0, false}, {999, false}, {1, true}, {1, false}, {998, false}, {1, true}};
    for (const Step& step : exact) {
        PlatformTest::AdvanceClock(step.advance);
        EXPECT_EQ(step.due, CheckInterval(1000, 3)) << "at " << timeGetTime();
    }
    // Half an interval late; then the old schedule would be due, the new one is not.
    const Step late[] = {{1500, true}, {500, false}, {500, true}};
    for (const Step& step : late) {
        PlatformTest::AdvanceClock(step.advance);
        EXPECT_EQ(step.due, CheckInterval(1000, 2)) << "at " << timeGetTime();
    }
    // Restarting every slot is never due itself; a slot past the table never is.
    EXPECT_FALSE(CheckInterval(0, -1));
    EXPECT_FALSE(CheckInterval(0, IntervalTimer::slotCount));
}

TEST_F(IntervalTimerClockTest, IntervalsStayExactAcrossTheClocksWrapAround) {
    // Stamps taken just before 2^32, checks made on both sides of the wrap.
    struct WrapCase {
        uint32_t stamp, interval, advance;
        bool due;
    };
    const WrapCase cases[] = {
        {0xFFFFFFF0u, 100, 5, false}, // deadline past 2^32: not due early
        {0xFFFFFFF0u, 100, 99, false},
        {0xFFFFFFF0u, 100, 100, true},    // due exactly one interval later, clock now 0x54
        {0xFFFFFF00u, 0x10, 0x200, true}, // the clock wrapped below the stamp: long overdue
        {0xFFFFFFFFu, 1, 1, true},
    };
    for (const WrapCase& c : cases) {
        PlatformTest::SetClock(c.stamp);
        CheckInterval(0, -1);
        PlatformTest::AdvanceClock(c.advance);
        EXPECT_EQ(c.due, CheckInterval(c.interval, 4)) << std::hex << c.stamp << "+" << c.advance;
        EXPECT_EQ(c.due ? c.stamp + c.advance : c.stamp, intervalTimer.stamps[4]);
    }
}

#endif

} // namespace
