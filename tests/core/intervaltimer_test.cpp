// CheckInterval: resets, slots outside the table, exact deadlines, drift, shared slots,
// wrap-around.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <cstring>

#include "core/intervaltimer.h"
#include "support/testcontrols.h"

namespace {

TEST(IntervalTimerTest, ResetStampsEverySlotZeroIsDueAtOnceAndOtherSlotsChangeNothing) {
    memset(intervalTimer.stamps, 0, sizeof intervalTimer.stamps);
    uint32_t before = timeGetTime();
    EXPECT_FALSE(CheckInterval(0, -1));
    uint32_t after = timeGetTime();
    for (uint32_t stamp : intervalTimer.stamps)
        EXPECT_LE(stamp - before, after - before) << "a stamp outside the reset's time";
    IntervalTimer reset = intervalTimer;
    for (int32_t slot : {100, 1000, -2, INT32_MIN, INT32_MAX})
        EXPECT_FALSE(CheckInterval(0, slot)) << slot;
    EXPECT_EQ(0, memcmp(&reset, &intervalTimer, sizeof reset));
    for (int slot = 0; slot < IntervalTimer::slotCount; ++slot)
        EXPECT_TRUE(CheckInterval(0, slot)) << slot;
}

// The cases below run on the layer's virtual clock (native only).
#if QUELLMARK_TEST_CONTROLS

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
