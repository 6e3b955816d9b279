// CheckInterval on the virtual clock: exact deadlines, drift, shared slots and wrap-around.
#include <gtest/gtest.h>

#include "core/intervaltimer.h"
#include <mmsystem.h>

#include "platformtest.h"

namespace {

class IntervalTimerClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformTest::Reset();
        PlatformTest::SetClock(50000);
        CheckInterval(0, -1);
    }
    void TearDown() override { PlatformTest::Reset(); }
};

TEST_F(IntervalTimerClockTest, DueExactlyWhenTheIntervalHasPassed) {
    struct Step {
        uint32_t advance;
        bool due;
    };
    const Step steps[] = {{0, false}, {999, false}, {1, true}, {1, false}, {998, false}, {1, true}};
    for (const Step& step : steps) {
        PlatformTest::AdvanceClock(step.advance);
        EXPECT_EQ(step.due, CheckInterval(1000, 3)) << "at " << timeGetTime();
    }
}

TEST_F(IntervalTimerClockTest, ALateCheckIsNotMadeUpLater) {
    PlatformTest::AdvanceClock(1500); // half an interval late
    EXPECT_TRUE(CheckInterval(1000, 2));
    PlatformTest::AdvanceClock(500); // the old schedule would be due now
    EXPECT_FALSE(CheckInterval(1000, 2));
    PlatformTest::AdvanceClock(500);
    EXPECT_TRUE(CheckInterval(1000, 2));
}

TEST_F(IntervalTimerClockTest, CallersOfOneSlotShareItsStamp) {
    PlatformTest::AdvanceClock(100);
    EXPECT_TRUE(CheckInterval(100, 0)); // restarts slot 0 for every user of it
    EXPECT_FALSE(CheckInterval(20, 0));
    PlatformTest::AdvanceClock(20);
    EXPECT_TRUE(CheckInterval(20, 0));
}

TEST_F(IntervalTimerClockTest, TrueResultsAreAtLeastTheIntervalApart) {
    uint32_t lastTrue = timeGetTime();
    int trues = 0;
    for (int turn = 0; turn < 2000; ++turn) {
        PlatformTest::AdvanceClock(static_cast<uint32_t>(turn % 7)); // uneven turns
        if (CheckInterval(200, 3)) {
            EXPECT_GE(timeGetTime() - lastTrue, 200u);
            lastTrue = timeGetTime();
            ++trues;
        }
    }
    EXPECT_GT(trues, 10);
}

TEST_F(IntervalTimerClockTest, IntervalsStayExactAcrossTheClocksWrapAround) {
    // Stamps taken just before 2^32, checks made on both sides of the wrap.
    struct WrapCase {
        uint32_t stamp;
        uint32_t interval;
        uint32_t advance;
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

TEST_F(IntervalTimerClockTest, EveryCheckReadsTheClockFirstWhateverTheSlot) {
    PlatformTest::AdvanceClock(10);
    EXPECT_FALSE(CheckInterval(0, 100));
    EXPECT_FALSE(CheckInterval(0, -1));
    for (uint32_t stamp : intervalTimer.stamps)
        EXPECT_EQ(50010u, stamp);
}

} // namespace
